// The real client's command line, typed into with xdotool: what is typed
// reaches the client's command path.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "process_util.h"
#include "test_support.h"

namespace {

std::string trimmed(std::string s)
{
  while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
    s.pop_back();
  return s;
}

// The client's main window, once it is shown.
std::string wait_for_main_window(child_process &client)
{
  std::string id;
  wait_until(
      [&] {
        id = trimmed(run_capture("xdotool search --onlyvisible --pid " + std::to_string(client.pid()) +
                                 " --name '^Ombrith$' 2>/dev/null | head -1"));
        return !id.empty();
      },
      30);
  return id;
}

bool have_xdotool() { return !run_capture("command -v xdotool").empty(); }

} // namespace

TEST(CommandLine, TypedQuitEndsTheClientAndSavesTheSettings)
{
  if (!test_have_display() || !have_xdotool())
    GTEST_SKIP() << "needs an X display and xdotool";
  temp_dir home, out;
  child_process client({OMBRITH_CLIENT_BINARY}, {{"HOME", home.path()}}, out.path());
  std::string window = wait_for_main_window(client);
  ASSERT_FALSE(window.empty()) << "no main window; stderr: " << client.stderr_text();

  std::string system_file = home.path() + "/Library/Ombrith/ombrith.cfg";
  struct stat st;
  ASSERT_NE(stat(system_file.c_str(), &st), 0) << "the settings are only written at exit";

  // The command line has the keyboard focus from the start: no click needed.
  run_capture("xdotool windowfocus --sync " + window + " 2>&1");
  run_capture("xdotool type --delay 20 //quit 2>&1");
  run_capture("xdotool key Return 2>&1");

  ASSERT_TRUE(client.wait_exit(20)) << "//quit did not end the client";
  EXPECT_EQ(client.exit_status(), 0);
  EXPECT_EQ(stat(system_file.c_str(), &st), 0) << "settings not saved";
}
