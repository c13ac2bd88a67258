#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

#include "app/debug_log.h"
#include "app/gui_app.h"
#include "config/config_store.h"
#include "gfx/font.h"
#include "test_support.h"

#include <wx/fontutil.h>

namespace {

bool contains(const std::string &haystack, const std::string &needle)
{
  return haystack.find(needle) != std::string::npos;
}

bool exists(const std::string &path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::set<std::string> list_dir(const std::string &path)
{
  std::set<std::string> names;
  if (DIR *d = opendir(path.c_str())) {
    while (dirent *e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
        names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

// True when xmllint accepts the file (or xmllint is not installed).
bool well_formed(const std::string &path)
{
  if (std::system("command -v xmllint >/dev/null 2>&1") != 0)
    return true;
  return std::system(("xmllint --noout '" + path + "' 2>/dev/null").c_str()) == 0;
}

// Records what the store asked of the interface.
class recording_hook : public config_hook {
public:
  void option_changed(config_key key, int value) override
  {
    calls.push_back(std::string("option ") + config_key_name(key) + "=" + std::to_string(value));
  }
  void relayout() override { calls.push_back("relayout"); }
  void report_settings() override { calls.push_back("report"); }
  int start_audio() override
  {
    calls.push_back("start_audio");
    return audio_works;
  }
  void stop_audio() override { calls.push_back("stop_audio"); }
  void fonts_changed() override { calls.push_back("fonts_changed"); }
  void refresh_prefs() override { calls.push_back("refresh_prefs"); }
  void refresh_themes() override { calls.push_back("refresh_themes"); }

  std::string joined() const
  {
    std::string s;
    for (const std::string &c : calls)
      s += (s.empty() ? "" : ", ") + c;
    return s;
  }
  std::vector<std::string> calls;
  int audio_works = 1;
};

class ConfigStore : public ::testing::Test {
protected:
  void SetUp() override
  {
    vesk_client_reset_process_state_for_tests();
    const char *old_home = std::getenv("HOME");
    saved_home = old_home ? old_home : "";
    setenv("HOME", home.path().c_str(), 1);
    ASSERT_TRUE(vesk_client_set_up_config_directory("Ombrith"));
    dir = vesk_client_get_config_directory_path();
    log.reset(new log_capture(3));
    global_font_size = 10;
    MConfig::set_hook(nullptr);
    MConfig::clear();
  }
  void TearDown() override
  {
    MConfig::set_hook(nullptr);
    MConfig::clear();
    log.reset();
    vesk_client_reset_process_state_for_tests();
    setenv("HOME", saved_home.c_str(), 1);
  }

  // A fresh start of the client: everything in memory is forgotten.
  void restart()
  {
    MConfig::clear();
    global_font_size = 10;
    load_system_config();
  }
  std::string system_file() const { return dir + "/ombrith.cfg"; }
  std::string char_file(const std::string &name) const { return dir + "/char_configs/" + name + ".cfg"; }
  void write_char_file(const std::string &path, const std::string &name, const std::string &body)
  {
    mkdir((dir + "/char_configs").c_str(), 0700);
    write_file(path, "<single_config>\n  <name>" + name + "</name>\n" + body + "</single_config>\n");
  }
  void write_system_file(const std::string &body)
  {
    write_file(system_file(), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<system_config_list>\n" + body +
                                  "</system_config_list>\n\n");
  }

  temp_dir home;
  std::string saved_home;
  std::string dir;
  std::unique_ptr<log_capture> log;
};

} // namespace

TEST_F(ConfigStore, FirstRunMakesAnUnnamedDefaultConfigAndSavesOnlyTheSystemFile)
{
  load_system_config();
  character_config *c = MConfig::current();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->name, "");
  for (int k = 0; k < PREF_OPTION_COUNT; ++k)
    EXPECT_EQ(c->option((config_key)k), config_key_default((config_key)k)) << config_key_name((config_key)k);
  EXPECT_EQ(c->font_size, 10);
  EXPECT_EQ(c->button_font_size, 7);
  EXPECT_TRUE(std::regex_match(global_uuid, std::regex("DFLT[0-9a-f]{28}"))) << global_uuid;

  save_system_config();
  std::string text = read_file(system_file());
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<system_config_list>\n", 0), 0u);
  EXPECT_TRUE(contains(text, std::string("  <uuid>") + global_uuid + "</uuid>\n"));
  EXPECT_FALSE(contains(text, "curr_config"));
  EXPECT_FALSE(contains(text, "connect_"));
  EXPECT_TRUE(list_dir(dir + "/char_configs").empty());
  EXPECT_TRUE(well_formed(system_file()));
  EXPECT_EQ(list_dir(dir), (std::set<std::string>{"ombrith.cfg"}));
}

TEST_F(ConfigStore, LoginNamesTheBlankConfigThenCopiesItForASecondCharacter)
{
  load_system_config();
  character_config *blank = MConfig::current();
  MConfig::UseConfig("Alice");
  EXPECT_EQ(MConfig::current(), blank);
  EXPECT_EQ(blank->name, "Alice");
  MConfig::SetInputHeight(100);
  MConfig::SetLayout(0);
  MConfig::SavePopupData(popup_data("map"));

  MConfig::UseConfig("Bob");
  ASSERT_NE(MConfig::current(), blank);
  EXPECT_EQ(MConfig::current()->name, "Bob");
  EXPECT_EQ(MConfig::GetInputHeight(), 100);
  EXPECT_EQ(MConfig::GetLayout(), 0);
  EXPECT_EQ(MConfig::current()->popup_window_list.size(), 1u);
  MConfig::SetInputHeight(60);
  EXPECT_EQ(MConfig::get_only("Alice")->input_height, 100);

  save_system_config();
  EXPECT_TRUE(contains(read_file(system_file()), "  <curr_config>Bob</curr_config>\n"));
  for (const char *name : {"Alice", "Bob"})
    EXPECT_TRUE(well_formed(char_file(name))) << name;

  restart();
  ASSERT_NE(MConfig::current(), nullptr);
  EXPECT_EQ(MConfig::current()->name, "Bob");
  EXPECT_EQ(MConfig::GetInputHeight(), 60);
  MConfig::UseConfig("Alice");
  EXPECT_EQ(MConfig::GetInputHeight(), 100);
}

TEST_F(ConfigStore, CharacterFileWrittenInItsOrderAndReadBackUnchanged)
{
  load_system_config();
  MConfig::UseConfig("Dana");
  // A value other than the default, inside the option's range.
  for (int k = 0; k < PREF_OPTION_COUNT; ++k) {
    config_key key = (config_key)k;
    int value = config_key_default(key) ^ 1;
    if (key == PREF_AUTOMAP_SIZE)
      value = 37;
    else if (key == PREF_CHANNEL_WINDOW_HEIGHT)
      value = 70;
    else if (key == PREF_CURRENT_LAYOUT)
      value = 1;
    MConfig::set_option(key, value);
  }
  MConfig::current()->hp_display = 1;
  MConfig::SetFont("Monospace Bold 13", 13);
  MConfig::SetButtonFont("Sans 8", 8);
  character_config before = *MConfig::current();
  save_system_config();

  std::string text = read_file(char_file("Dana"));
  EXPECT_EQ(text.rfind("<single_config>\n  <name>Dana</name>\n  <font>Monospace Bold 13</font>\n"
                       "  <font_size>13</font_size>\n  <button_font>Sans 8</button_font>\n"
                       "  <button_font_size>8</button_font_size>\n  <keypad_walking>0</keypad_walking>\n",
                       0),
            0u)
      << text;
  EXPECT_TRUE(contains(text, "  <colorflash_enable>0</colorflash_enable>\n  <popup_window_list>\n"
                             "  </popup_window_list>\n</single_config>\n"));

  restart();
  MConfig::UseConfig("Dana");
  character_config *after = MConfig::current();
  for (int k = 0; k < PREF_OPTION_COUNT; ++k)
    EXPECT_EQ(after->option((config_key)k), before.option((config_key)k)) << config_key_name((config_key)k);
  EXPECT_EQ(after->font, "Monospace Bold 13");
  EXPECT_EQ(after->button_font, "Sans 8");
  EXPECT_EQ(after->button_font_size, 8);
  EXPECT_EQ(global_font_size, 13);
}

TEST_F(ConfigStore, OutOfRangeValuesAndOlderKeys)
{
  struct {
    const char *body;
    config_key key;  // PREF_OPTION_COUNT: font_size
    int expected;
  } cases[] = {
      {"<font_size>1</font_size>", PREF_OPTION_COUNT, 10},
      {"<font_size>150</font_size>", PREF_OPTION_COUNT, 150},
      {"<input_height>900</input_height>", PREF_INPUT_HEIGHT, 48},
      {"<input_height>24</input_height>", PREF_INPUT_HEIGHT, 24},
      {"<channel_window_height>9</channel_window_height>", PREF_CHANNEL_WINDOW_HEIGHT, 25},
      {"<theme_bg_setting>6</theme_bg_setting>", PREF_THEME_BG_SETTING, 3},
      {"<current_layout>-1</current_layout>", PREF_CURRENT_LAYOUT, 0},
      {"<current_layout>5</current_layout>", PREF_CURRENT_LAYOUT, 2},
      {"<hpbar_enable>3</hpbar_enable>", PREF_HPBAR_ENABLE, 1},
      {"<group_status_display>3</group_status_display>", PREF_GROUP_STATUS_DISPLAY, 0},
      {"<automap_size>0</automap_size>", PREF_AUTOMAP_SIZE, 11},
      {"<font_colors_setting>4</font_colors_setting>", PREF_FONT_COLORS_SETTING, 0},
      {"<current_theme>77</current_theme>", PREF_CURRENT_THEME, 77},
      {"<status_bar>many</status_bar>", PREF_STATUS_BAR, 1},
      {"<zmud_color_display>1</zmud_color_display>", PREF_FONT_COLORS_SETTING, 2},
      {"<bright_color_display>1</bright_color_display>", PREF_FONT_COLORS_SETTING, 1},
      {"<gmud_color_display>7</gmud_color_display>", PREF_FONT_COLORS_SETTING, 3},
      {"<zmud_color_display>0</zmud_color_display>", PREF_FONT_COLORS_SETTING, 0},
      {"<use_new_layout>1</use_new_layout>", PREF_CURRENT_LAYOUT, 1},
      {"<use_new_layout>0</use_new_layout>", PREF_CURRENT_LAYOUT, 0},
      {"<SKY_BAR>0</SKY_BAR><unknown><deep>1</deep></unknown>", PREF_SKY_BAR, 0},
  };
  for (const auto &c : cases) {
    MConfig::clear();
    write_char_file(char_file("Erin"), "Erin", std::string("  ") + c.body + "\n");
    character_config *config = MConfig::get_or_load("Erin");
    ASSERT_NE(config, nullptr) << c.body;
    int got = c.key == PREF_OPTION_COUNT ? config->font_size : config->option(c.key);
    EXPECT_EQ(got, c.expected) << c.body;
  }
}

TEST_F(ConfigStore, OldLocationFileIsMovedIntoCharConfigs)
{
  std::string old_path = dir + "/Finn.cfg";
  write_char_file(old_path, "Finn", "  <input_height>77</input_height>\n");
  // A file at the old place holding another name is left alone.
  std::string stranger = dir + "/Gail.cfg";
  write_char_file(stranger, "Somebody", "");
  remove((dir + "/char_configs").c_str());

  character_config *c = MConfig::get_or_load("Finn");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->input_height, 77);
  EXPECT_FALSE(exists(old_path));
  EXPECT_TRUE(contains(read_file(char_file("Finn")), "<input_height>77</input_height>"));
  EXPECT_TRUE(contains(log->text(), "MConfig::get_or_load() - got old style per-char config file '" + old_path));

  EXPECT_EQ(MConfig::get_or_load("Gail"), nullptr);
  EXPECT_TRUE(exists(stranger));
}

TEST_F(ConfigStore, MismatchedNameGivesTheCharacterANewConfig)
{
  write_char_file(char_file("Hana"), "Mallory", "  <input_height>99</input_height>\n");
  load_system_config();
  MConfig::UseConfig("Hana");
  EXPECT_EQ(MConfig::current()->name, "Hana");
  EXPECT_EQ(MConfig::GetInputHeight(), 48);
  EXPECT_EQ(MConfig::get_only("Mallory"), nullptr);
  EXPECT_TRUE(contains(log->text(), "Error in MConfig::load_xml_single_system_config(), got bad name 'Mallory' for "
                                    "loaded config 'Hana'."));
}

TEST_F(ConfigStore, PopupDataIsRememberedAndSaved)
{
  load_system_config();
  popup_data fresh = MConfig::GetPopupData("inventory");
  EXPECT_STREQ(fresh.name, "inventory");
  EXPECT_EQ(fresh.x, 48);
  EXPECT_EQ(fresh.y, 48);
  EXPECT_EQ(fresh.width, 0);
  EXPECT_EQ(fresh.height, 0);

  MConfig::UseConfig("Ivy");
  popup_data p = MConfig::GetPopupData("inventory");
  p.x = 10;
  p.y = 20;
  p.width = 300;
  p.height = 200;
  p.text_columns = 80;
  MConfig::SavePopupData(p);
  p.x = 11;
  MConfig::SavePopupData(p);  // overwrites the entry
  ASSERT_EQ(MConfig::current()->popup_window_list.size(), 1u);
  EXPECT_EQ(MConfig::GetPopupData("inventory").x, 11);
  EXPECT_EQ(MConfig::GetPopupData("inventory").text_columns, 80);

  save_system_config();
  EXPECT_TRUE(contains(read_file(char_file("Ivy")), "  <popup_window_list>\n    <single_popup_window>\n"
                                                     "      <name>inventory</name>\n      <x>11</x>\n"
                                                     "      <y>20</y>\n      <width>300</width>\n"
                                                     "      <height>200</height>\n    </single_popup_window>\n"));
  restart();
  MConfig::UseConfig("Ivy");
  popup_data back = MConfig::GetPopupData("inventory");
  EXPECT_EQ(back.x, 11);
  EXPECT_EQ(back.width, 300);
  EXPECT_EQ(back.text_columns, 0);
}

TEST_F(ConfigStore, SettersCallTheHookAsTheirOptionNeeds)
{
  load_system_config();
  recording_hook hook;
  MConfig::set_hook(&hook);
  struct {
    void (*setter)(int);
    int value;
    const char *calls;
  } cases[] = {
      {MConfig::SetHintButton, 1, ""},  // unchanged: nothing at all
      {MConfig::SetHintButton, 0, "option hint_button_enable=0, relayout, report"},
      {MConfig::SetKeypadWalking, 1, "option keypad_walking=1"},  // unchanged but still ticks the menu
      {MConfig::SetCommandSeparator, 0, "option cmd_separator=0, report"},
      {MConfig::SetLayout, 1, "option current_layout=1, report"},
      {MConfig::SetMwScrollbar, 0, "option mw_scrollbar_enable=0"},
      {MConfig::SetFontColors, 2, "report"},
      {MConfig::SetColorFlash, 0, "option colorflash_enable=0, report"},
      {MConfig::SetInputHeight, 60, ""},
      {MConfig::SetButtonTooltips, 1, ""},
  };
  for (const auto &c : cases) {
    hook.calls.clear();
    c.setter(c.value);
    EXPECT_EQ(hook.joined(), c.calls);
  }
  EXPECT_EQ(MConfig::GetInputHeight(), 60);
  EXPECT_EQ(MConfig::GetButtonTooltips(), 1);

  // Without a current configuration getters give 0 and setters do nothing.
  MConfig::clear();
  hook.calls.clear();
  MConfig::SetHintButton(1);
  EXPECT_EQ(MConfig::GetHintButton(), 0);
  EXPECT_STREQ(MConfig::GetFontName(), "junk");
  EXPECT_TRUE(hook.calls.empty());
}

TEST_F(ConfigStore, SystemAudioSwitch)
{
  load_system_config();
  recording_hook hook;
  MConfig::set_hook(&hook);
  MConfig::SetSystemAudio(1);  // already on
  EXPECT_TRUE(hook.calls.empty());

  MConfig::SetSystemAudio(0);
  EXPECT_EQ(hook.joined(), "report, stop_audio, option system_audio_enable=0");

  hook.calls.clear();
  hook.audio_works = 0;
  MConfig::SetSystemAudio(1);
  EXPECT_EQ(hook.joined(), "report, start_audio, report, stop_audio, option system_audio_enable=0");
  EXPECT_EQ(MConfig::GetSystemAudio(), 0);
  EXPECT_TRUE(contains(log->text(), "MConfig::SetSystemAudio() - unable to start audio.  Disabling."));
}

TEST_F(ConfigStore, UseDefaultPrefsKeepsNameFontsAndPopups)
{
  load_system_config();
  MConfig::UseConfig("Jon");
  MConfig::SetFont("Serif 14", 14);
  MConfig::SavePopupData(popup_data("map"));
  MConfig::SetLocalEcho(0);
  MConfig::SetChannelDupe(0);
  MConfig::SetInputHeight(200);
  recording_hook hook;
  MConfig::set_hook(&hook);
  MConfig::UseDefaultPrefs();
  character_config *c = MConfig::current();
  for (int k = 0; k < PREF_OPTION_COUNT; ++k)
    EXPECT_EQ(c->option((config_key)k), config_key_default((config_key)k)) << config_key_name((config_key)k);
  EXPECT_EQ(c->name, "Jon");
  EXPECT_EQ(c->font, "Serif 14");
  EXPECT_EQ(c->popup_window_list.size(), 1u);
  EXPECT_TRUE(contains(hook.joined(), "option local_echo=1"));
  EXPECT_EQ(hook.calls.back(), "report");
  EXPECT_TRUE(contains(hook.joined(), "refresh_prefs"));
}

TEST_F(ConfigStore, SetUuidSavesAtOnceAndAnEmptyOneMakesADefault)
{
  load_system_config();
  set_uuid("0123456789abcdef0123456789abcdefXYZ");
  EXPECT_STREQ(global_uuid, "0123456789abcdef0123456789abcdefX");
  EXPECT_GT(global_uuid_create_time, 0);
  EXPECT_EQ(global_last_voting_time, global_uuid_create_time);
  EXPECT_TRUE(contains(read_file(system_file()), "<uuid>0123456789abcdef0123456789abcdefX</uuid>"));

  remove(system_file().c_str());
  set_uuid("");
  EXPECT_TRUE(std::regex_match(global_uuid, std::regex("DFLT[0-9a-f]{28}")));
  EXPECT_FALSE(exists(system_file()));
  EXPECT_TRUE(contains(log->text(), "Error in set_uuid(), null string?"));

  // Loading keeps the first 32 characters.
  write_system_file("  <uuid>0123456789abcdef0123456789abcdefXYZ</uuid>\n");
  restart();
  EXPECT_STREQ(global_uuid, "0123456789abcdef0123456789abcdef");
}

TEST_F(ConfigStore, SystemFileRoundTripsUnchanged)
{
  const std::string body = "  <uuid>abc123</uuid>\n"
                           "  <uuid_create_time>1700000000</uuid_create_time>\n"
                           "  <curr_config>Kim</curr_config>\n"
                           "  <system_audio_enable>0</system_audio_enable>\n"
                           "  <last_voting_time>1700000100</last_voting_time>\n"
                           "  <last_voting_reminder_time>1700000200</last_voting_reminder_time>\n"
                           "  <voting_reminders>0</voting_reminders>\n"
                           "  <vote_menu0_name>Top &amp; Best</vote_menu0_name>\n"
                           "  <vote_menu0_url>http://vote.example/?a=1&amp;b=2</vote_menu0_url>\n"
                           "  <vote_menu15_name>Last</vote_menu15_name>\n"
                           "  <vote_menu15_url>http://last.example/</vote_menu15_url>\n"
                           "  <connect_address>game.example.org</connect_address>\n"
                           "  <connect_port>4000</connect_port>\n";
  write_system_file(body);
  write_char_file(char_file("Kim"), "Kim", "  <input_height>30</input_height>\n");
  load_system_config();
  EXPECT_EQ(connect_address, "game.example.org");
  EXPECT_EQ(connect_port, 4000);
  EXPECT_EQ(MConfig::current()->name, "Kim");
  EXPECT_EQ(voting_urls[0].url, "http://vote.example/?a=1&b=2");
  std::string before = read_file(system_file());
  save_system_config();
  EXPECT_EQ(read_file(system_file()), before);
  EXPECT_TRUE(well_formed(system_file()));
  EXPECT_TRUE(well_formed(char_file("Kim")));
}

TEST_F(ConfigStore, SystemFileExtrasAndConnectTarget)
{
  write_system_file("  <bootloader_version>1.2</bootloader_version>\n"
                    "  <autoupdate_executable1_state>3</autoupdate_executable1_state>\n"
                    "  <connect_port>70000</connect_port>\n"
                    "  <mystery><inner>1</inner></mystery>\n"
                    "  <single_config>\n    <name>Lee</name>\n    <sky_bar>0</sky_bar>\n  </single_config>\n"
                    "  <curr_config>Lee</curr_config>\n");
  write_file(system_file(), read_file(system_file()) + "<stray>x</stray>\n");
  write_file(dir + "/sound_version.cfg", "old");
  write_file(dir + "/bootname.txt", "old");
  load_system_config();
  EXPECT_EQ(MConfig::current()->name, "Lee");
  EXPECT_EQ(MConfig::GetSkyBar(), 0);
  EXPECT_EQ(connect_port, 3102);
  EXPECT_EQ(connect_address, "localhost");
  EXPECT_FALSE(exists(dir + "/sound_version.cfg"));
  EXPECT_FALSE(exists(dir + "/bootname.txt"));
  EXPECT_TRUE(contains(log->text(), "MConfig::load_system_config_file() got unknown tag 'stray'"));
  save_system_config();
  std::string text = read_file(system_file());
  EXPECT_TRUE(contains(text, "  <connect_address>localhost</connect_address>\n  <connect_port>3102</connect_port>\n"));
  EXPECT_FALSE(contains(text, "single_config"));
  EXPECT_FALSE(contains(text, "bootloader_version"));
  EXPECT_TRUE(exists(char_file("Lee")));
}

// Whatever the files hold, loading falls back to defaults and never fails.
TEST_F(ConfigStore, DamagedFilesFallBackToDefaults)
{
  const std::string header = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
  std::string binary;
  for (int i = 0; i < 4096; ++i)
    binary += (char)((i * 131 + 7) & 0xFF);
  const std::string deep = header + "<system_config_list>" + std::string(20000, '<') + "<a>";
  std::string nested = header + "<system_config_list><curr_config>Max</curr_config>";
  for (int i = 0; i < 5000; ++i)
    nested += "<x>";
  const std::string cases[] = {
      "",
      header,
      header + "<system_config_list>\n  <uuid>abc",
      header + "<system_config_list>\n  <curr_config>Max</curr_config>\n  <uuid>a\tb</uuid>",
      "<system_config_list><curr_config>Max</curr_config></system_config_list>",
      binary,
      header + binary,
      deep,
      nested,
      header + "</system_config_list></a></b><curr_config>Max</curr_config>",
      header + "<system_config_list><curr_config>" + std::string(5000, 'M') + "</curr_config></system_config_list>",
      header + "<system_config_list><single_config><name></name></single_config><single_config><name>Max" +
          "</name><font_size>abc</font_size><popup_window_list><single_popup_window><x>1</x>" +
          "</system_config_list>",
  };
  write_char_file(char_file("Max"), "Max", "  <popup_window_list><single_popup_window><name>" +
                                               std::string(300, 'p') + "</name>" + binary);
  for (const std::string &content : cases) {
    MConfig::clear();
    write_file(system_file(), content);
    load_system_config();
    character_config *c = MConfig::current();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->font_size, 10);
    EXPECT_NE(global_uuid[0], 0);
    EXPECT_GE(c->input_height, 24);
  }

  // Files that are not regular files are not read at all (a FIFO would block).
  remove(system_file().c_str());
  ASSERT_EQ(mkfifo(system_file().c_str(), 0600), 0);
  remove(char_file("Max").c_str());
  ASSERT_EQ(mkfifo(char_file("Max").c_str(), 0600), 0);
  restart();
  ASSERT_NE(MConfig::current(), nullptr);
  MConfig::UseConfig("Max");
  EXPECT_EQ(MConfig::current()->name, "Max");
  EXPECT_EQ(MConfig::save_system_config_file(), 1);
  EXPECT_TRUE(contains(read_file(char_file("Max")), "<name>Max</name>"));
}

// No character name may lead the client to a file outside char_configs.
TEST_F(ConfigStore, UnsafeCharacterNamesStayInMemory)
{
  // Bait files at the places a name like "../Bait" would reach.
  write_char_file(dir + "/Bait.cfg", "../Bait", "  <input_height>99</input_height>\n");
  write_char_file(dir + "/char_configs/Bait.cfg", "../Bait", "  <input_height>99</input_height>\n");
  std::string home_file = home.path() + "/x.cfg";
  write_file(home_file, "<single_config><name>../../../x</name></single_config>");
  std::set<std::string> dir_before = list_dir(dir), chars_before = list_dir(dir + "/char_configs"),
                        home_before = list_dir(home.path());

  load_system_config();
  const std::string names[] = {"../Bait", "../../../x", "a/b", ".", "..", "tab\tname", "new\nline", "del\x7f",
                               std::string(201, 'n')};
  for (const std::string &name : names) {
    MConfig::UseConfig(name.c_str());
    EXPECT_EQ(MConfig::current()->name, name);
    EXPECT_NE(MConfig::GetInputHeight(), 99) << name;
    MConfig::SetInputHeight(30);
  }
  save_system_config();
  dir_before.insert("ombrith.cfg");
  EXPECT_EQ(list_dir(dir), dir_before);
  EXPECT_EQ(list_dir(dir + "/char_configs"), chars_before);
  EXPECT_EQ(list_dir(home.path()), home_before);
  EXPECT_TRUE(contains(log->text(), "cannot be used as a file name"));

  // The system file may name such a configuration; it is not followed either.
  write_system_file("  <curr_config>../Bait</curr_config>\n");
  restart();
  EXPECT_EQ(MConfig::current()->name, "");
  EXPECT_EQ(MConfig::GetInputHeight(), 48);
  EXPECT_TRUE(exists(dir + "/Bait.cfg"));

  // Ordinary names with spaces, dots and Latin-1 letters are fine.
  for (const char *name : {"Sir Lance", ".hidden", "Zo\xeb"}) {
    MConfig::UseConfig(name);
    MConfig::SetInputHeight(33);
  }
  save_system_config();
  for (const char *name : {"Sir Lance", ".hidden", "Zo\xeb"}) {
    EXPECT_TRUE(exists(char_file(name))) << name;
    EXPECT_TRUE(well_formed(char_file(name))) << name;
  }
  restart();
  MConfig::UseConfig("Zo\xeb");
  EXPECT_EQ(MConfig::GetInputHeight(), 33);
}

// Values the reader cannot take raw must not cost the rest of the file.
TEST_F(ConfigStore, UnusualTextRoundTripsThroughTheCharacterFile)
{
  load_system_config();
  MConfig::UseConfig("Nia");
  const std::string odd_popup = "Caf\xe9\tlist\nnew";
  popup_data p(odd_popup.c_str());
  p.x = 5;
  p.width = 120;
  MConfig::SavePopupData(p);
  MConfig::SavePopupData(popup_data("plain"));
  MConfig::SetFont("Noto Sans \xc3\xa9 11", 11);
  MConfig::SetColorFlash(0);
  save_system_config();
  EXPECT_TRUE(well_formed(char_file("Nia")));
  EXPECT_TRUE(well_formed(system_file()));

  restart();
  MConfig::UseConfig("Nia");
  EXPECT_EQ(MConfig::GetFontName(), std::string("Noto Sans \xc3\xa9 11"));
  EXPECT_EQ(MConfig::GetColorFlash(), 0);
  popup_data back = MConfig::GetPopupData(odd_popup.c_str());
  EXPECT_EQ(back.x, 5);
  EXPECT_EQ(back.width, 120);
  ASSERT_EQ(MConfig::current()->popup_window_list.size(), 2u);
  // Loading puts each entry before the ones read earlier: the order turns.
  EXPECT_EQ(std::string(MConfig::current()->popup_window_list[0].name), odd_popup);
}

// A save that cannot be completed leaves the previous files as they were.
TEST_F(ConfigStore, FailedSaveKeepsThePreviousFiles)
{
  load_system_config();
  MConfig::UseConfig("Otto");
  save_system_config();
  const std::string old_system = read_file(system_file());
  const std::string old_char = read_file(char_file("Otto"));

  // Make both new files larger than the file size limit set below.
  for (int k = 0; k < VOTING_URL_SLOTS; ++k) {
    voting_urls[k].name = "vote site " + std::to_string(k);
    voting_urls[k].url = "http://example.org/" + std::string(100, 'v');
  }
  for (int i = 0; i < 20; ++i)
    MConfig::SavePopupData(popup_data(("popup " + std::to_string(i)).c_str()));
  MConfig::SetInputHeight(99);

  // A small disk: writes past 1024 bytes fail with EFBIG. The log starts
  // afresh at level 1 so that it stays below the limit.
  log.reset();
  log.reset(new log_capture(1));
  struct rlimit saved_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved_limit), 0);
  void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved_limit;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  int result = MConfig::save_system_config_file();
  setrlimit(RLIMIT_FSIZE, &saved_limit);
  signal(SIGXFSZ, old_handler);

  EXPECT_EQ(result, 0);
  EXPECT_EQ(read_file(system_file()), old_system);
  EXPECT_EQ(read_file(char_file("Otto")), old_char);
  EXPECT_EQ(list_dir(dir), (std::set<std::string>{"ombrith.cfg", "char_configs"}));
  EXPECT_EQ(list_dir(dir + "/char_configs"), (std::set<std::string>{"Otto.cfg"}));
  std::string text = log->text();
  EXPECT_TRUE(contains(text, "Error in MConfig::save_system_config_file(), unable to write to system config file"));
  EXPECT_TRUE(contains(text, "Unable to save config file '" + char_file("Otto")));

  // With room again the same save goes through.
  EXPECT_EQ(MConfig::save_system_config_file(), 1);
  EXPECT_TRUE(contains(read_file(char_file("Otto")), "<input_height>99</input_height>"));
}

TEST_F(ConfigStore, CharConfigsBlockedByAFile)
{
  load_system_config();
  write_file(dir + "/char_configs", "not a directory");
  MConfig::UseConfig("Pia");
  EXPECT_EQ(MConfig::current()->save_config_xml(), 0);
  EXPECT_TRUE(contains(log->text(), "Unable to create directory for config file '" + char_file("Pia") + "'."));
  EXPECT_EQ(MConfig::save_system_config_file(), 1);
  EXPECT_TRUE(contains(read_file(system_file()), "<curr_config>Pia</curr_config>"));
}

// The shared fonts follow the current configuration; a new configuration
// starts with theirs.
TEST_F(ConfigStore, FontsFollowTheConfiguration)
{
  if (!test_have_display())
    GTEST_SKIP() << "needs the toolkit";
  global_font = new vesk_font(10, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxEmptyString,
                              wxFONTENCODING_DEFAULT);
  global_button_small_font = new vesk_font(7, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                                           wxEmptyString, wxFONTENCODING_DEFAULT);
  global_button_large_font = new vesk_font(10, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                                           wxEmptyString, wxFONTENCODING_DEFAULT);
  load_system_config();
  EXPECT_EQ(MConfig::GetFontName(), std::string(global_font->GetNativeFontInfoDesc().utf8_str().data()));
  EXPECT_EQ(MConfig::GetButtonFontSize(), 7);

  write_char_file(char_file("Rae"), "Rae",
                  "  <font>Serif Bold 9</font>\n  <font_size>14</font_size>\n"
                  "  <button_font></button_font>\n  <button_font_size>9</button_font_size>\n");
  MConfig::UseConfig("Rae");
  EXPECT_EQ(global_font_size, 14);
  EXPECT_EQ(global_font->GetPointSize(), 14);
  EXPECT_EQ(global_font->GetWeight(), wxFONTWEIGHT_BOLD);
  EXPECT_EQ(global_button_small_font->GetPointSize(), 9);
  EXPECT_EQ(global_button_large_font->GetPointSize(), 11);

  // What the window stores back is the same font.
  MConfig::SetFont(*global_font);
  wxNativeFontInfo info;
  ASSERT_TRUE(info.FromString(wxString::FromUTF8(MConfig::GetFontName())));
  EXPECT_EQ(wxFont(info).GetWeight(), wxFONTWEIGHT_BOLD);
  EXPECT_EQ(MConfig::GetFontSize(), 14);

  for (vesk_font **f : {&global_font, &global_button_small_font, &global_button_large_font}) {
    delete *f;
    *f = nullptr;
  }
}
