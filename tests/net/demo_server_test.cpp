// The demo server with the client's own TLS socket: the script mode through
// the test harness, and a walk through the demo world read by the stream
// demultiplexer.
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "demo_server_harness.h"
#include "loopback_peer.h"
#include "net/ssl_context.h"
#include "net/stream_demux.h"
#include "net/tcp_socket.h"

namespace {

class DemoServerTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ignore_broken_pipe();
    ASSERT_EQ(1, vesk_ssl_startup());
  }

  // Connects the client's TLS socket to the server.
  void connect(vesk_tcp_socket &s, int port)
  {
    s.enable_ssl();
    struct sockaddr_in a = loopback_address();
    ASSERT_EQ(1, s.blocking_connect(&a, port, 5000)) << "write_error " << s.write_error;
  }

  static bool write_all(vesk_tcp_socket &s, const std::string &bytes)
  {
    size_t done = 0;
    long long deadline = test_now_ms() + 10000;
    while (done < bytes.size() && test_now_ms() < deadline) {
      int n = s.blocking_write(bytes.data() + done, (int)(bytes.size() - done), 100);
      if (n < 0)
        return false;
      done += (size_t)n;
    }
    return done == bytes.size();
  }
};

// Collects what the demultiplexer reports, with text merged.
struct world_view : vesk_stream_demux_sink {
  std::string text;
  std::vector<std::pair<std::string, std::string>> records;
  std::vector<int> echo;

  void demux_text_run(const char *t, int n) override { text.append(t, (size_t)n); }
  void demux_record(const char *name, const char *data, int n) override
  {
    records.push_back({name, std::string(data, (size_t)n)});
  }
  void demux_local_echo(int enable) override { echo.push_back(enable); }
  void demux_bell() override {}

  const std::string *last_record(const std::string &name) const
  {
    for (size_t i = records.size(); i-- > 0;)
      if (records[i].first == name)
        return &records[i].second;
    return nullptr;
  }
};

// Reads from the socket through the demultiplexer until `done` holds, the
// connection ends, or 10 s pass. True when `done` held.
bool read_until(vesk_tcp_socket &s, vesk_stream_demux &demux, const std::function<bool()> &done)
{
  char buffer[10000];
  long long deadline = test_now_ms() + 10000;
  while (!done()) {
    if (test_now_ms() >= deadline)
      return false;
    int n = s.blocking_read(buffer, sizeof(buffer), 100);
    if (n < 0)
      return done();
    if (n > 0)
      demux.process_socket_data(buffer, n);
  }
  return true;
}

} // namespace

TEST_F(DemoServerTest, ScriptModeCarriesBytesBothWays)
{
  demo_server_harness server;
  ASSERT_TRUE(server.start()) << server.problem();
  vesk_tcp_socket s;
  connect(s, server.port());
  ASSERT_TRUE(server.wait_connected()) << server.problem();

  ASSERT_TRUE(write_all(s, "_mClient 0123-abcd 1.096-mst-rc3\nlook\nodd \\ bytes \x01\xff\r\n"));
  std::string line;
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_EQ("_mClient 0123-abcd 1.096-mst-rc3", line);
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_EQ("look", line);
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  EXPECT_EQ("odd \\ bytes \x01\xff\r", line) << "bytes arrive exactly, carriage return included";

  const std::string coloured = "\x1b[1m\x1b[31mred;;text\x1b[0m\r\n\xff\xfe\x01";
  ASSERT_TRUE(server.send(coloured)) << server.problem();
  EXPECT_EQ(coloured, client_read(s, coloured.size()));
  ASSERT_TRUE(server.send_record("hp", "1 2 3 4 5 6")) << server.problem();
  ASSERT_TRUE(server.send_record("logoff")) << server.problem();
  std::string records = ";shp;1 2 3 4 5 6;ehp;;tlogoff;";
  EXPECT_EQ(records, client_read(s, records.size()));

  // Bytes without a newline are reported when the client hangs up.
  ASSERT_TRUE(write_all(s, "unfinished"));
  s.disconnect_close();
  std::string partial;
  ASSERT_TRUE(server.wait_event("partial", &partial)) << server.problem();
  EXPECT_EQ("unfinished", partial);
  ASSERT_TRUE(server.wait_disconnected()) << server.problem();
  EXPECT_EQ(3u, server.lines().size());
  EXPECT_TRUE(server.stop());
}

TEST_F(DemoServerTest, CleanCloseResetAndReconnect)
{
  demo_server_harness server;
  ASSERT_TRUE(server.start()) << server.problem();

  vesk_tcp_socket first;
  connect(first, server.port());
  ASSERT_TRUE(server.wait_connected()) << server.problem();
  ASSERT_TRUE(server.command("close"));
  EXPECT_EQ(-1, client_read_until_end(first));
  EXPECT_EQ(0, first.read_error) << "a clean close by the server";
  ASSERT_TRUE(server.wait_disconnected()) << server.problem();

  vesk_tcp_socket second;
  connect(second, server.port());
  ASSERT_TRUE(server.wait_connected()) << server.problem();
  ASSERT_TRUE(server.command("abort"));
  EXPECT_EQ(-1, client_read_until_end(second));
  EXPECT_EQ(VESK_NET_CONNECTION_RESET, second.read_error) << "a dropped connection is lost, not closed";
  ASSERT_TRUE(server.wait_disconnected()) << server.problem();

  // Commands without a client are refused, not fatal.
  ASSERT_TRUE(server.command("send x"));
  std::string error;
  ASSERT_TRUE(server.wait_event("error", &error)) << server.problem();
  EXPECT_EQ("no client connected", error);
}

TEST_F(DemoServerTest, FloodArrivesWholeAtTheClientsPace)
{
  demo_server_harness server;
  ASSERT_TRUE(server.start()) << server.problem();
  vesk_tcp_socket s;
  connect(s, server.port());
  ASSERT_TRUE(server.wait_connected()) << server.problem();
  const size_t size = 3 << 20;
  ASSERT_TRUE(server.start_flood(size));
  std::string got = client_read(s, size, 60000);
  std::string count;
  ASSERT_TRUE(server.wait_event("flooded", &count)) << server.problem();
  EXPECT_EQ(std::to_string(size), count);
  ASSERT_EQ(size, got.size());
  EXPECT_TRUE(got == demo_server_harness::flood_bytes(size));
  EXPECT_EQ(std::string::npos, got.find(';')) << "flood text needs no escaping";
  s.disconnect_close();
}

TEST_F(DemoServerTest, DemoWorldLoginWalkAndQuit)
{
  demo_server_harness server;
  ASSERT_TRUE(server.start_world()) << server.problem();
  vesk_tcp_socket s;
  connect(s, server.port());
  world_view view;
  vesk_stream_demux demux(&view);

  ASSERT_TRUE(read_until(s, demux, [&] { return view.text.find("By what name") != std::string::npos; }));
  ASSERT_TRUE(write_all(s, "_mClient 0123-abcd 1.096-mst-rc3\nthorin\n"));
  ASSERT_TRUE(read_until(s, demux, [&] { return !view.echo.empty(); }));
  EXPECT_EQ(std::vector<int>{0}, view.echo) << "typing the password is hidden";
  EXPECT_NE(std::string::npos, view.text.find("Thorin"));

  ASSERT_TRUE(write_all(s, "secret\n"));
  ASSERT_TRUE(read_until(s, demux, [&] { return view.text.find("Exits:") != std::string::npos; }));
  EXPECT_EQ((std::vector<int>{0, 1}), view.echo);
  ASSERT_NE(nullptr, view.last_record("login"));
  EXPECT_EQ("Thorin", *view.last_record("login"));
  EXPECT_EQ(nullptr, view.last_record("uuid")) << "the client has an identifier of its own";
  ASSERT_NE(nullptr, view.last_record("config"));
  EXPECT_EQ("input_window flash", *view.last_record("config")) << "the command line is pointed out";
  EXPECT_NE(std::string::npos, view.text.find("\x1b[1m\x1b[36mTown Square")) << "coloured room text";
  ASSERT_NE(nullptr, view.last_record("hp"));
  EXPECT_EQ("120 150 30 40 88 100", *view.last_record("hp"));
  ASSERT_NE(nullptr, view.last_record("dirs"));
  EXPECT_EQ("on CV", *view.last_record("dirs")) << "north, east, south and west";
  ASSERT_NE(nullptr, view.last_record("skystate"));
  EXPECT_EQ(0u, view.last_record("skystate")->find("110 10 "));
  const std::string *map = view.last_record("map");
  ASSERT_NE(nullptr, map);
  ASSERT_EQ(1u + 12 * 12 + 11 * 13 + 2 * 12 * 13 + 11 * 45, map->size());
  EXPECT_EQ('@', (*map)[0]) << "no scroll on the first look";
  // The player's room sits in the middle of the room section.
  size_t rooms = 1 + 12 * 12 + 11 * 13 + 2 * 12 * 13;
  EXPECT_EQ("JC", map->substr(rooms + 5 * 45 + 5 * 4, 2)) << "terrain 10, road and star marks";

  view.text.clear();
  ASSERT_TRUE(write_all(s, "north\n"));
  ASSERT_TRUE(read_until(s, demux, [&] { return view.text.find("Exits:") != std::string::npos; }));
  EXPECT_NE(std::string::npos, view.text.find("North Road"));
  EXPECT_EQ('A', (*view.last_record("map"))[0]) << "the map scrolls in from the north";

  view.text.clear();
  ASSERT_TRUE(write_all(s, "say hi; there\n"));
  ASSERT_TRUE(read_until(s, demux, [&] { return view.text.find("You say") != std::string::npos; }));
  EXPECT_NE(std::string::npos, view.text.find("You say, 'hi; there'")) << "';' reaches the client as text";

  ASSERT_TRUE(write_all(s, "mcping\n"));
  ASSERT_TRUE(read_until(s, demux, [&] { return view.last_record("event") != nullptr; }));
  EXPECT_EQ("mcpong", *view.last_record("event"));

  ASSERT_TRUE(write_all(s, "quit\n"));
  char buffer[4096];
  int n = 0;
  for (long long deadline = test_now_ms() + 10000; n >= 0 && test_now_ms() < deadline;) {
    n = s.blocking_read(buffer, sizeof(buffer), 100);
    if (n > 0)
      demux.process_socket_data(buffer, n);
  }
  EXPECT_EQ(-1, n);
  EXPECT_EQ(0, s.read_error) << "the server closes cleanly";
  EXPECT_NE(std::string::npos, view.text.find("Farewell, Thorin"));
}

TEST_F(DemoServerTest, DemoWorldIdentifiesNewClientsAndShowsThePanels)
{
  demo_server_harness server;
  ASSERT_TRUE(server.start_world()) << server.problem();
  vesk_tcp_socket s;
  connect(s, server.port());
  world_view view;
  vesk_stream_demux demux(&view);

  // A client with the default identifier it made for itself gets a real one.
  ASSERT_TRUE(write_all(s, "_mClient DFLT0123456789abcdef0123456789ab 1.096-mst-rc3\nthorin\nsecret\n"));
  ASSERT_TRUE(read_until(s, demux, [&] { return view.text.find("Exits:") != std::string::npos; }));
  const std::string *uuid = view.last_record("uuid");
  ASSERT_NE(nullptr, uuid);
  EXPECT_EQ(32u, uuid->size());
  EXPECT_EQ(std::string::npos, uuid->find_first_not_of("0123456789abcdef")) << *uuid;

  struct step {
    const char *command;
    const char *record;
    const char *payload;
  };
  const step steps[] = {
      {"show map", "config", "automap flash"},
      {"show bars", "config", "status_bar flash"},
      {"west", "map", nullptr},
      {"up", "map", nullptr},
      {"ring", "event", "colorflash ffd700 000000 25"},
      {"down", "map", nullptr},
      {"east", "map", nullptr},
      {"east", "map", nullptr},
      {"north", "config", "exp_bar enable"},
      {"south", "areaname", "Ombrith Village"},
  };
  for (const step &st : steps) {
    SCOPED_TRACE(st.command);
    size_t seen = view.records.size();
    ASSERT_TRUE(write_all(s, std::string(st.command) + "\n"));
    ASSERT_TRUE(read_until(s, demux, [&] {
      for (size_t i = seen; i < view.records.size(); ++i)
        if (view.records[i].first == st.record && (!st.payload || view.records[i].second == st.payload))
          return true;
      return false;
    }));
  }
  EXPECT_NE(std::string::npos, view.text.find("Adventurers' Guild"));
  s.disconnect_close();
}
