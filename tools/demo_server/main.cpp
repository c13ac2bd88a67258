// ombrith-demo-server: a small local TLS game server for the Ombrith client,
// with a demo world for newcomers and a script mode for tests.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "script_mode.h"
#include "tls_server.h"
#include "world.h"

static void usage(FILE *to)
{
  std::fprintf(to,
               "usage: ombrith-demo-server [--port N] [--script]\n"
               "  --port N   listen on 127.0.0.1 port N (default 3102; 0 picks a free port)\n"
               "  --script   script mode for tests: commands on standard input, events on\n"
               "             standard output (see tools/demo_server/README.md)\n"
               "The first line on standard output is 'listening <port>'.\n");
}

int main(int argc, char **argv)
{
  int port = 3102;
  bool script = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--port") && i + 1 < argc) {
      char *end = nullptr;
      long value = std::strtol(argv[++i], &end, 10);
      if (!end || *end || value < 0 || value > 65535) {
        std::fprintf(stderr, "ombrith-demo-server: bad port '%s'\n", argv[i]);
        return 2;
      }
      port = (int)value;
    } else if (!std::strcmp(argv[i], "--script")) {
      script = true;
    } else if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      usage(stdout);
      return 0;
    } else {
      std::fprintf(stderr, "ombrith-demo-server: unknown argument '%s'\n", argv[i]);
      usage(stderr);
      return 2;
    }
  }

  std::signal(SIGPIPE, SIG_IGN);
  demo_tls_server server;
  std::string error;
  if (!server.open(port, &error)) {
    std::fprintf(stderr, "ombrith-demo-server: %s\n", error.c_str());
    return 1;
  }
  if (script)
    return run_script_mode(server);

  std::printf("listening %d\n", server.port());
  std::fflush(stdout);
  std::fprintf(stderr, "ombrith-demo-server: demo world on 127.0.0.1 port %d (TLS, self-signed certificate)\n",
               server.port());
  demo_world world(server);
  server.run(world);
  return 0;
}
