#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/client_commands.h"
#include "app/debug_log.h"
#include "test_support.h"

namespace {

// Records what the command texts do, one entry per call.
class recording_output : public command_output {
public:
  void write(const char *text) override { calls.push_back(std::string("W:") + text); }
  void set_color(int a, int b) override { calls.push_back("C:" + std::to_string(a) + "," + std::to_string(b)); }
  void reset_colors() override { calls.push_back("R"); }
  void set_default_colors() override { calls.push_back("D"); }
  void refresh() override { calls.push_back("F"); }

  std::string text() const
  {
    std::string all;
    for (const auto &c : calls)
      if (c.compare(0, 2, "W:") == 0)
        all += c.substr(2);
    return all;
  }

  std::vector<std::string> calls;
};

} // namespace

TEST(ClientCommands, MatchTable)
{
  struct {
    const char *line;
    int login_state;
    bool connected;
    client_command_kind kind;
  } cases[] = {
      // The abbreviations, checked in table order.
      {"//c", 0, true, CMD_COMMAND_HELP},
      {"//cl", 0, true, CMD_CLEAR},
      {"//cc", 0, true, CMD_CHANNEL_CLEAR},
      {"//chan", 0, true, CMD_CHANNEL_CLEAR},
      {"//h", 0, true, CMD_KEYBOARD_HELP},
      {"//hi", 0, true, CMD_HISTORY},
      {"//v", 0, true, CMD_VERSION},
      {"//b", 0, true, CMD_BREAK},
      {"//QUIT", 0, true, CMD_QUIT},
      {"//exit", 0, false, CMD_QUIT},
      {"//qui", 0, true, CMD_SEND},
      {"//qui", 0, false, CMD_DROP},
      {"//disc", 0, true, CMD_DISCONNECT},
      {"//dis", 0, true, CMD_SEND},
      {"//e hello", 0, false, CMD_ECHO},
      {"//debug 3", 0, false, CMD_DEBUG_LEVEL},
      {"//debugfile /tmp/x", 0, false, CMD_DEBUG_FILENAME},
      {"//debugfill", 0, false, CMD_DEBUG_FILL},
      {"//debugfil", 0, false, CMD_DEBUG_FILENAME},
      {"//icons 1 2", 0, false, CMD_ICONS},
      {"//soundtest boom", 0, false, CMD_SOUND_TEST},
      {"//unknown", 0, true, CMD_SEND},
      // The ping only counts while logged in.
      {"//ping", 2, true, CMD_PING},
      {"mcping", 2, true, CMD_PING},
      {"//ping", 1, true, CMD_SEND},
      {"mcping", 0, true, CMD_SEND},
      // Words accepted while disconnected.
      {"co 4000", 0, false, CMD_CONNECT},
      {"st", 0, false, CMD_CONNECT},
      {"re", 0, false, CMD_CONNECT},
      {"r", 0, false, CMD_DROP},
      {"log", 0, false, CMD_DROP},
      {"logi", 0, false, CMD_CONNECT},
      {"qui", 0, false, CMD_QUIT},
      {"ex", 0, false, CMD_QUIT},
      {"look", 0, false, CMD_DROP},
      {"", 0, false, CMD_DROP},
      {"quit", 2, true, CMD_SEND},
      {"look", 2, true, CMD_SEND},
  };
  for (const auto &c : cases)
    EXPECT_EQ(match_client_command(c.line, c.login_state, c.connected).kind, c.kind)
        << "'" << c.line << "' login " << c.login_state << " connected " << c.connected;
}

TEST(ClientCommands, ArgumentIsRestOfLine)
{
  client_command_match m = match_client_command("co   4000 x", 0, false);
  ASSERT_NE(m.argument, nullptr);
  EXPECT_STREQ(m.argument, "4000 x");
  EXPECT_EQ(match_client_command("connect", 0, false).argument, nullptr);
}

TEST(ClientCommands, LocalEchoWithAndWithoutSeparator)
{
  const std::string dashes = "\n" + std::string(73, '-');
  recording_output with_sep;
  write_local_echo(with_sep, "look", true);
  EXPECT_EQ(with_sep.calls, (std::vector<std::string>{"R", "W:\n", "W:\n", "C:1,51", "W:>", "R", "W:look", "C:1,51",
                                                      "W:<", "C:1,55", "W:" + dashes, "R", "F"}));

  recording_output empty_line;
  write_local_echo(empty_line, "", true);
  EXPECT_EQ(empty_line.text(), "\n><");

  recording_output no_sep;
  write_local_echo(no_sep, "look", false);
  EXPECT_EQ(no_sep.text(), "\n>look<");
}

TEST(ClientCommands, HelpTexts)
{
  recording_output help;
  write_command_help(help);
  EXPECT_EQ(help.calls.front(), "R");
  EXPECT_NE(help.text().find("\n//commands               - this help screen"), std::string::npos);
  EXPECT_NE(help.text().find("\nconnect <port>           - connect on a specified port\nquit"), std::string::npos);

  recording_output keys_out, keys_in;
  write_keyboard_help(keys_out, false);
  write_keyboard_help(keys_in, true);
  EXPECT_EQ(keys_out.text().find("F1-F12"), std::string::npos);
  EXPECT_NE(keys_in.text().find("\nF1-F12            - trigger aliases 'f01' through 'f12'"), std::string::npos);
  EXPECT_NE(keys_in.text().find("\nControl \\         - (abort)"), std::string::npos);
  std::string separator = "\n=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=";
  EXPECT_EQ(separator.size(), 54u);
  EXPECT_NE(keys_in.text().find(separator), std::string::npos);
}

TEST(ClientCommands, AboutText)
{
  recording_output offline;
  write_about(offline, "", "/home/p/Library/Ombrith", false);
  std::string t = offline.text();
  EXPECT_NE(t.find("\nOmbrith Client Version: 1.096-mst-rc3"), std::string::npos);
  EXPECT_EQ(t.find("Launcher Version"), std::string::npos);
  EXPECT_NE(t.find("\nClient config directory:   /home/p/Library/Ombrith"), std::string::npos);
  EXPECT_EQ(t.substr(t.size() - 35), "\nUnable to retrieve server version.");

  recording_output launched;
  write_about(launched, "2.1", "/x", true);
  EXPECT_NE(launched.text().find("\nLauncher Version:          2.1"), std::string::npos);
  EXPECT_EQ(launched.text().find("Unable to retrieve"), std::string::npos);
}

TEST(ClientCommands, DebugLevelAndFile)
{
  temp_dir dir;
  log_capture log(1);
  {
    recording_output out;
    handle_debug_level_command(out, "3");
    EXPECT_EQ(out.text(), "\nDebug level changed from 1 to 3.\n\n");
    EXPECT_EQ(vesk_client_debug_log_level, 3);
  }
  {
    recording_output out;
    handle_debug_level_command(out, nullptr);
    EXPECT_NE(out.text().find("The current debug level is:     3\n"), std::string::npos);
    EXPECT_NE(out.text().find("To change the debug level, you must give a number between 0 and 3.\n"),
              std::string::npos);
  }
  {
    recording_output out;
    handle_debug_filename_command(out, dir.file("new.txt").c_str());
    EXPECT_EQ(out.text(), "\nDebug logfile changed.\n\n");
    EXPECT_STREQ(vesk_client_get_debug_logfile_name(), dir.file("new.txt").c_str());
  }
  {
    // A file that cannot be opened: the previous log is opened again.
    write_file(dir.file("plain"), "x");
    recording_output out;
    handle_debug_filename_command(out, dir.file("plain/bad.txt").c_str());
    EXPECT_EQ(out.text(), "\nUnable to open new logfile, old logfile not changed.\n\n");
    EXPECT_STREQ(vesk_client_get_debug_logfile_name(), dir.file("new.txt").c_str());
  }
  {
    recording_output out;
    handle_debug_filename_command(out, nullptr);
    EXPECT_NE(out.text().find("You must give a filename to change the debug file.\n"), std::string::npos);
  }
  {
    // With no previous name there is nothing to go back to.
    vesk_client_debug_logfile_close();
    recording_output out;
    handle_debug_filename_command(out, dir.file("plain/bad.txt").c_str());
    EXPECT_EQ(out.text(), "\nUnable to open logfile.  Please try again with a different name/path.\n\n");
    recording_output status;
    dump_debug_logfile_status(status);
    EXPECT_NE(status.text().find("Debug logging is currently DISABLED - unable to open debug file.\n"
                                 "The failed filename is:  " +
                                 dir.file("plain/bad.txt")),
              std::string::npos);
  }
}
