// Line reading, directories, lock files, URL opening, threads, the clock,
// the angle function and the bulk allocator.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "test_support.h"
#include "util/platform.h"


namespace {
bool is_dir(const std::string &path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool exists(const std::string &path)
{
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// Runs the body with the working directory set to `dir`, restoring it after.
class working_directory {
public:
  explicit working_directory(const std::string &dir)
  {
    if (!getcwd(old_, sizeof(old_)))
      old_[0] = 0;
    EXPECT_EQ(chdir(dir.c_str()), 0);
  }
  ~working_directory()
  {
    if (old_[0] && chdir(old_) != 0)
      ADD_FAILURE() << "cannot return to " << old_;
  }

private:
  char old_[4096];
};

// Sets an environment variable for the life of the object.
class scoped_env {
public:
  scoped_env(const char *name, const std::string &value) : name_(name)
  {
    const char *old = std::getenv(name);
    had_ = old != nullptr;
    if (had_)
      old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~scoped_env()
  {
    if (had_)
      setenv(name_, old_.c_str(), 1);
    else
      unsetenv(name_);
  }

private:
  const char *name_;
  bool had_;
  std::string old_;
};

FILE *file_with(const std::string &content)
{
  FILE *f = tmpfile();
  std::fwrite(content.data(), 1, content.size(), f);
  std::rewind(f);
  return f;
}
} // namespace

TEST(FgetLine, OverflowWarnsAndDropsTheRestOfTheLine)
{
  log_capture log(1);
  FILE *f = file_with("123456789\nabcdefghijKLMNOPQRST\nnext\n");
  char area[10];
  EXPECT_EQ(fget_line(f, area, 10), 10);
  EXPECT_STREQ(area, "123456789");
  EXPECT_EQ(fget_line(f, area, 10), 10);
  EXPECT_STREQ(area, "abcdefghi");
  EXPECT_EQ(fget_line(f, area, 10), 5);
  EXPECT_STREQ(area, "next");
  EXPECT_EQ(fget_line(f, area, 10), 0);
  std::fclose(f);
  EXPECT_EQ(log.text(), "Warning in fget_line(), string overflow.  String was:\n123456789\n"
                        "Warning in fget_line(), string overflow.  String was:\nabcdefghi\n");
}

TEST(FgetLine, CarriageReturnLineFeedGivesAnEmptyLine)
{
  FILE *f = file_with("a\r\nb");
  char area[32];
  EXPECT_EQ(fget_line(f, area, sizeof(area)), 2);
  EXPECT_STREQ(area, "a");
  EXPECT_EQ(fget_line(f, area, sizeof(area)), 1);
  EXPECT_STREQ(area, "");
  EXPECT_EQ(fget_line(f, area, sizeof(area)), 2);
  EXPECT_STREQ(area, "b");
  std::strcpy(area, "unchanged");
  EXPECT_EQ(fget_line(f, area, sizeof(area)), 0);
  EXPECT_STREQ(area, "unchanged");
  std::fclose(f);

  // A NUL ends a line like a line feed.
  f = file_with(std::string("x\0y", 3));
  EXPECT_EQ(fget_line(f, area, sizeof(area)), 2);
  EXPECT_STREQ(area, "x");
  EXPECT_EQ(fget_line(f, area, sizeof(area)), 2);
  EXPECT_STREQ(area, "y");
  std::fclose(f);
}

TEST(RecursiveMkdir, CreatesOnlyComponentsFollowedByASeparator)
{
  temp_dir tmp;
  const std::string root = tmp.path();
  EXPECT_EQ(vesk_recursive_mkdir((root + "/a/b/c").c_str(), 0700, nullptr), 1);
  EXPECT_TRUE(is_dir(root + "/a/b"));
  EXPECT_FALSE(exists(root + "/a/b/c"));

  EXPECT_EQ(vesk_recursive_mkdir((root + "/a/b/c/").c_str(), 0700, nullptr), 1);
  EXPECT_TRUE(is_dir(root + "/a/b/c"));
  // Existing directories are not an error.
  EXPECT_EQ(vesk_recursive_mkdir((root + "/a/b/c/").c_str(), 0700, nullptr), 1);

  EXPECT_EQ(vesk_recursive_mkdir((root + "//x//y/").c_str(), 0700, nullptr), 1);
  EXPECT_TRUE(is_dir(root + "/x/y"));
  EXPECT_EQ(vesk_recursive_mkdir((root + "\\p\\q\\").c_str(), 0700, nullptr), 1);
  EXPECT_TRUE(is_dir(root + "/p/q"));

  {
    working_directory cd(root);
    EXPECT_EQ(vesk_recursive_mkdir("r/s/", 0700, nullptr), 1);
    EXPECT_EQ(vesk_recursive_mkdir("t\\\\u\\v", 0700, nullptr), 1);
  }
  EXPECT_TRUE(is_dir(root + "/r/s"));
  EXPECT_TRUE(is_dir(root + "/t/u"));
  EXPECT_FALSE(exists(root + "/t/u/v"));
}

TEST(RecursiveMkdir, FailingPathGoesToTheErrorBuffer)
{
  temp_dir tmp;
  write_file(tmp.file("plain"), "x");
  Buffer err("prefix:");
  // The file counts as an existing component; the directory under it fails.
  EXPECT_EQ(vesk_recursive_mkdir((tmp.path() + "/plain/sub/deeper/").c_str(), 0700, &err), 0);
  EXPECT_EQ(std::string(err.text), "prefix:" + tmp.path() + "/plain/sub");
  EXPECT_EQ(vesk_recursive_mkdir((tmp.path() + "/plain/sub/").c_str(), 0700, nullptr), 0);

  log_capture log(1);
  EXPECT_EQ(vesk_recursive_mkdir(nullptr, 0700, &err), 0);
  EXPECT_EQ(log.text(), "Error in vesk_recursive_mkdir(), NULL path.\n");
}

TEST(WriteableDirectory, CreatesAndChecksWithoutLeavingTheTestFile)
{
  temp_dir tmp;
  const std::string dir = tmp.path() + "/d/e";
  EXPECT_EQ(vesk_create_and_check_writeable_directory(dir.c_str(), 0, nullptr), 1);
  EXPECT_TRUE(is_dir(dir));
  EXPECT_FALSE(exists(dir + "/xx-rw-test.qqq"));
  // A trailing separator is fine too.
  EXPECT_EQ(vesk_create_and_check_writeable_directory((dir + "/").c_str(), 0, nullptr), 1);
  EXPECT_FALSE(exists(dir + "/xx-rw-test.qqq"));

  {
    working_directory cd(tmp.path());
    EXPECT_EQ(vesk_create_and_check_writeable_directory("", 0, nullptr), 1);
  }
  EXPECT_FALSE(exists(tmp.file("xx-rw-test.qqq")));

  // A link planted under the test file's name is removed, its target untouched.
  write_file(tmp.file("precious"), "keep me");
  ASSERT_EQ(symlink(tmp.file("precious").c_str(), (dir + "/xx-rw-test.qqq").c_str()), 0);
  EXPECT_EQ(vesk_create_and_check_writeable_directory(dir.c_str(), 0, nullptr), 1);
  EXPECT_EQ(read_file(tmp.file("precious")), "keep me");
  EXPECT_FALSE(exists(dir + "/xx-rw-test.qqq"));
}

TEST(WriteableDirectory, FailuresReportTheFailingPath)
{
  temp_dir tmp;
  // Tests may run as root, which no permission bit stops: use a regular file
  // where a directory should be, and a directory where the test file should be.
  write_file(tmp.file("plain"), "x");
  Buffer err;
  EXPECT_EQ(vesk_create_and_check_writeable_directory((tmp.path() + "/plain/x").c_str(), 0, &err), 0);
  EXPECT_EQ(std::string(err.text), tmp.path() + "/plain/x");

  ASSERT_EQ(mkdir(tmp.file("blocked").c_str(), 0700), 0);
  ASSERT_EQ(mkdir(tmp.file("blocked/xx-rw-test.qqq").c_str(), 0700), 0);
  Buffer err2;
  EXPECT_EQ(vesk_create_and_check_writeable_directory(tmp.file("blocked").c_str(), 0, &err2), 0);
  EXPECT_EQ(std::string(err2.text), tmp.path() + "/blocked/xx-rw-test.qqq");

  log_capture log(1);
  EXPECT_EQ(vesk_create_and_check_writeable_directory(nullptr, 0, nullptr), 0);
  EXPECT_EQ(log.text(), "Error in vesk_create_and_check_writeable_directory(), NULL path.\n");
}

// Exit status of a child process that tries to take the lock: 0 if it got it.
static int lock_attempt_in_child(const std::string &path)
{
  pid_t pid = fork();
  if (pid == 0)
    _exit(vesk_try_get_file_lock(path.c_str()) >= 0 ? 0 : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FileLock, SecondProcessWaitsForRelease)
{
  temp_dir tmp;
  const std::string path = tmp.file("download.lck");
  int fd = vesk_try_get_file_lock(path.c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(lock_attempt_in_child(path), 1);
  EXPECT_EQ(vesk_release_file_lock(fd), 1);
  EXPECT_EQ(lock_attempt_in_child(path), 0);
  EXPECT_TRUE(vesk_filename_is_regular_file(path.c_str()));  // the lock file stays

  EXPECT_EQ(vesk_release_file_lock(-1), 0);
  EXPECT_EQ(vesk_try_get_file_lock(tmp.file("no/such/dir/x.lck").c_str()), -1);
}

TEST(FileType, RegularFilesOnly)
{
  temp_dir tmp;
  write_file(tmp.file("f"), "x");
  ASSERT_EQ(symlink(tmp.file("f").c_str(), tmp.file("link").c_str()), 0);
  ASSERT_EQ(symlink(tmp.file("gone").c_str(), tmp.file("dangling").c_str()), 0);
  EXPECT_EQ(vesk_filename_is_regular_file(tmp.file("f").c_str()), 1);
  EXPECT_EQ(vesk_filename_is_regular_file(tmp.file("link").c_str()), 1);
  EXPECT_EQ(vesk_filename_is_regular_file(tmp.file("dangling").c_str()), 0);
  EXPECT_EQ(vesk_filename_is_regular_file(tmp.path().c_str()), 0);
  EXPECT_EQ(vesk_filename_is_regular_file(tmp.file("missing").c_str()), 0);
  EXPECT_EQ(vesk_filename_is_regular_file(nullptr), 0);
}

// A stand-in for the desktop's URL opener, first on PATH.
class UrlOpener : public ::testing::Test {
protected:
  void install_opener(const std::string &body)
  {
    ASSERT_EQ(mkdir(tmp.file("bin").c_str(), 0755), 0);
    std::string script = tmp.file("bin/xdg-open");
    write_file(script, "#!/bin/sh\n" + body);
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  }
  std::string path_with_opener() const
  {
    const char *old = std::getenv("PATH");
    return tmp.file("bin") + ":" + (old ? old : "/usr/bin:/bin");
  }
  temp_dir tmp;
};

TEST_F(UrlOpener, UrlArrivesAsOneArgumentAndNothingElseRuns)
{
  install_opener("printf '%s' \"$#\" > '" + tmp.file("argc") + "'\nprintf '%s' \"$1\" > '" + tmp.file("arg1") +
                 "'\nexit 3\n");
  scoped_env path("PATH", path_with_opener());
  const std::string marker = tmp.file("marker");
  const std::string url = "http://example.com/a?b=$HOME;c=1&d='e'\"f\"(g)`touch " + marker + "1`$(touch " +
                          marker + "2)|touch " + marker + "3 ; touch " + marker + "4 > " + marker + "5 \\ %20#x";
  // Any exit status counts as a normal end.
  EXPECT_EQ(vesk_http_fork(url.c_str()), 1);
  EXPECT_EQ(read_file(tmp.file("argc")), "1");
  EXPECT_EQ(read_file(tmp.file("arg1")), url);
  for (int i = 1; i <= 5; ++i)
    EXPECT_FALSE(exists(marker + std::to_string(i))) << i;
}

TEST_F(UrlOpener, OpenerKilledBySignalGivesZero)
{
  install_opener("kill -9 $$\n");
  scoped_env path("PATH", path_with_opener());
  EXPECT_EQ(vesk_http_fork("http://example.com/"), 0);
}

TEST_F(UrlOpener, MissingOpenerIsReported)
{
  ASSERT_EQ(mkdir(tmp.file("empty").c_str(), 0755), 0);
  scoped_env path("PATH", tmp.file("empty"));
  log_capture log(1);
  EXPECT_EQ(vesk_http_fork("http://example.com/"), 0);
  EXPECT_EQ(log.text(), "vesk_http_fork() failed with errno 2.\n");
}

namespace {
struct thread_probe {
  std::atomic<int> ran{0};
  char name[16] = {};
};
int probe_function(void *p)
{
  thread_probe *probe = static_cast<thread_probe *>(p);
  pthread_getname_np(pthread_self(), probe->name, sizeof(probe->name));
  probe->ran = 1;
  return 0;
}
} // namespace

TEST(Threads, RunsTheFunctionDetachedWithTheName)
{
  thread_probe probe;
  ASSERT_EQ(vesk_thread_create("soundpack updater thread", probe_function, &probe), 1);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!probe.ran && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  ASSERT_EQ(probe.ran, 1);
  EXPECT_STREQ(probe.name, "soundpack updat");
}

TEST(Clock, MicrosecondsOfTheWallClock)
{
  using namespace std::chrono;
  int64_t before = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
  int64_t now = vesk_gettimeofday_useconds();
  int64_t after = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);
}

TEST(Angle, WholeDegrees)
{
  struct {
    int dx, dy, angle;
  } cases[] = {
      {1, 0, 0},    {0, 1, 90},     {-1, 0, 180}, {0, -1, 270}, {1, -1, 315},   {2, 1, 27},
      {3, -4, 307}, {1000, -1, 0},  {0, 0, 90},   {0, 5, 90},   {0, -5, 270},   {-7, 0, 180},
      {-1, -1, 225}, {-1, 1, 135},  {1, 1, 45},
  };
  for (const auto &c : cases)
    EXPECT_EQ(vesk_calc_angle(c.dx, c.dy), c.angle) << c.dx << "," << c.dy;
  for (int dx = -60; dx <= 60; ++dx)
    for (int dy = -60; dy <= 60; ++dy) {
      int a = vesk_calc_angle(dx, dy);
      ASSERT_TRUE(a >= 0 && a <= 359) << dx << "," << dy << " -> " << a;
    }
}

TEST(BulkAllocate, ReportsAndLinksTheBlock)
{
  log_capture log(3);
  void *tiny = vesk_bulk_allocate(1, "tiny", 4);
  ASSERT_NE(tiny, nullptr);
  EXPECT_EQ(*static_cast<void **>(tiny), nullptr);

  void *chunk = vesk_bulk_allocate(40, "text chunk", 262144);
  ASSERT_NE(chunk, nullptr);
  int linked = 0;
  for (char *p = static_cast<char *>(chunk); p; ++linked) {
    char *next = *reinterpret_cast<char **>(p);
    if (next) {
      ASSERT_EQ(next, p + 40);
    }
    p = next;
  }
  EXPECT_EQ(linked, 6553);

  EXPECT_EQ(log.text_without_open_notice(), "Allocating      1 objects of size      8 (        8 bytes), type 'tiny'\n"
                        "Allocating   6553 objects of size     40 (   262120 bytes), type 'text chunk'\n");
  std::free(tiny);
  std::free(chunk);
}

TEST(MemoryPool, TakesFromBlocksAndReusesReturnedObjects)
{
  struct twelve {
    char bytes[12];
  };
  vesk_memory_pool<twelve> pool("twelve", 64);  // four 16-byte objects per block
  twelve *first = pool.take_raw();
  twelve *second = pool.take_raw();
  EXPECT_EQ(reinterpret_cast<char *>(second), reinterpret_cast<char *>(first) + 16);
  pool.give_back(second);
  EXPECT_EQ(pool.take_raw(), second);
  pool.take_raw();
  pool.take_raw();
  EXPECT_EQ(pool.free_list, nullptr);
  twelve *from_new_block = pool.take_raw();
  ASSERT_NE(from_new_block, nullptr);
  // Pools never return their blocks; the test hands them back itself.
  std::free(first);
  std::free(from_new_block);
}
