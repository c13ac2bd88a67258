#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/debug_log.h"
#include "app/gui_app.h"
#include "app/tick_logic.h"
#include "test_support.h"

namespace {

// Keeps HOME and the working directory as they were around a test.
class environment_guard {
public:
  environment_guard()
  {
    const char *home = std::getenv("HOME");
    had_home_ = home != nullptr;
    if (home)
      home_ = home;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof(cwd)))
      cwd_ = cwd;
    vesk_client_reset_process_state_for_tests();
  }
  ~environment_guard()
  {
    if (had_home_)
      setenv("HOME", home_.c_str(), 1);
    else
      unsetenv("HOME");
    if (!cwd_.empty() && chdir(cwd_.c_str()) != 0) {
      ADD_FAILURE() << "could not return to " << cwd_;
    }
    vesk_client_reset_process_state_for_tests();
  }

private:
  bool had_home_ = false;
  std::string home_, cwd_;
};

} // namespace

TEST(ConfigDirectory, CreatedUnderHomeLibraryWithOwnerOnlyMode)
{
  environment_guard guard;
  temp_dir home;
  setenv("HOME", home.path().c_str(), 1);
  ASSERT_EQ(vesk_client_set_up_config_directory("Ombrith"), 1);
  std::string expected = home.path() + "/Library/Ombrith";
  EXPECT_EQ(std::string(vesk_client_get_config_directory_path()), expected);
  struct stat st;
  ASSERT_EQ(stat(expected.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // The writability probe leaves nothing behind.
  EXPECT_NE(access((expected + "/xx-rw-test.qqq").c_str(), F_OK), 0);
}

TEST(ConfigDirectory, FallsBackToDotDirectoryInWorkingDirectory)
{
  environment_guard guard;
  temp_dir home, work;
  // A regular file where the Library folder should be makes the first choice fail.
  write_file(home.file("Library"), "not a directory");
  setenv("HOME", home.path().c_str(), 1);
  ASSERT_EQ(chdir(work.path().c_str()), 0);
  ASSERT_EQ(vesk_client_set_up_config_directory("Ombrith"), 1);
  EXPECT_STREQ(vesk_client_get_config_directory_path(), ".Ombrith");
  struct stat st;
  EXPECT_EQ(stat(work.file(".Ombrith").c_str(), &st), 0);
}

TEST(ConfigDirectory, MissingHomeFails)
{
  environment_guard guard;
  unsetenv("HOME");
  log_capture log(1);
  EXPECT_EQ(vesk_client_set_up_config_directory("Ombrith"), 0);
  EXPECT_EQ(vesk_client_get_config_directory_path(), nullptr);
  EXPECT_NE(log.text().find("unable to fetch home directory - please set HOME environment variable and restart."),
            std::string::npos);
}

TEST(ConfigDirectory, SecondSetUpWarnsAndReplaces)
{
  environment_guard guard;
  temp_dir home;
  setenv("HOME", home.path().c_str(), 1);
  ASSERT_EQ(vesk_client_set_up_config_directory("One"), 1);
  log_capture log(3);
  ASSERT_EQ(vesk_client_set_up_config_directory("Two"), 1);
  std::string text = log.text();
  EXPECT_NE(text.find("attempt to change config directory path after initial configuration."), std::string::npos);
  EXPECT_NE(text.find("Old path '" + home.path() + "/Library/One', new base name 'Two'"), std::string::npos);
  EXPECT_EQ(std::string(vesk_client_get_config_directory_path()), home.path() + "/Library/Two");
}

TEST(Notify, FilterByLevelAndMask)
{
  environment_guard guard;
  struct {
    int level, category, mask;
    bool logged;
  } cases[] = {
      {3, 0x100, 0, true},  {2, 0x100, 0, false}, {1, 0x100, 0, false}, {1, 4, 0, true},
      {3, 4, 0, true},      {0, 4, 0, false},     {1, 4, 4, false},     {1, 6, 4, true},
      {3, 0x104, 0, true},  {2, 0x104, 0, false},
  };
  for (const auto &c : cases) {
    log_capture log(c.level);
    set_library_code_notify_exclude_mask(c.mask);
    library_code_notify("probe message", c.category, 0);
    set_library_code_notify_exclude_mask(0);
    // At level 3 the log's own "opened logfile" trace comes first.
    EXPECT_EQ(log.text().find("probe message\n") != std::string::npos, c.logged)
        << "level " << c.level << " category " << c.category << " mask " << c.mask;
  }
  log_capture log(3);
  disable_library_code_notify();
  library_code_notify("silenced", 4, 0);
  enable_library_code_notify();
  EXPECT_EQ(log.text().find("silenced"), std::string::npos);
}

TEST(DebugLog, LongMessageIsCutTo10239Bytes)
{
  environment_guard guard;
  log_capture log(1);
  std::string big(20000, 'x');
  vesk_client_debug_log_function("%s", big.c_str());
  EXPECT_EQ(log.text().size(), 10239u);
}

TEST(DebugLog, UnopenableFileSilencesLoggingUntilRenamed)
{
  environment_guard guard;
  temp_dir dir;
  write_file(dir.file("plain"), "x");
  vesk_client_set_debug_logfile_name(dir.file("plain/log.txt").c_str());
  vesk_client_debug_log_function("lost\n");
  EXPECT_EQ(vesk_client_get_debug_logfile_open_failed(), 1);
  EXPECT_FALSE(vesk_client_is_debug_logfile_open());
  vesk_client_debug_log_function("also lost\n");
  EXPECT_FALSE(vesk_client_is_debug_logfile_open());

  // A new name clears the failure; the file opens on the next log call.
  vesk_client_set_debug_logfile_name(dir.file("good.txt").c_str());
  vesk_client_debug_log_function("kept\n");
  EXPECT_EQ(read_file(dir.file("good.txt")), "kept\n");
}

TEST(DebugLog, RenameWhileOpenIsRefusedAndAutoOpenGoesToTmp)
{
  environment_guard guard;
  temp_dir dir;
  vesk_client_set_debug_logfile_name(dir.file("a.txt").c_str());
  vesk_client_debug_log_function("first\n");
  vesk_client_set_debug_logfile_name(dir.file("b.txt").c_str());
  EXPECT_STREQ(vesk_client_get_debug_logfile_name(), dir.file("a.txt").c_str());
  std::string a = read_file(dir.file("a.txt"));
  EXPECT_NE(a.find("Error in vesk_client_set_debug_logfile_name(), logfile already open."), std::string::npos);
  vesk_client_debug_logfile_close();

  std::string name = "ombrith-autoopen-" + std::to_string(getpid()) + ".txt";
  vesk_client_set_autoopen_debug_logfile_name(name.c_str());
  vesk_client_debug_log_function("auto\n");
  EXPECT_EQ(read_file("/tmp/" + name), "auto\n");
  vesk_client_debug_logfile_close();
  unlink(("/tmp/" + name).c_str());
}

TEST(CommandLine, LauncherVersionFlags)
{
  environment_guard guard;
  struct {
    std::vector<const char *> args;
    const char *version;
  } cases[] = {
      {{"ombrith", "-l", "2.5", "-n"}, "(old style launcher)"},
      {{"ombrith", "-n", "-l", "3.0"}, "3.0"},
      {{"ombrith", "-L", "7"}, "7"},
      {{"ombrith", "-l"}, ""},
      {{"ombrith", "--unknown"}, ""},
  };
  for (const auto &c : cases) {
    bootloader_version[0] = 0;
    vesk_parse_command_line((int)c.args.size(), c.args.data());
    EXPECT_STREQ(bootloader_version, c.version);
  }
  std::string long_version(400, 'v');
  const char *args[] = {"ombrith", "-l", long_version.c_str()};
  vesk_parse_command_line(3, args);
  EXPECT_EQ(std::string(bootloader_version), long_version.substr(0, 256));
}

TEST(CommandLine, TracesOnlyAtLevelTwo)
{
  environment_guard guard;
  const char *args[] = {"ombrith", "-n", "extra"};
  {
    log_capture log(1);
    vesk_parse_command_line(3, args);
    EXPECT_EQ(log.text(), "");
  }
  log_capture log(2);
  vesk_parse_command_line(3, args);
  EXPECT_EQ(log.text(), "DEBUG - Command line executable name:  ombrith\n"
                        "DEBUG - Command line old launcher:     -n\n"
                        "DEBUG - Unknown command line arg:      extra\n");
}

TEST(Tick, ShutdownCountdownExitsOnNinthTick)
{
  int countdown = 10;
  for (int tick = 1; tick <= 8; ++tick)
    EXPECT_EQ(shutdown_countdown_step(countdown), SHUTDOWN_NONE) << "tick " << tick;
  EXPECT_EQ(shutdown_countdown_step(countdown), SHUTDOWN_SAVE_AND_EXIT);
  EXPECT_EQ(countdown, 1);
  // Should the process survive that tick, the next one forces the exit.
  EXPECT_EQ(shutdown_countdown_step(countdown), SHUTDOWN_EXIT_FORCED);
  int idle = 0;
  EXPECT_EQ(shutdown_countdown_step(idle), SHUTDOWN_NONE);
  EXPECT_EQ(idle, 0);
}

TEST(Tick, TriggerLineForcedOnThirdPendingTick)
{
  int counter = 0;
  EXPECT_FALSE(trigger_line_step(counter, true));
  EXPECT_FALSE(trigger_line_step(counter, true));
  EXPECT_TRUE(trigger_line_step(counter, true));
  EXPECT_EQ(counter, 0);

  // A line that clears after two ticks is never forced.
  EXPECT_FALSE(trigger_line_step(counter, true));
  EXPECT_FALSE(trigger_line_step(counter, true));
  EXPECT_FALSE(trigger_line_step(counter, false));
  EXPECT_FALSE(trigger_line_step(counter, true));
  EXPECT_FALSE(trigger_line_step(counter, true));
  EXPECT_TRUE(trigger_line_step(counter, true));
}
