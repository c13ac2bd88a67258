#include "config/safe_file_save.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

vesk_safe_file_save::vesk_safe_file_save(const char *path) : path(path ? path : ""), file(nullptr) {}

vesk_safe_file_save::~vesk_safe_file_save() { abandon(); }

void vesk_safe_file_save::fail(const char *what)
{
  error = what;
  error += ": ";
  error += std::strerror(errno);
}

FILE *vesk_safe_file_save::open()
{
  abandon();
  if (path.empty()) {
    errno = EINVAL;
    fail("no file name");
    return nullptr;
  }
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path = path + ".tmp." + std::to_string((long)getpid()) + "." + std::to_string(counter++);
    // Mode 0666 less the umask, as a plain fopen() would create the file.
    int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST)
        continue;
      fail("cannot create temporary file");
      temp_path.clear();
      return nullptr;
    }
    file = fdopen(fd, "w");
    if (!file) {
      fail("cannot open temporary file");
      ::close(fd);
      unlink(temp_path.c_str());
      temp_path.clear();
      return nullptr;
    }
    return file;
  }
  fail("cannot find a free temporary file name");
  temp_path.clear();
  return nullptr;
}

int vesk_safe_file_save::commit()
{
  if (!file) {
    errno = EBADF;
    fail("file not open");
    return 0;
  }
  bool ok = true;
  bool earlier_error = std::ferror(file) != 0;
  errno = 0;
  if (std::fflush(file) != 0 || earlier_error) {
    if (!errno)
      errno = EIO;
    fail("write failed");
    ok = false;
  } else if (fsync(fileno(file)) != 0) {
    fail("sync failed");
    ok = false;
  }
  int close_result = std::fclose(file);
  file = nullptr;
  if (ok && close_result != 0) {
    fail("close failed");
    ok = false;
  }
  if (ok && std::rename(temp_path.c_str(), path.c_str()) != 0) {
    fail("rename failed");
    ok = false;
  }
  if (!ok) {
    unlink(temp_path.c_str());
    temp_path.clear();
    return 0;
  }
  temp_path.clear();
  // Make the rename itself durable; a failure here loses nothing.
  std::string dir = path;
  size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : dir.substr(0, slash));
  int dir_fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    fsync(dir_fd);
    ::close(dir_fd);
  }
  return 1;
}

void vesk_safe_file_save::abandon()
{
  if (file) {
    std::fclose(file);
    file = nullptr;
  }
  if (!temp_path.empty()) {
    unlink(temp_path.c_str());
    temp_path.clear();
  }
}
