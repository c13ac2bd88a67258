// Starts the real client on a seeded configuration directory, asks it to exit
// with SIGTERM and checks that it wrote the settings back unchanged.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "process_util.h"
#include "test_support.h"

namespace {

const char SYSTEM_FILE[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                           "<system_config_list>\n"
                           "  <uuid>0f1e2d3c4b5a69788796a5b4c3d2e1f0</uuid>\n"
                           "  <uuid_create_time>1700000000</uuid_create_time>\n"
                           "  <curr_config>Quinn</curr_config>\n"
                           "  <system_audio_enable>0</system_audio_enable>\n"
                           "  <last_voting_time>1700000100</last_voting_time>\n"
                           "  <last_voting_reminder_time>1700000200</last_voting_reminder_time>\n"
                           "  <voting_reminders>0</voting_reminders>\n"
                           "  <vote_menu0_name>Top &amp; Best</vote_menu0_name>\n"
                           "  <vote_menu0_url>http://vote.example/?a=1&amp;b=2</vote_menu0_url>\n"
                           "  <connect_address>127.0.0.1</connect_address>\n"
                           "  <connect_port>1</connect_port>\n"
                           "</system_config_list>\n"
                           "\n";

const char CHAR_FILE[] = "<single_config>\n"
                         "  <name>Quinn</name>\n"
                         "  <font>Monospace 12</font>\n"
                         "  <font_size>12</font_size>\n"
                         "  <button_font>Sans 8</button_font>\n"
                         "  <button_font_size>8</button_font_size>\n"
                         "  <keypad_walking>0</keypad_walking>\n"
                         "  <url_hotlinking>0</url_hotlinking>\n"
                         "  <compact_mode>1</compact_mode>\n"
                         "  <local_echo>0</local_echo>\n"
                         "  <cmd_separator>0</cmd_separator>\n"
                         "  <cmd_pushthrough>1</cmd_pushthrough>\n"
                         "  <hint_button_enable>0</hint_button_enable>\n"
                         "  <direction_button_enable>1</direction_button_enable>\n"
                         "  <fkey_button_display>1</fkey_button_display>\n"
                         "  <button_tooltips>1</button_tooltips>\n"
                         "  <status_bar>0</status_bar>\n"
                         "  <sky_bar>0</sky_bar>\n"
                         "  <exp_display>0</exp_display>\n"
                         "  <hpbar_enable>0</hpbar_enable>\n"
                         "  <hp_display>1</hp_display>\n"
                         "  <enemy_hpbar_enable>0</enemy_hpbar_enable>\n"
                         "  <enemy_hp_display>0</enemy_hp_display>\n"
                         "  <group_status_display>2</group_status_display>\n"
                         "  <group_status_inverted_bars>0</group_status_inverted_bars>\n"
                         "  <popup_display>0</popup_display>\n"
                         "  <locking_scrollback_enable>1</locking_scrollback_enable>\n"
                         "  <mw_scrollbar_enable>0</mw_scrollbar_enable>\n"
                         "  <current_layout>1</current_layout>\n"
                         "  <current_theme>60</current_theme>\n"
                         "  <current_background_theme>80</current_background_theme>\n"
                         "  <font_colors_setting>3</font_colors_setting>\n"
                         "  <theme_bg_setting>4</theme_bg_setting>\n"
                         "  <automap_docked>0</automap_docked>\n"
                         "  <automap_display>0</automap_display>\n"
                         "  <automap_size>21</automap_size>\n"
                         "  <input_height>60</input_height>\n"
                         "  <channel_window_enable>1</channel_window_enable>\n"
                         "  <channel_window_height>40</channel_window_height>\n"
                         "  <channel_window_dupe>0</channel_window_dupe>\n"
                         "  <colorflash_enable>0</colorflash_enable>\n"
                         "  <popup_window_list>\n"
                         "    <single_popup_window>\n"
                         "      <name>Caf&#233; &lt;board&gt;</name>\n"
                         "      <x>120</x>\n"
                         "      <y>80</y>\n"
                         "      <width>300</width>\n"
                         "      <height>200</height>\n"
                         "    </single_popup_window>\n"
                         "  </popup_window_list>\n"
                         "</single_config>\n";

// True once the process has a handler for SIGTERM (the main window installs
// it after the configuration is loaded).
bool catches_sigterm(pid_t pid)
{
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigCgt:", 0) == 0) {
      unsigned long long mask = std::strtoull(line.c_str() + 7, nullptr, 16);
      return (mask >> (SIGTERM - 1)) & 1;
    }
  }
  return false;
}

} // namespace

TEST(ConfigRoundTrip, SigtermSavesTheSettingsUnchanged)
{
  if (!test_have_display())
    GTEST_SKIP() << "needs an X display";
  temp_dir home;
  const std::string dir = home.path() + "/Library/Ombrith";
  ASSERT_EQ(system(("mkdir -p '" + dir + "/char_configs'").c_str()), 0);
  write_file(dir + "/ombrith.cfg", SYSTEM_FILE);
  write_file(dir + "/char_configs/Quinn.cfg", CHAR_FILE);
  // Make any write visible: the saved files must be new files.
  struct stat before;
  ASSERT_EQ(stat((dir + "/ombrith.cfg").c_str(), &before), 0);

  temp_dir out;
  child_process client({OMBRITH_CLIENT_BINARY}, {{"HOME", home.path()}}, out.path());
  ASSERT_TRUE(wait_until([&] { return !client.running() || catches_sigterm(client.pid()); }, 60));
  ASSERT_TRUE(client.running()) << "the client ended early; stderr: " << client.stderr_text();
  client.signal(SIGTERM);
  ASSERT_TRUE(client.wait_exit(30)) << "the client did not exit after SIGTERM";
  EXPECT_EQ(client.exit_status(), 0);

  struct stat after;
  ASSERT_EQ(stat((dir + "/ombrith.cfg").c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino) << "the system file was not written";
  EXPECT_EQ(read_file(dir + "/ombrith.cfg"), SYSTEM_FILE);
  EXPECT_EQ(read_file(dir + "/char_configs/Quinn.cfg"), CHAR_FILE);
  if (system("command -v xmllint >/dev/null 2>&1") == 0) {
    EXPECT_EQ(system(("xmllint --noout '" + dir + "/ombrith.cfg' '" + dir + "/char_configs/Quinn.cfg'").c_str()), 0);
  }
}
