#include "process_util.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "test_support.h"

extern char **environ;

const char *const ENV_UNSET = "\x01unset";

child_process::child_process(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env,
                             const std::string &output_dir)
{
  out_path_ = output_dir + "/child-stdout.txt";
  err_path_ = output_dir + "/child-stderr.txt";

  std::map<std::string, std::string> merged;
  for (char **e = environ; *e; ++e) {
    const char *eq = std::strchr(*e, '=');
    if (eq)
      merged[std::string(*e, eq - *e)] = eq + 1;
  }
  for (const auto &kv : env) {
    if (kv.second == ENV_UNSET)
      merged.erase(kv.first);
    else
      merged[kv.first] = kv.second;
  }
  std::vector<std::string> env_strings;
  for (const auto &kv : merged)
    env_strings.push_back(kv.first + "=" + kv.second);

  std::vector<char *> cargv, cenv;
  for (const auto &a : argv)
    cargv.push_back(const_cast<char *>(a.c_str()));
  cargv.push_back(nullptr);
  for (auto &e : env_strings)
    cenv.push_back(&e[0]);
  cenv.push_back(nullptr);

  pid_ = fork();
  if (pid_ == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execve(cargv[0], cargv.data(), cenv.data());
    _exit(127);
  }
}

child_process::~child_process()
{
  if (pid_ > 0 && !reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool child_process::running()
{
  if (pid_ <= 0 || reaped_)
    return false;
  int status;
  pid_t r = waitpid(pid_, &status, WNOHANG);
  if (r == pid_) {
    reaped_ = true;
    if (WIFEXITED(status))
      exit_status_ = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
      term_signal_ = WTERMSIG(status);
    return false;
  }
  return true;
}

bool child_process::wait_exit(double seconds)
{
  return wait_until([this] { return !running(); }, seconds);
}

void child_process::signal(int sig)
{
  if (pid_ > 0 && !reaped_)
    kill(pid_, sig);
}

std::string child_process::stdout_text() const { return read_file(out_path_); }
std::string child_process::stderr_text() const { return read_file(err_path_); }

bool wait_until(const std::function<bool()> &condition, double seconds)
{
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (condition())
      return true;
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string run_capture(const std::string &command)
{
  std::string result;
  FILE *p = popen(command.c_str(), "r");
  if (!p)
    return result;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
    result.append(buf, n);
  pclose(p);
  return result;
}
