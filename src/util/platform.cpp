#include "util/platform.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "app/debug_log.h"

extern char **environ;

int fget_line(FILE *file, char *area, int size)
{
  if (!file)
    return 0;
  int c = fgetc(file);
  if (c == EOF)
    return 0;
  int stored = 0;
  while (c != EOF && c != 0 && c != '\n' && c != '\r') {
    if (stored < size - 1)
      area[stored++] = (char)c;
    c = fgetc(file);
  }
  if (size > 0)
    area[stored] = 0;
  if (stored == size - 1) {
    library_code_notify("Warning in fget_line(), string overflow.  String was:", 2, 0);
    library_code_notify(area, 2, 0);
  }
  return stored + 1;
}

int vesk_recursive_mkdir(const char *path, int mode, Buffer *err)
{
  if (!path) {
    library_code_notify("Error in vesk_recursive_mkdir(), NULL path.", 4, 0);
    return 0;
  }
  Buffer work;
  const char *p = path;
  if (*p == '/' || *p == '\\') {
    work.append("/");
    ++p;
  }
  for (;;) {
    Buffer component;
    while (*p && *p != '/' && *p != '\\') {
      component.append_char(*p);
      ++p;
    }
    if (!*p)
      return 1;  // a last component without a separator is not created
    ++p;        // the separator
    if (component.length == 0)
      continue;
    work.append(component.text);
    if (mkdir(work.text, (mode_t)mode) != 0 && errno != EEXIST) {
      if (err)
        err->append(work.text);
      return 0;
    }
    work.append("/");
  }
}

int vesk_create_and_check_writeable_directory(const char *dir, int /*mode*/, Buffer *err)
{
  if (!dir) {
    library_code_notify("Error in vesk_create_and_check_writeable_directory(), NULL path.", 4, 0);
    return 0;
  }
  Buffer work;
  if (*dir) {
    work.append(dir);
    work.append("/");
    if (!vesk_recursive_mkdir(work.text, 0700, err))
      return 0;
  }
  work.append("xx-rw-test.qqq");
  // A leftover test file is removed first and the new one is created
  // exclusively, never through a symbolic link: a link planted under that name
  // in a shared directory must not make the check truncate its target.
  unlink(work.text);
  int fd = open(work.text, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (err)
      err->append(work.text);
    return 0;
  }
  close(fd);
  unlink(work.text);
  return 1;
}

int vesk_try_get_file_lock(const char *path)
{
  if (!path)
    return -1;
  int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0)
    return -1;
  if (lockf(fd, F_TLOCK, 0) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int vesk_release_file_lock(int fd)
{
  if (fd < 0)
    return 0;
  int ok = lseek(fd, 0, SEEK_SET) == 0 && lockf(fd, F_ULOCK, 0) == 0;
  close(fd);
  return ok ? 1 : 0;
}

int vesk_filename_is_regular_file(const char *path)
{
  struct stat st;
  if (!path || stat(path, &st) != 0)
    return 0;
  return S_ISREG(st.st_mode) ? 1 : 0;
}

static void report_http_fork_failure(int error)
{
  char msg[64];
  snprintf(msg, sizeof(msg), "vesk_http_fork() failed with errno %d.", error);
  library_code_notify(msg, 2, 0);
}

int vesk_http_fork(const char *url)
{
  if (!url) {
    library_code_notify("Error in vesk_http_fork(), NULL url.", 4, 0);
    return 0;
  }
  // The URL is handed to the desktop's opener as its only argument, without a
  // shell, so no character in it can run anything else. A URL longer than the
  // system allows for one argument fails here with E2BIG and is reported.
  char opener[] = "xdg-open";
  char *argv[] = {opener, const_cast<char *>(url), nullptr};

  // The client ignores broken pipes; the opener and the browser it starts get
  // the default handling and an empty signal mask.
  posix_spawnattr_t attr;
  int rc = posix_spawnattr_init(&attr);
  if (rc != 0) {
    report_http_fork_failure(rc);
    return 0;
  }
  sigset_t defaults, empty;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigemptyset(&empty);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setsigmask(&attr, &empty);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid;
  rc = posix_spawnp(&pid, opener, nullptr, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    report_http_fork_failure(rc);
    return 0;
  }
  int status = 0;
  pid_t w;
  do {
    w = waitpid(pid, &status, 0);
  } while (w < 0 && errno == EINTR);
  if (w < 0) {
    // With SIGCHLD ignored the child is reaped by the system: nothing to collect.
    if (errno == ECHILD)
      return 1;
    report_http_fork_failure(errno);
    return 0;
  }
  return WIFSIGNALED(status) ? 0 : 1;
}

namespace {
struct thread_start_record {
  int (*function)(void *);
  void *argument;
  char name[16];  // system thread names hold 15 characters
};

void *thread_trampoline(void *p)
{
  thread_start_record *record = static_cast<thread_start_record *>(p);
  // Named from inside: the creator may not touch a detached thread's handle,
  // which is gone as soon as the thread ends.
  if (record->name[0])
    pthread_setname_np(pthread_self(), record->name);
  record->function(record->argument);
  delete record;
  return nullptr;
}
} // namespace

int vesk_thread_create(const char *name, int (*function)(void *), void *argument)
{
  thread_start_record *record = new (std::nothrow) thread_start_record{function, argument, {0}};
  bool started = false;
  if (record) {
    if (name)
      snprintf(record->name, sizeof(record->name), "%s", name);
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) == 0) {
      pthread_t thread;
      pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
      started = pthread_create(&thread, &attr, thread_trampoline, record) == 0;
      pthread_attr_destroy(&attr);
    }
  }
  if (!started) {
    delete record;
    library_code_notify("Error in vesk_thread_create(), thread create failed?", 1, 0);
    return 0;
  }
  return 1;
}

void vesk_sleep_ms(int ms)
{
  if (ms < 0)
    ms = 0;
  struct timespec ts;
  ts.tv_sec = ms / 1000;
  ts.tv_nsec = (long)(ms % 1000) * 1000000L;
  nanosleep(&ts, nullptr);
}

int64_t vesk_gettimeofday_useconds()
{
  struct timeval tv;
  if (gettimeofday(&tv, nullptr) != 0) {
    library_code_notify("Error in vesk_gettimeofday_useconds(), syscall failed.", 4, 0);
    return 0;
  }
  return (int64_t)tv.tv_sec * 1000000 + tv.tv_usec;
}

int vesk_calc_angle(int dx, int dy)
{
  if (dx == 0 && dy == 0)
    return 90;
  double ratio = std::fabs((double)dy / ((double)dx + 0.001));
  int b = (int)std::floor(std::atan(ratio) * 360.0 / 6.2832 + 0.5);
  int angle;
  if (dx >= 0)
    angle = dy >= 0 ? b : -b;
  else
    angle = dy < 0 ? b - 180 : 180 - b;
  while (angle < 0)
    angle += 360;
  while (angle > 360)
    angle -= 360;
  return angle;
}

void *vesk_bulk_allocate(int object_size, const char *type_name, int block_bytes)
{
  int size = (object_size + 7) & ~7;
  if (size < 8)
    size = 8;
  int count = block_bytes / size;
  if (count < 1)
    count = 1;
  int bytes = count * size;
  const char *name = type_name ? type_name : "(null)";
  char msg[512];
  snprintf(msg, sizeof(msg), "Allocating %6d objects of size %6d (%9d bytes), type '%s'", count, size, bytes,
           name);
  library_code_notify(msg, 0x100, 0);
  char *block = static_cast<char *>(std::malloc((size_t)bytes));
  if (!block) {
    snprintf(msg, sizeof(msg),
             "Error in vesk_bulk_allocate(), malloc failed for %6d objects of size %6d (%9d bytes), type '%s'.  "
             "Trying single object.",
             count, size, bytes, name);
    library_code_notify(msg, 1, 0);
    count = 1;
    bytes = size;
    block = static_cast<char *>(std::malloc((size_t)bytes));
    if (!block) {
      snprintf(msg, sizeof(msg),
               "Error in vesk_bulk_allocate(), malloc failed for %6d objects of size %6d (%9d bytes), type '%s'.  "
               "Failing and exiting.",
               1, size, size, name);
      library_code_notify(msg, 1, 0);
      std::exit(1);
    }
  }
  for (int i = 0; i < count; ++i) {
    char *object = block + (size_t)i * size;
    *reinterpret_cast<void **>(object) = (i + 1 < count) ? block + (size_t)(i + 1) * size : nullptr;
  }
  return block;
}

void vesk_memory_pool_base::bulk_allocate() { free_list = vesk_bulk_allocate(object_size, type_name, block_bytes); }
