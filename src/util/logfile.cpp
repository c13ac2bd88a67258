#include "util/logfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "app/debug_log.h"

int vesk_signal_safe_logfile::open(const char *path)
{
  close();
  fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd > 0)
    return 1;
  if (fd == 0) {
    // Descriptor 0 is standard input's slot; refuse it like a failed open.
    ::close(fd);
  }
  fd = -1;
  return 0;
}

int vesk_signal_safe_logfile::use_stdout_fd()
{
  close();
  fd = ::dup(1);
  return fd >= 0 ? 1 : 0;
}

void vesk_signal_safe_logfile::close()
{
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

int vesk_signal_safe_logfile::write(const char *text)
{
  if (recursion_count > 25)
    return 0;
  if (recursion_count == 25) {
    // Hold the count above the limit so every write this report causes stops at once.
    recursion_count = 26;
    library_code_notify("Error in vesk_signal_safe_logfile::write(), recursion limiter triggered.", 2, 0);
    recursion_count = 25;
    return 0;
  }
  ++recursion_count;
  if (!text)
    text = "(null)";
  ssize_t written;
  do {
    written = ::write(fd, text, std::strlen(text));
  } while (written < 0 && errno == EINTR);  // a signal before any byte went out
  if (written < 0) {
    if (!write_failed) {
      library_code_notify("Error in vesk_signal_safe_logfile::write(), write failed.", 2, 0);
      write_failed = 1;
    }
    --recursion_count;
    return 0;
  }
  write_failed = 0;
  --recursion_count;
  return 1;
}
