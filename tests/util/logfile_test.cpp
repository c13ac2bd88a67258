// The descriptor-based log file: opening, writing, the once-only report of a
// failing descriptor and the recursion limit.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "app/debug_log.h"
#include "test_support.h"
#include "util/logfile.h"

static const char write_failed_report[] = "Error in vesk_signal_safe_logfile::write(), write failed.\n";
static const char limiter_report[] = "Error in vesk_signal_safe_logfile::write(), recursion limiter triggered.\n";

static int count_of(const std::string &text, const std::string &what)
{
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

TEST(LogFile, OpensForAppendingAndWritesWholeTexts)
{
  temp_dir tmp;
  const std::string path = tmp.file("log.txt");
  write_file(path, "old\n");
  vesk_signal_safe_logfile log;
  EXPECT_EQ(log.fd, -1);
  ASSERT_EQ(log.open(path.c_str()), 1);
  EXPECT_EQ(log.write("one\n"), 1);
  EXPECT_EQ(log.write(nullptr), 1);
  log.close();
  EXPECT_EQ(log.fd, -1);
  EXPECT_EQ(read_file(path), "old\none\n(null)");

  EXPECT_EQ(log.open(tmp.file("no/such/dir/log.txt").c_str()), 0);
  EXPECT_EQ(log.fd, -1);

  ASSERT_EQ(log.use_stdout_fd(), 1);
  EXPECT_GE(log.fd, 0);
  EXPECT_NE(log.fd, 1);
  ASSERT_EQ(log.open(path.c_str()), 1);  // replaces the duplicate
  EXPECT_EQ(log.write("two\n"), 1);
  EXPECT_EQ(read_file(path), "old\none\n(null)two\n");
}

TEST(LogFile, FailingDescriptorIsReportedOnceUntilAWriteSucceeds)
{
  log_capture capture(1);
  temp_dir tmp;
  write_file(tmp.file("target"), "");
  int read_only = ::open(tmp.file("target").c_str(), O_RDONLY);
  int writable = ::open(tmp.file("target").c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(read_only, 0);
  ASSERT_GE(writable, 0);

  vesk_signal_safe_logfile log;
  log.fd = read_only;
  EXPECT_EQ(log.write("a"), 0);
  EXPECT_EQ(log.write("b"), 0);
  EXPECT_EQ(log.write_failed, 1);
  EXPECT_EQ(log.recursion_count, 0);
  EXPECT_EQ(capture.text(), write_failed_report);

  log.fd = writable;
  EXPECT_EQ(log.write("c"), 1);
  EXPECT_EQ(log.write_failed, 0);
  log.fd = read_only;
  EXPECT_EQ(log.write("d"), 0);
  EXPECT_EQ(count_of(capture.text(), write_failed_report), 2);
  EXPECT_EQ(read_file(tmp.file("target")), "c");

  log.fd = -1;
  ::close(read_only);
  ::close(writable);
}

TEST(LogFile, RecursionLimit)
{
  log_capture capture(1);
  vesk_signal_safe_logfile log;
  log.recursion_count = 26;
  EXPECT_EQ(log.write("x"), 0);
  EXPECT_EQ(capture.text(), "");

  log.recursion_count = 25;
  EXPECT_EQ(log.write("x"), 0);
  EXPECT_EQ(log.recursion_count, 25);
  EXPECT_EQ(capture.text(), limiter_report);
}

TEST(LogFile, DebugLogOnAFailingDescriptorEndsItsReportChain)
{
  // The debug log's own object reports its failures into itself: each nested
  // report fails and reports again until the limiter ends the chain.
  log_capture capture(1);
  vesk_signal_safe_logfile *debug_log = vesk_client_get_debug_logfile_pointer();
  ASSERT_GE(debug_log->fd, 0);
  int good_fd = debug_log->fd;
  temp_dir tmp;
  write_file(tmp.file("target"), "");
  int read_only = ::open(tmp.file("target").c_str(), O_RDONLY);
  ASSERT_GE(read_only, 0);

  debug_log->fd = read_only;
  vesk_client_debug_log_function("lost line\n");
  EXPECT_EQ(debug_log->recursion_count, 0);
  EXPECT_EQ(debug_log->write_failed, 1);
  vesk_client_debug_log_function("also lost\n");
  EXPECT_EQ(debug_log->recursion_count, 0);

  debug_log->fd = good_fd;
  ::close(read_only);
  vesk_client_debug_log_function("back\n");
  EXPECT_EQ(debug_log->write_failed, 0);
  EXPECT_EQ(capture.text(), "back\n");
}
