// Starting the client (or any program) as a child process in tests, with its
// own environment, and waiting for it with deadlines.
#ifndef OMBRITH_TEST_PROCESS_UTIL_H
#define OMBRITH_TEST_PROCESS_UTIL_H

#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

class child_process {
public:
  // Starts `argv` with the current environment changed by `env` (a value of
  // nullptr-equivalent "\x01unset" removes the variable). Standard output and
  // error go to files inside `output_dir`.
  child_process(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env,
                const std::string &output_dir);
  ~child_process();
  child_process(const child_process &) = delete;
  child_process &operator=(const child_process &) = delete;

  pid_t pid() const { return pid_; }
  bool running();
  // Waits until the process ends or the deadline passes; true if it ended.
  bool wait_exit(double seconds);
  // Exit status (valid after wait_exit returned true); -1 if killed by a signal.
  int exit_status() const { return exit_status_; }
  int term_signal() const { return term_signal_; }
  void signal(int sig);
  std::string stdout_text() const;
  std::string stderr_text() const;

private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int exit_status_ = -1;
  int term_signal_ = 0;
  std::string out_path_, err_path_;
};

extern const char *const ENV_UNSET;

// Polls `condition` every few milliseconds until it holds or `seconds` pass.
bool wait_until(const std::function<bool()> &condition, double seconds);

// Runs a shell command line and returns its standard output.
std::string run_capture(const std::string &command);

#endif
