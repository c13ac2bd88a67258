#include "demo_server_harness.h"

#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../../tools/demo_server/script_protocol.h"

extern char **environ;

static long long now_ms()
{
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

demo_server_harness::demo_server_harness() : pid_(-1), script_(true), to_server_(-1), from_server_(-1), port_(0) {}

demo_server_harness::~demo_server_harness() { stop(5000); }

void demo_server_harness::fail(const std::string &why) const { problem_ = why; }

std::string demo_server_harness::problem() const
{
  std::string text = problem_ + "\nserver events so far:";
  for (const event &e : events_)
    text += "\n  " + e.kind + (e.argument.empty() ? "" : " " + e.argument) + (e.taken ? "" : "  (not taken)");
  return text;
}

bool demo_server_harness::start_binary(const std::string &binary, int timeout_ms, bool script)
{
  if (pid_ > 0) {
    fail("already started");
    return false;
  }
  // A server that dies must not kill the test with a broken-pipe signal.
  std::signal(SIGPIPE, SIG_IGN);
  int in_pipe[2], out_pipe[2];
  if (pipe2(in_pipe, O_CLOEXEC) != 0) {
    fail(std::string("pipe: ") + strerror(errno));
    return false;
  }
  if (pipe2(out_pipe, O_CLOEXEC) != 0) {
    fail(std::string("pipe: ") + strerror(errno));
    close(in_pipe[0]);
    close(in_pipe[1]);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_pipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  std::string path = binary;
  char arg_port[] = "--port", arg_zero[] = "0", arg_script[] = "--script";
  char *argv[] = {&path[0], arg_port, arg_zero, script ? arg_script : nullptr, nullptr};
  pid_t child = -1;
  int rc = posix_spawn(&child, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in_pipe[0]);
  close(out_pipe[1]);
  if (rc != 0) {
    close(in_pipe[1]);
    close(out_pipe[0]);
    fail("cannot start " + binary + ": " + strerror(rc));
    return false;
  }
  pid_ = child;
  script_ = script;
  to_server_ = in_pipe[1];
  from_server_ = out_pipe[0];
  std::string argument;
  if (!wait_event("listening", &argument, timeout_ms))
    return false;
  port_ = std::atoi(argument.c_str());
  if (port_ <= 0) {
    fail("bad listening event: " + argument);
    return false;
  }
  return true;
}

bool demo_server_harness::stop(int timeout_ms)
{
  if (pid_ <= 0)
    return true;
  if (script_)
    command("quit");
  else
    kill(pid_, SIGTERM);
  if (to_server_ >= 0) {
    close(to_server_);
    to_server_ = -1;
  }
  long long deadline = now_ms() + timeout_ms;
  bool ended_by_itself = false;
  for (;;) {
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_ || (r < 0 && errno != EINTR)) {
      ended_by_itself = r == pid_;
      break;
    }
    if (now_ms() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    // Reading the events also waits (up to 50 ms) for the server to end.
    pump(50);
  }
  pid_ = -1;
  if (from_server_ >= 0) {
    close(from_server_);
    from_server_ = -1;
  }
  return ended_by_itself;
}

// Reads what the server wrote, waiting up to timeout_ms for something to
// arrive. False when the server's output has ended.
bool demo_server_harness::pump(int timeout_ms)
{
  if (from_server_ < 0)
    return false;
  struct pollfd p = {from_server_, POLLIN, 0};
  int n = poll(&p, 1, timeout_ms < 0 ? 0 : timeout_ms);
  if (n <= 0)
    return n == 0 || errno == EINTR;
  char buffer[65536];
  ssize_t got = read(from_server_, buffer, sizeof(buffer));
  if (got < 0)
    return errno == EINTR || errno == EAGAIN;
  if (got == 0) {
    close(from_server_);
    from_server_ = -1;
    return false;
  }
  partial_.append(buffer, (size_t)got);
  size_t start = 0;
  for (;;) {
    size_t end = partial_.find('\n', start);
    if (end == std::string::npos)
      break;
    std::string text = partial_.substr(start, end - start);
    start = end + 1;
    size_t space = text.find(' ');
    event e;
    e.kind = text.substr(0, space);
    e.argument = space == std::string::npos ? "" : text.substr(space + 1);
    e.taken = false;
    if (e.kind == "line") {
      std::string bytes;
      script_unescape(e.argument, &bytes);
      lines_.push_back(bytes);
    }
    events_.push_back(e);
  }
  partial_.erase(0, start);
  return true;
}

bool demo_server_harness::wait_event(const std::string &kind, std::string *argument, int timeout_ms)
{
  long long deadline = now_ms() + timeout_ms;
  size_t scanned = 0;
  for (;;) {
    for (; scanned < events_.size(); ++scanned) {
      event &e = events_[scanned];
      if (!e.taken && e.kind == kind) {
        e.taken = true;
        if (argument)
          *argument = e.argument;
        return true;
      }
    }
    long long left = deadline - now_ms();
    if (left <= 0) {
      fail("timed out waiting for the event '" + kind + "'");
      return false;
    }
    if (!pump((int)left) && from_server_ < 0) {
      fail("the server ended while waiting for the event '" + kind + "'");
      return false;
    }
  }
}

bool demo_server_harness::wait_line(std::string *line, int timeout_ms)
{
  std::string escaped;
  if (!wait_event("line", &escaped, timeout_ms))
    return false;
  if (line && !script_unescape(escaped, line)) {
    fail("bad escape in line event: " + escaped);
    return false;
  }
  return true;
}

bool demo_server_harness::wait_line_containing(const std::string &text, std::string *line, int timeout_ms)
{
  long long deadline = now_ms() + timeout_ms;
  for (;;) {
    long long left = deadline - now_ms();
    std::string got;
    if (left <= 0 || !wait_line(&got, (int)left)) {
      fail("no line containing '" + text + "' arrived");
      return false;
    }
    if (got.find(text) != std::string::npos) {
      if (line)
        *line = got;
      return true;
    }
  }
}

bool demo_server_harness::command(const std::string &line)
{
  if (to_server_ < 0) {
    fail("the server is not running");
    return false;
  }
  std::string text = line + "\n";
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(to_server_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      fail(std::string("cannot write to the server: ") + strerror(errno));
      return false;
    }
    done += (size_t)n;
  }
  return true;
}

bool demo_server_harness::send(const std::string &bytes, int timeout_ms)
{
  if (!command("send " + script_escape(bytes)))
    return false;
  long long deadline = now_ms() + timeout_ms;
  for (;;) {
    std::string argument;
    long long left = deadline - now_ms();
    if (left <= 0 || !wait_event("sent", &argument, (int)left)) {
      fail("the server did not confirm sending " + std::to_string(bytes.size()) + " bytes");
      return false;
    }
    if (argument == std::to_string(bytes.size()))
      return true;
  }
}

bool demo_server_harness::send_record(const std::string &name, const std::string &data, int timeout_ms)
{
  return send(";s" + name + ";" + data + ";e" + name + ";", timeout_ms);
}

bool demo_server_harness::send_record(const std::string &name, int timeout_ms)
{
  return send(";t" + name + ";", timeout_ms);
}

bool demo_server_harness::close_connection(int timeout_ms)
{
  return command("close") && wait_disconnected(timeout_ms);
}

bool demo_server_harness::abort_connection(int timeout_ms)
{
  return command("abort") && wait_disconnected(timeout_ms);
}

bool demo_server_harness::start_flood(unsigned long long n) { return command("flood " + std::to_string(n)); }

std::string demo_server_harness::flood_bytes(unsigned long long n) { return flood_text(0, (size_t)n); }
