// Runs ombrith-demo-server in its script mode as a child process, so a test
// can decide what the server sends and read back every line the client sent.
// Every wait has a deadline; nothing sleeps for a fixed time.
//
//   demo_server_harness server;
//   ASSERT_TRUE(server.start()) << server.problem();
//   ... point a client at 127.0.0.1:server.port() ...
//   ASSERT_TRUE(server.wait_connected());
//   std::string line;
//   ASSERT_TRUE(server.wait_line(&line));       // first line the client sent
//   ASSERT_TRUE(server.send("\x1b[31mred\x1b[0m\r\n"));
//   ASSERT_TRUE(server.send_record("hp", "1 2 3 4 5 6"));
//   ASSERT_TRUE(server.close_connection());    // clean TLS close, waits for "disconnected"
//
// Events of different kinds are queued separately: waiting for "connected"
// does not throw away lines that arrived before it, and wait_line returns
// the received lines one by one in order.
#ifndef OMBRITH_TEST_DEMO_SERVER_HARNESS_H
#define OMBRITH_TEST_DEMO_SERVER_HARNESS_H

#include <string>
#include <sys/types.h>
#include <vector>

class demo_server_harness {
public:
  enum { default_timeout_ms = 15000 };

  demo_server_harness();
  // Asks the server to quit and waits for it (kills it if it does not go).
  ~demo_server_harness();
  demo_server_harness(const demo_server_harness &) = delete;
  demo_server_harness &operator=(const demo_server_harness &) = delete;

  // Starts the given server binary on a free loopback port and waits for
  // its "listening" event: in script mode, or (script false) with the demo
  // world, which takes no commands.
  bool start_binary(const std::string &binary, int timeout_ms = default_timeout_ms, bool script = true);
#ifdef OMBRITH_DEMO_SERVER_BINARY
  bool start(int timeout_ms = default_timeout_ms) { return start_binary(OMBRITH_DEMO_SERVER_BINARY, timeout_ms); }
  bool start_world(int timeout_ms = default_timeout_ms)
  {
    return start_binary(OMBRITH_DEMO_SERVER_BINARY, timeout_ms, false);
  }
#endif
  // Ends the server ("quit" in script mode, a termination signal otherwise)
  // and waits for it; true if it ended by itself.
  bool stop(int timeout_ms = default_timeout_ms);

  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  // Why the last call failed, plus everything the server reported so far.
  std::string problem() const;

  // The next not yet taken event of this kind ("connected", "line", "sent",
  // "flooded", "partial", "disconnected", "handshake-failed", "error"); its
  // text after the kind goes to *argument.
  bool wait_event(const std::string &kind, std::string *argument = nullptr, int timeout_ms = default_timeout_ms);
  bool wait_connected(int timeout_ms = default_timeout_ms) { return wait_event("connected", nullptr, timeout_ms); }
  bool wait_disconnected(int timeout_ms = default_timeout_ms)
  {
    return wait_event("disconnected", nullptr, timeout_ms);
  }
  // The next line the client sent, bytes exactly as received (newline removed).
  bool wait_line(std::string *line, int timeout_ms = default_timeout_ms);
  // Takes lines until one contains `text`; that line goes to *line.
  bool wait_line_containing(const std::string &text, std::string *line = nullptr,
                            int timeout_ms = default_timeout_ms);
  // Every line received so far, taken or not.
  const std::vector<std::string> &lines() const { return lines_; }

  // Sends raw bytes to the client and waits until they are written out.
  bool send(const std::string &bytes, int timeout_ms = default_timeout_ms);
  // A record with data (";s name ; data ;e name ;") or without (";t name ;").
  bool send_record(const std::string &name, const std::string &data, int timeout_ms = default_timeout_ms);
  bool send_record(const std::string &name, int timeout_ms = default_timeout_ms);
  // Clean TLS close by the server; waits for "disconnected".
  bool close_connection(int timeout_ms = default_timeout_ms);
  // TCP reset without a TLS close; waits for "disconnected".
  bool abort_connection(int timeout_ms = default_timeout_ms);
  // Starts sending n bytes of coloured text as fast as the client reads; wait
  // for the end with wait_event("flooded").
  bool start_flood(unsigned long long n);
  // The exact bytes a flood of n bytes consists of.
  static std::string flood_bytes(unsigned long long n);
  // Sends one raw command line to the server.
  bool command(const std::string &line);

private:
  bool pump(int timeout_ms);
  void fail(const std::string &why) const;

  struct event {
    std::string kind;
    std::string argument;
    bool taken;
  };

  pid_t pid_;
  bool script_;
  int to_server_;
  int from_server_;
  int port_;
  std::string partial_;
  std::vector<event> events_;
  std::vector<std::string> lines_;
  mutable std::string problem_;
};

#endif
