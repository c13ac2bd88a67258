// The main window's game connection against the demo server in script mode:
// the window's ticks are run by the test (its timers are stopped), what the
// server received is read back through the harness, and what the player saw
// is read from the main display's render list.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <wx/timer.h>

#include "app/main_window.h"
#include "config/config_store.h"
#include "demo_server_harness.h"
#include "loopback_peer.h"
#include "net/ssl_context.h"
#include "test_support.h"
#include "text/ansi_display.h"

namespace {

class GameConnection : public ::testing::Test {
protected:
  void SetUp() override
  {
    if (!test_have_display())
      GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    ignore_broken_pipe();
    ASSERT_EQ(1, vesk_ssl_startup());
    ASSERT_TRUE(server.start()) << server.problem();
    saved_address = connect_address;
    saved_port = connect_port;
    connect_address = "127.0.0.1";
    connect_port = server.port();
    mw = new vesk_mw("Ombrith", wxDefaultPosition, wxSize(984, 728));
    mw->main_timer.Stop();
    mw->ping_timer.Stop();
    mw->save_timer.Stop();
  }

  void TearDown() override
  {
    delete mw;
    connect_address = saved_address;
    connect_port = saved_port;
  }

  void tick()
  {
    wxTimerEvent event(mw->main_timer);
    mw->OnTimer(event);
  }

  // Ticks until the condition holds (at most `seconds`).
  bool tick_until(const std::function<bool()> &condition, double seconds = 15)
  {
    long long deadline = test_now_ms() + (long long)(seconds * 1000);
    while (test_now_ms() < deadline) {
      tick();
      if (condition())
        return true;
      wxMilliSleep(2);
    }
    return false;
  }

  // The next line the client sends, ticking the window meanwhile.
  bool next_line(std::string *line)
  {
    long long deadline = test_now_ms() + 15000;
    while (test_now_ms() < deadline) {
      tick();
      if (server.wait_line(line, 20))
        return true;
    }
    return false;
  }

  // Everything written into the main display so far.
  std::string shown() const
  {
    std::string text;
    for (const vesk_render_list *e = mw->main_text_display->render_first; e; e = e->next)
      text.append(e->text, (size_t)e->length);
    return text + mw->main_text_display->pending_run;
  }

  bool shows(const std::string &text) const { return shown().find(text) != std::string::npos; }

  static std::string identification()
  {
    return std::string("_mClient ") + global_uuid + " 1.096-mst-rc3";
  }

  // Connects on the first tick and takes the identification line.
  void connect_and_identify()
  {
    tick();
    ASSERT_TRUE(server.wait_connected()) << server.problem();
    std::string line;
    ASSERT_TRUE(next_line(&line)) << server.problem();
    ASSERT_EQ(line, identification());
  }

  demo_server_harness server;
  vesk_mw *mw = nullptr;
  std::string saved_address;
  int saved_port = 0;
};

const char RECONNECT_HINT[] = "To log in again, type 'connect' or use the File / Connect menu option.\n";

} // namespace

TEST_F(GameConnection, FirstTickConnectsAndIdentifiesReadingStartsOnTheSecond)
{
  // A line queued before the connection exists is not sent by it.
  mw->socket_send_command("stale");
  tick();
  EXPECT_TRUE(shows("Connecting to server...\n"));
  EXPECT_TRUE(mw->socket_is_connected());
  ASSERT_TRUE(server.wait_connected()) << server.problem();
  // The first tick only connects: the identification is written on the next.
  std::string line;
  EXPECT_FALSE(server.wait_line(&line, 200));
  ASSERT_TRUE(next_line(&line)) << server.problem();
  EXPECT_EQ(line, identification());

  // A command line goes to the server.
  mw->handle_async_control_command("look", 0);
  ASSERT_TRUE(next_line(&line));
  EXPECT_EQ(line, "look");
}

TEST_F(GameConnection, ReceivedTextRecordsEchoAndBell)
{
  ASSERT_NO_FATAL_FAILURE(connect_and_identify());
  log_capture log(2);
  // Coloured text with a record and a bell in it, the record split over two
  // sends, then the server hiding the player's typing.
  ASSERT_TRUE(server.send("\x1b[1m\x1b[31mRed\x1b[0m alert\a;snosuchrecord;10 "));
  ASSERT_TRUE(server.send("20;enosuchrecord; over\r\n"));
  ASSERT_TRUE(server.send("Password: \xff\xfb\x01\xff\xfe\x01"));
  ASSERT_TRUE(tick_until([&] { return mw->input_local_echo_enabled() == 0; })) << shown();
  EXPECT_TRUE(shows("Red alert over\n")) << shown();
  EXPECT_TRUE(shows("Password: \n")) << shown();
  EXPECT_NE(log.text().find("no handler for tag 'nosuchrecord'"), std::string::npos) << log.text();

  // The colour reached the display: the run "Red" is bold red.
  bool red = false;
  for (const vesk_render_list *e = mw->main_text_display->render_first; e; e = e->next)
    if (std::string(e->text, (size_t)e->length) == "Red")
      red = e->color_code == 0x31 && e->flags == SGR_BOLD;
  EXPECT_TRUE(red);

  ASSERT_TRUE(server.send("\xff\xfc\x01\xff\xfd\x01"));
  EXPECT_TRUE(tick_until([&] { return mw->input_local_echo_enabled() == 1; }));
}

TEST_F(GameConnection, PingIsSentOnlyWhileLoggedIn)
{
  ASSERT_NO_FATAL_FAILURE(connect_and_identify());
  mw->send_ping();
  mw->login_state = 2;
  mw->send_ping();
  EXPECT_NE(mw->ping_sent_usec, 0);
  mw->socket_send_command("marker");
  std::string line;
  ASSERT_TRUE(next_line(&line));
  EXPECT_EQ(line, "mcping");
  ASSERT_TRUE(next_line(&line));
  EXPECT_EQ(line, "marker");
}

TEST_F(GameConnection, EndsOfTheConnectionAreReportedOnceAndTheClientCanReconnect)
{
  struct end_case {
    const char *name;
    std::function<bool(demo_server_harness &, vesk_mw *)> end;
    const char *message;
  };
  const end_case cases[] = {
      {"clean close", [](demo_server_harness &s, vesk_mw *) { return s.close_connection(); },
       "Connection closed by server."},
      {"reset", [](demo_server_harness &s, vesk_mw *) { return s.abort_connection(); },
       "Connection to server lost."},
      {"//disconnect",
       [](demo_server_harness &s, vesk_mw *w) {
         w->handle_async_control_command("//disconnect", 0);
         return s.wait_disconnected();
       },
       "Disconnecting."},
  };
  ASSERT_NO_FATAL_FAILURE(connect_and_identify());
  for (const end_case &c : cases) {
    SCOPED_TRACE(c.name);
    log_capture log(2);
    mw->login_state = 2;
    mw->SetTitle("Ombrith - Player Thorin");
    mw->socket_send_command("never sent");
    size_t before = shown().size();
    ASSERT_TRUE(c.end(server, mw)) << server.problem();
    const std::string told = std::string("\n\n") + c.message + "\n\n" + RECONNECT_HINT + "\n";
    ASSERT_TRUE(tick_until([&] { return shown().find(told, before) != std::string::npos; })) << shown();
    // A few more ticks: nothing else is reported.
    for (int i = 0; i < 5; ++i)
      tick();
    std::string after = shown().substr(before);
    EXPECT_EQ(after.find("Connection", after.find(told) + told.size()), std::string::npos) << after;
    EXPECT_EQ(log.text().find("abnormal connection failure"), std::string::npos) << log.text();
    EXPECT_FALSE(mw->socket_is_connected());
    EXPECT_EQ(mw->login_state, 0);
    EXPECT_EQ(mw->GetTitle(), "Ombrith");

    // Typed while disconnected: dropped; "connect" connects again and the
    // first line is the identification.
    mw->handle_async_control_command("look", 0);
    mw->handle_async_control_command("connect", 0);
    ASSERT_TRUE(server.wait_connected()) << server.problem();
    std::string line;
    ASSERT_TRUE(next_line(&line)) << server.problem();
    EXPECT_EQ(line, identification());
  }
}

TEST_F(GameConnection, ConnectWithAPortAndAReconnectRequestWhileConnected)
{
  // The configured port refuses; "connect <port>" goes to the port given.
  connect_port = unused_port();
  tick();
  EXPECT_TRUE(shows("\n\nUnable to connect to server.\n\n")) << shown();
  EXPECT_FALSE(mw->socket_is_connected());
  mw->handle_async_control_command(("connect " + std::to_string(server.port())).c_str(), 0);
  ASSERT_TRUE(server.wait_connected()) << server.problem();
  std::string line;
  ASSERT_TRUE(next_line(&line));
  EXPECT_EQ(line, identification());

  // A reconnect asked for while connected keeps the connection.
  mw->start_reconnect();
  tick();
  EXPECT_TRUE(mw->socket_is_connected());
  mw->socket_send_command("still here");
  ASSERT_TRUE(next_line(&line));
  EXPECT_EQ(line, "still here");
}

TEST_F(GameConnection, ServerThatAcceptsAndStaysSilent)
{
  // The TCP connect succeeds (the listener's backlog takes it) but the TLS
  // handshake never gets an answer: the wait is bounded and the player is told.
  loopback_listener silent;
  connect_port = silent.port();
  long long start = test_now_ms();
  tick();
  long long waited = test_now_ms() - start;
  EXPECT_TRUE(shows("\n\nUnable to connect to server.\n\n" + std::string(RECONNECT_HINT))) << shown();
  EXPECT_FALSE(mw->socket_is_connected());
  std::printf("silent server: the connect gave up after %lld ms\n", waited);

  // The window goes on: the next connect works.
  connect_port = server.port();
  mw->handle_async_control_command("connect", 0);
  ASSERT_TRUE(server.wait_connected()) << server.problem();
}

// How the bytes were split between reads never changes what the main
// display shows: here a read that ends inside an escape sequence, at the
// very start of an empty display (whose leading newlines are dropped).
TEST(GameConnectionDisplay, ReadSplitInsideAnEscapeSequenceShowsTheSame)
{
  if (!test_have_display())
    GTEST_SKIP() << "needs an X display (run under xvfb-run)";
  const std::string bytes = "\x1b[31m\n\nHello;;there\r\nsecond line\r\n";
  int lines[2];
  for (int split = 0; split < 2; ++split) {
    vesk_mw *mw = new vesk_mw("Ombrith", wxDefaultPosition, wxSize(984, 728));
    mw->main_timer.Stop();
    if (split) {
      mw->process_socket_data(bytes.data(), 3);
      mw->process_socket_data(bytes.data() + 3, (int)bytes.size() - 3);
    } else {
      mw->process_socket_data(bytes.data(), (int)bytes.size());
    }
    lines[split] = mw->main_text_display->text_store->last_line;
    delete mw;
  }
  EXPECT_EQ(lines[0], lines[1]);
}
