// Script mode (ombrith-demo-server --script): a test drives the server
// through its standard input and reads what happened from its standard
// output, one line per item, so it can wait for events instead of sleeping.
//
// Events (standard output, each line flushed at once):
//   listening <port>      ready for connections (always the first line)
//   connected             a client finished the TLS handshake
//   line <escaped>        the client sent a line (its newline removed)
//   sent <n>              the n bytes of a "send" are written to the connection
//   flooded <n>           a flood is written completely
//   partial <escaped>     bytes without a final newline, when the connection ends
//   disconnected          the connection ended, whichever side ended it
//   handshake-failed <text>  a client connected but the TLS handshake failed
//   error <text>          a command could not be carried out
//   bye                   answer to "quit", just before the server exits
// Commands (standard input, one per line):
//   send <escaped>        send these bytes to the client
//   flood <n>             send n bytes of coloured text as fast as the client reads
//   close                 write what is pending, end TLS cleanly, close
//   abort                 drop the connection at once (TCP reset, no TLS close)
//   quit                  exit; the end of standard input does the same
// Escapes (script_protocol.h): \\ \n \r \t \e (escape, 27) and \xHH; every other
// byte from 0x20 to 0x7e stands for itself.
// One client at a time: a second client waits until the first is gone. The
// events of one connection come in the order they happened.
#include "script_mode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "script_protocol.h"

namespace {

void emit(const std::string &event)
{
  std::fwrite(event.data(), 1, event.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

class script_handler : public demo_server_handler {
public:
  explicit script_handler(demo_tls_server &server) : server(server) {}

  void on_connected(demo_client &client) override
  {
    current = &client;
    queued = 0;
    waits.clear();
    flood_total = flood_queued = 0;
    flooding = false;
    emit("connected");
  }

  void on_line(demo_client &, const std::string &line) override { emit("line " + script_escape(line)); }

  void on_disconnected(demo_client &client) override
  {
    if (!client.partial.empty())
      emit("partial " + script_escape(client.partial));
    emit("disconnected");
    if (current == &client)
      current = nullptr;
    waits.clear();
    flooding = false;
  }

  void on_handshake_failed(demo_client &, const std::string &reason) override
  {
    emit("handshake-failed " + reason);
  }

  void on_output_progress(demo_client &client) override
  {
    if (&client != current)
      return;
    if (flooding && flood_queued < flood_total && client.pending() < (256u << 10)) {
      size_t n = (size_t)std::min<unsigned long long>(flood_total - flood_queued, 64u << 10);
      server.send(client, flood_text(flood_queued, n));
      flood_queued += n;
      queued += n;
      if (flood_queued == flood_total)
        waits.push_back({queued, "flooded " + std::to_string(flood_total)});
    }
    unsigned long long written = queued - client.pending();
    while (!waits.empty() && waits.front().target <= written) {
      emit(waits.front().event);
      waits.pop_front();
    }
    if (flooding && flood_queued == flood_total && waits.empty())
      flooding = false;
  }

  void on_input_line(const std::string &line) override
  {
    size_t space = line.find(' ');
    std::string verb = line.substr(0, space);
    std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (verb.empty())
      return;
    if (verb == "quit") {
      emit("bye");
      server.stop();
      return;
    }
    if (verb != "send" && verb != "flood" && verb != "close" && verb != "abort") {
      emit("error unknown command " + verb);
      return;
    }
    if (!current) {
      emit("error no client connected");
      return;
    }
    if (verb == "send") {
      std::string bytes, problem;
      if (!script_unescape(rest, &bytes, &problem)) {
        emit("error bad escape: " + problem);
        return;
      }
      server.send(*current, bytes);
      queued += bytes.size();
      waits.push_back({queued, "sent " + std::to_string(bytes.size())});
    } else if (verb == "flood") {
      char *end = nullptr;
      unsigned long long n = std::strtoull(rest.c_str(), &end, 10);
      if (rest.empty() || !end || *end || flooding) {
        emit(flooding ? "error a flood is already running" : "error flood needs a byte count");
        return;
      }
      flooding = true;
      flood_total = n;
      flood_queued = 0;
      if (n == 0)
        waits.push_back({queued, "flooded 0"});
    } else if (verb == "close") {
      server.close_client(*current);
    } else {
      server.abort_client(*current);
    }
  }

  void on_input_end() override { server.stop(); }

private:
  struct wait_for_written {
    unsigned long long target; // total bytes queued when the event is due
    std::string event;
  };

  demo_tls_server &server;
  demo_client *current = nullptr;
  unsigned long long queued = 0; // bytes queued on the current connection so far
  std::deque<wait_for_written> waits;
  bool flooding = false;
  unsigned long long flood_total = 0;
  unsigned long long flood_queued = 0;
};

} // namespace

int run_script_mode(demo_tls_server &server)
{
  script_handler handler(server);
  server.one_client_at_a_time = true;
  server.watch_input = true;
  emit("listening " + std::to_string(server.port()));
  server.run(handler);
  return 0;
}
