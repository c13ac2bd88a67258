// A log file held as a bare descriptor: writing allocates nothing and uses one
// system call per text, so any thread (or a signal handler) may log.
#ifndef OMBRITH_UTIL_LOGFILE_H
#define OMBRITH_UTIL_LOGFILE_H

class vesk_signal_safe_logfile {
public:
  vesk_signal_safe_logfile() : fd(-1), recursion_count(0), write_failed(0) {}
  ~vesk_signal_safe_logfile() { close(); }
  vesk_signal_safe_logfile(const vesk_signal_safe_logfile &) = delete;
  vesk_signal_safe_logfile &operator=(const vesk_signal_safe_logfile &) = delete;

  int open(const char *path);
  int use_stdout_fd();
  int write(const char *text);
  void close();

  int fd;
  int recursion_count;
  int write_failed;
};

#endif
