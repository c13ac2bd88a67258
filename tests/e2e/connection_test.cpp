// The real client against the demo server in script mode: the identification
// line, coloured text and records reaching the client, the server's close,
// a reconnect, a server that never answers the TLS handshake, and the rate
// at which the client drains a flood.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "demo_server_harness.h"
#include "e2e_client.h"
#include "text/ansi_palette.h"

namespace {

// Bytes waiting in the kernel on the connection to the server's port: the
// client socket's receive queue and the server socket's send queue (not yet
// acknowledged), from /proc/net/tcp. False if the connection is not there.
bool connection_queues(int server_port, long *client_receive, long *server_send)
{
  std::ifstream in("/proc/net/tcp");
  std::string line;
  bool client_found = false, server_found = false;
  std::getline(in, line); // the heading
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues;
    fields >> slot >> local >> remote >> state >> queues;
    if (state != "01") // established
      continue;
    int local_port = (int)std::stol(local.substr(local.find(':') + 1), nullptr, 16);
    int remote_port = (int)std::stol(remote.substr(remote.find(':') + 1), nullptr, 16);
    long tx = std::stol(queues.substr(0, queues.find(':')), nullptr, 16);
    long rx = std::stol(queues.substr(queues.find(':') + 1), nullptr, 16);
    if (remote_port == server_port) {
      *client_receive = rx;
      client_found = true;
    } else if (local_port == server_port) {
      *server_send = tx;
      server_found = true;
    }
  }
  return client_found && server_found;
}

bool can_run()
{
  return test_have_display() && e2e_have_xdotool();
}

// Turns on the verbose debug level (which logs every line of the main
// display) and waits until the client has handled it: keys are handled in
// order, so once the line typed after it reaches the server, it is done.
void verbose_log_while_connected(e2e_client &client, demo_server_harness &server)
{
  client.enter("//debug 3");
  client.enter("sync");
  ASSERT_TRUE(server.wait_line_containing("sync")) << server.problem();
}

} // namespace

TEST(Connection, IdentifiesShowsTextAndRecordsSurvivesTheServerClosingAndReconnects)
{
  if (!can_run())
    GTEST_SKIP() << "needs an X display and xdotool";
  demo_server_harness server;
  std::unique_ptr<e2e_client> started;
  ASSERT_NO_FATAL_FAILURE(start_connected_client(server, started));
  e2e_client &client = *started;
  std::string line;
  ASSERT_NO_FATAL_FAILURE(verbose_log_while_connected(client, server));

  // Bold red text: its colour must appear on the screen.
  set_ansi_palette(0);
  const int red = ansi_palette[ansi_group_for_code(0x31) * 3 + ANSI_ENTRY_BOLD];
  const int r = (red >> 16) & 255, g = (red >> 8) & 255, b = red & 255;
  const long red_before = count_screen_pixels(r, g, b);
  EXPECT_NE(red_before, -1) << "the screen could not be read (xwd, package x11-apps)";
  ASSERT_TRUE(server.send("\x1b[1m\x1b[31mRED ALERT FROM THE SERVER\x1b[0m\r\n"));
  ASSERT_TRUE(server.send_record("nosuchrecord", "1 2 3"));
  EXPECT_TRUE(client.wait_log(e2e_client::shown_line("RED ALERT FROM THE SERVER"))) << client.log();
  EXPECT_TRUE(client.wait_log("no handler for tag 'nosuchrecord'")) << client.log();
  if (red_before == -2)
    std::printf("the screen is not true colour: the colour on the screen is not checked\n");
  else
    EXPECT_TRUE(wait_until([&] { return count_screen_pixels(r, g, b) > red_before + 20; }, 10))
        << "no bold red text on the screen";

  // The server closes: the client says so, stays up and connects again.
  ASSERT_TRUE(server.close_connection()) << server.problem();
  EXPECT_TRUE(client.wait_log(e2e_client::shown_line("Connection closed by server."))) << client.log();
  EXPECT_TRUE(client.wait_log(
      e2e_client::shown_line("To log in again, type 'connect' or use the File / Connect menu option.")));
  ASSERT_TRUE(client.process().running());
  client.enter("connect");
  ASSERT_TRUE(server.wait_connected()) << server.problem();
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_EQ(line, e2e_identification());
  client.enter("after the reconnect");
  EXPECT_TRUE(server.wait_line_containing("after the reconnect")) << server.problem();
}

TEST(Connection, SilentServerGivesUnableToConnectAndTheWindowGoesOn)
{
  if (!can_run())
    GTEST_SKIP() << "needs an X display and xdotool";
  demo_server_harness server;
  ASSERT_TRUE(server.start()) << server.problem();
  silent_listener silent;
  refusing_port refused;
  ASSERT_GT(silent.port(), 0);
  ASSERT_GT(refused.port(), 0);

  // The first connect goes to a refused port and fails at once; then the
  // verbose log goes on and the player connects to the silent server.
  e2e_client client(refused.port());
  ASSERT_TRUE(client.wait_window()) << client.process().stderr_text();
  client.enter("//debug 3");
  auto start = std::chrono::steady_clock::now();
  client.enter("connect " + std::to_string(silent.port()));
  ASSERT_TRUE(client.wait_log(e2e_client::shown_line("Unable to connect to server."), 40)) << client.log();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("silent server: 'Unable to connect to server.' %.2f s after the connect was typed\n", seconds);
  EXPECT_NE(client.log().find("TLS handshake timed out"), std::string::npos) << client.log();

  // The window takes input again: a connect to the real server works.
  client.enter("connect " + std::to_string(server.port()));
  ASSERT_TRUE(server.wait_connected(30000)) << server.problem();
  std::string line;
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_EQ(line, e2e_identification());
}

// Not a check of speed: the figure is printed for the record. The client
// must read the whole flood and still be running. The flood has been read
// when the server has written all of it and nothing is left in the kernel
// queues between the two.
TEST(Connection, DrainsATwentyMegabyteFlood)
{
  if (!can_run())
    GTEST_SKIP() << "needs an X display and xdotool";
  demo_server_harness server;
  std::unique_ptr<e2e_client> started;
  ASSERT_NO_FATAL_FAILURE(start_connected_client(server, started));
  e2e_client &client = *started;
  std::string line;

  const unsigned long long bytes = 20ull << 20;
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(server.start_flood(bytes));
  std::string flooded;
  ASSERT_TRUE(server.wait_event("flooded", &flooded, 300000)) << server.problem();
  double written = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(flooded, std::to_string(bytes));
  long receive = -1, send = -1;
  ASSERT_TRUE(wait_until([&] { return connection_queues(server.port(), &receive, &send) && receive == 0 && send == 0; },
                         120))
      << "still queued: " << receive << " bytes to the client, " << send << " bytes from the server";
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("flood: %llu bytes written by the server in %.2f s, read by the client in %.2f s: %.1f MB/s\n", bytes,
              written, seconds, bytes / 1e6 / seconds);
  RecordProperty("flood_mb_per_s", std::to_string(bytes / 1e6 / seconds));

  // Still running and still reading: a typed line arrives after the flood.
  ASSERT_TRUE(client.process().running());
  client.enter("after the flood");
  EXPECT_TRUE(server.wait_line_containing("after the flood", nullptr, 60000)) << server.problem();
}

// What scripts/run.sh gives a newcomer: the client against the demo world,
// a name and a password typed in, and the player logged in (the window
// title names the character).
TEST(Connection, NewcomerLogsIntoTheDemoWorld)
{
  if (!can_run())
    GTEST_SKIP() << "needs an X display and xdotool";
  demo_server_harness server;
  ASSERT_TRUE(server.start_world()) << server.problem();
  e2e_client client(server.port());
  ASSERT_TRUE(client.wait_window()) << client.process().stderr_text();
  // The client connects on its first tick, well before the first line below
  // is typed out; the server's name prompt may come before the verbose log.
  client.enter("//debug 3");
  client.enter("thorin");
  ASSERT_TRUE(client.wait_log(e2e_client::shown_line_end("Choose a password: "))) << client.log();
  client.enter("hush8secret");
  EXPECT_TRUE(wait_until(
      [&] {
        return !run_capture("xdotool search --onlyvisible --pid " + std::to_string(client.process().pid()) +
                            " --name '^Ombrith - Player Thorin$' 2>/dev/null")
                    .empty();
      },
      20))
      << client.log();
  EXPECT_TRUE(client.wait_log(e2e_client::shown_line("Town Square"))) << client.log();
  client.enter("north");
  EXPECT_TRUE(client.wait_log(e2e_client::shown_line_end("North Road"))) << client.log();
  EXPECT_EQ(client.log().find("hush8secret"), std::string::npos);
}
