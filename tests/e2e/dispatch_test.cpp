// Records from the server driving the real client: the login record names
// the window, the client reports its settings, pings, follows a server
// configuration command with a new report, and saves the changed option.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "demo_server_harness.h"
#include "e2e_client.h"

namespace {

bool window_titled(e2e_client &client, const std::string &title_regex)
{
  return !run_capture("xdotool search --onlyvisible --pid " + std::to_string(client.process().pid()) + " --name '" +
                      title_regex + "' 2>/dev/null")
              .empty();
}

} // namespace

TEST(Dispatch, LoginStatusLinePingConfigCommandAndSavedOption)
{
  if (!test_have_display() || !e2e_have_xdotool())
    GTEST_SKIP() << "needs an X display and xdotool";
  demo_server_harness server;
  std::unique_ptr<e2e_client> started;
  ASSERT_NO_FATAL_FAILURE(start_connected_client(server, started));
  e2e_client &client = *started;
  std::string line;

  ASSERT_TRUE(server.send_record("login", "Aragorn\nwelcome"));
  EXPECT_TRUE(wait_until([&] { return window_titled(client, "^Ombrith - Player Aragorn$"); }, 20));

  // A fresh character with the seeded system settings (sound off): separator,
  // hint buttons, status and sky bar, exp, hp and enemy bars, popup buttons,
  // vertical group display, Left Bottom, map on and docked, channel
  // duplicates, colour flash, default palette, voting reminders; Blue
  // buttons, Red background, Maze2.
  const std::string fresh = "mclstatus 01010111111" "1" "2" "11011" "0" "1" "  1  2  3";
  ASSERT_TRUE(server.wait_line_containing("mclstatus ", &line)) << server.problem();
  EXPECT_EQ(line, fresh);

  // The ping timer runs every 15 s while logged in.
  ASSERT_TRUE(server.wait_line_containing("mcping", &line, 20000)) << server.problem();
  EXPECT_EQ(line, "mcping");

  // The server turns the experience bar off: the next report says so.
  ASSERT_TRUE(server.send_record("config", "exp_bar disable"));
  ASSERT_TRUE(server.wait_line_containing("mclstatus ", &line)) << server.problem();
  std::string expected = fresh;
  expected[std::string("mclstatus ").size() + 7] = '0';
  EXPECT_EQ(line, expected);

  client.enter("//quit");
  ASSERT_TRUE(client.process().wait_exit(20)) << client.log();
  EXPECT_EQ(client.process().exit_status(), 0);
  std::string saved = read_file(client.config_dir() + "/char_configs/Aragorn.cfg");
  EXPECT_NE(saved.find("<name>Aragorn</name>"), std::string::npos) << saved;
  EXPECT_NE(saved.find("<exp_display>0</exp_display>"), std::string::npos) << saved;
  EXPECT_NE(read_file(client.config_dir() + "/ombrith.cfg").find("<curr_config>Aragorn</curr_config>"),
            std::string::npos);
}
