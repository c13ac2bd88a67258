// The real client binary: start-up without HOME, first start in an empty
// home, and an orderly exit on the termination signals.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>

#include "process_util.h"
#include "test_support.h"

namespace {

std::string find_window(pid_t pid, const std::string &title_regex)
{
  std::string cmd = "xdotool search --onlyvisible --pid " + std::to_string(pid) + " --name '" + title_regex +
                    "' 2>/dev/null";
  return run_capture(cmd);
}

} // namespace

TEST(Startup, WithoutHomeTheClientRefusesToBoot)
{
  temp_dir out;
  child_process client({OMBRITH_CLIENT_BINARY}, {{"HOME", ENV_UNSET}}, out.path());
  ASSERT_TRUE(client.wait_exit(20));
  EXPECT_EQ(client.exit_status(), 1);
  EXPECT_NE(client.stdout_text().find("Boot failed, unable to get at system config directory.\n"),
            std::string::npos)
      << client.stdout_text();
}

TEST(Startup, EmptyHomeGetsConfigDirectoryAndWindowAndExitsOnSignals)
{
  if (!test_have_display())
    GTEST_SKIP() << "needs an X display";
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    temp_dir home, out;
    child_process client({OMBRITH_CLIENT_BINARY}, {{"HOME", home.path()}}, out.path());
    ASSERT_TRUE(wait_until([&] { return !find_window(client.pid(), "^Ombrith$").empty(); }, 30))
        << "no window titled Ombrith; stderr: " << client.stderr_text();
    ASSERT_TRUE(client.running());

    struct stat st;
    std::string dir = home.path() + "/Library/Ombrith";
    ASSERT_EQ(stat(dir.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    auto start = std::chrono::steady_clock::now();
    client.signal(sig);
    ASSERT_TRUE(client.wait_exit(20)) << "signal " << sig << " did not end the client";
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(client.exit_status(), 0) << "signal " << sig;
    std::printf("signal %d: client ended %.3f s after the signal\n", sig, seconds);
  }
}
