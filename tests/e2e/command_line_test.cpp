// The real client's command line, typed into with xdotool: what is typed
// reaches the client's command path.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <sys/stat.h>

#include "demo_server_harness.h"
#include "e2e_client.h"
#include "process_util.h"
#include "test_support.h"

namespace {

std::string trimmed(std::string s)
{
  while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
    s.pop_back();
  return s;
}

// The client's main window, once it is shown.
std::string wait_for_main_window(child_process &client)
{
  std::string id;
  wait_until(
      [&] {
        id = trimmed(run_capture("xdotool search --onlyvisible --pid " + std::to_string(client.pid()) +
                                 " --name '^Ombrith$' 2>/dev/null | head -1"));
        return !id.empty();
      },
      30);
  return id;
}

bool have_xdotool() { return !run_capture("command -v xdotool").empty(); }

} // namespace

TEST(CommandLine, TypedQuitEndsTheClientAndSavesTheSettings)
{
  if (!test_have_display() || !have_xdotool())
    GTEST_SKIP() << "needs an X display and xdotool";
  temp_dir home, out;
  child_process client({OMBRITH_CLIENT_BINARY}, {{"HOME", home.path()}}, out.path());
  std::string window = wait_for_main_window(client);
  ASSERT_FALSE(window.empty()) << "no main window; stderr: " << client.stderr_text();

  std::string system_file = home.path() + "/Library/Ombrith/ombrith.cfg";
  struct stat st;
  ASSERT_NE(stat(system_file.c_str(), &st), 0) << "the settings are only written at exit";

  // The command line has the keyboard focus from the start: no click needed.
  run_capture("xdotool windowfocus --sync " + window + " 2>&1");
  run_capture("xdotool type --delay 20 //quit 2>&1");
  run_capture("xdotool key Return 2>&1");

  ASSERT_TRUE(client.wait_exit(20)) << "//quit did not end the client";
  EXPECT_EQ(client.exit_status(), 0);
  EXPECT_EQ(stat(system_file.c_str(), &st), 0) << "settings not saved";
}

// Typing into the real client connected to the demo server in script mode:
// a command reaches the server as typed; a password typed while the server
// has switched the echo off reaches it but is neither shown nor kept in the
// history; the keypad walks once per key press; //quit ends the client.
TEST(CommandLine, CommandsPasswordKeypadAndQuitAgainstTheServer)
{
  if (!test_have_display() || !have_xdotool())
    GTEST_SKIP() << "needs an X display and xdotool";
  demo_server_harness server;
  std::unique_ptr<e2e_client> started;
  ASSERT_NO_FATAL_FAILURE(start_connected_client(server, started));
  e2e_client &client = *started;
  std::string line;

  // The verbose log shows every line of the main display.
  client.enter("//debug 3");
  client.enter("look");
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_EQ(line, "look");
  EXPECT_TRUE(client.wait_log(e2e_client::shown_line(">look<"))) << client.log();

  // The server asks for a password with the echo off (IAC WILL ECHO, IAC
  // DONT ECHO). Once the prompt line is shown the echo is off: both happen
  // in the same tick, before the keys below are handled.
  ASSERT_TRUE(server.send("Password: \xff\xfb\x01\xff\xfe\x01"));
  ASSERT_TRUE(client.wait_log(e2e_client::shown_line_end("Password: "))) << client.log();
  client.enter("hush8secret");
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_EQ(line, "hush8secret");
  // Up recalls the command before the password, or nothing.
  client.key("Up Return");
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_TRUE(line == "" || line == "look") << "Up + Return sent '" << line << "'";

  // Echo back on (IAC WONT ECHO, IAC DO ECHO); "ok" on the screen marks it.
  ASSERT_TRUE(server.send("\xff\xfc\x01\xff\xfd\x01ok\r\n"));
  ASSERT_TRUE(client.wait_log(e2e_client::shown_line_end("ok"))) << client.log();
  client.key("Up Return");
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_NE(line, "hush8secret");

  // Keypad 8 (Num Lock off: KP_Up) walks north; a second key-down without a
  // key-up in between is a held key and sends nothing.
  client.key("KP_Up");
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_EQ(line, "north");
  client.xdotool("keydown KP_Up keydown KP_Up keyup KP_Up");
  client.enter("marker");
  int norths = 0;
  while (server.wait_line(&line) && line != "marker")
    norths += line == "north";
  EXPECT_EQ(line, "marker") << server.problem();
  EXPECT_EQ(norths, 1);

  // The password was never shown (nor logged).
  EXPECT_EQ(client.log().find("hush8secret"), std::string::npos) << client.log();

  const std::string system_file = client.config_dir() + "/ombrith.cfg";
  const std::string before = read_file(system_file);
  client.enter("//quit");
  ASSERT_TRUE(client.process().wait_exit(20)) << "//quit did not end the client";
  EXPECT_EQ(client.process().exit_status(), 0);
  struct stat st;
  ASSERT_EQ(stat(system_file.c_str(), &st), 0);
  EXPECT_NE(read_file(system_file).find("<connect_port>" + std::to_string(server.port()) + "</connect_port>"),
            std::string::npos)
      << read_file(system_file);
  EXPECT_NE(read_file(system_file), before) << "settings not written at exit";
}
