// The record dispatcher of the real main window, under the X display.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/debug_log.h"
#include "app/gui_app.h"
#include "app/main_window.h"
#include "config/config_store.h"
#include "gfx/images.h"
#include "gfx/themes.h"
#include "net/tag_dispatch.h"
#include "text/ansi_display.h"
#include "test_support.h"

namespace {

class Dispatcher : public ::testing::Test {
protected:
  void SetUp() override
  {
    if (!test_have_display())
      GTEST_SKIP() << "needs an X display";
    vesk_client_reset_process_state_for_tests();
    const char *old_home = std::getenv("HOME");
    saved_home = old_home ? old_home : "";
    setenv("HOME", home.path().c_str(), 1);
    ASSERT_TRUE(vesk_client_set_up_config_directory("Ombrith"));
    MConfig::clear();
    load_system_config();
    initialize_themes();
    construct_all_images();
    reset_theme();
    mw = new vesk_mw("Ombrith", wxDefaultPosition, wxSize(984, 728));
    log.reset(new log_capture(2));
  }
  void TearDown() override
  {
    if (!mw)
      return;
    log.reset();
    mw->Destroy();
    wxTheApp->ProcessIdle();
    MConfig::set_hook(nullptr);
    MConfig::clear();
    vesk_client_reset_process_state_for_tests();
    setenv("HOME", saved_home.c_str(), 1);
  }

  void record(const char *name, const char *data = "") { mw->process_tagged_data(name, data, (int)strlen(data)); }

  std::string main_text()
  {
    FILE *f = tmpfile();
    mw->main_text_display->render_text_to_file(f);
    std::string text;
    rewind(f);
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
      text.append(buf, n);
    fclose(f);
    return text;
  }

  temp_dir home;
  std::string saved_home;
  vesk_mw *mw = nullptr;
  std::unique_ptr<log_capture> log;
};

} // namespace

TEST_F(Dispatcher, NamesWithoutHandlerAreLogged)
{
  for (const char *name : {"bf0", "b0", "bx", "Login", "weather"})
    record(name, "x");
  for (const char *name : {"bf12", "b7", "bclear", "map", "hp", "sound"})
    record(name, "x");
  std::string text = log->text();
  for (const char *name : {"bf0", "b0", "bx", "Login", "weather"})
    EXPECT_NE(text.find(std::string("Warning in vesk_mw::process_tagged_data(), no handler for tag '") + name + "'."),
              std::string::npos)
        << name;
  for (const char *name : {"bf12", "b7", "bclear", "map", "hp", "sound"})
    EXPECT_EQ(text.find(std::string("no handler for tag '") + name + "'"), std::string::npos) << name;
}

TEST_F(Dispatcher, LoginSetsTitleConfigurationAndState)
{
  record("login", "Thorin\nwelcome back");
  EXPECT_EQ(mw->GetTitle(), "Ombrith - Player Thorin");
  EXPECT_EQ(mw->login_state, 2);
  EXPECT_EQ(mw->config_update_pending, 1);
  EXPECT_NE(mw->last_login_time, 0);
  ASSERT_NE(MConfig::current(), nullptr);
  EXPECT_EQ(MConfig::current()->name, "Thorin");

  // An empty login keeps the title and still logs the player in.
  mw->login_state = 0;
  mw->config_update_pending = 0;
  record("login", "");
  EXPECT_EQ(mw->GetTitle(), "Ombrith - Player Thorin");
  EXPECT_EQ(mw->login_state, 2);
  EXPECT_EQ(mw->config_update_pending, 1);
}

TEST_F(Dispatcher, LoginNameReachesTheTitleWithoutEscapesOrControlCharacters)
{
  record("login", "\x1b[1;31mEv\x07il\x1b]0;pwned\x07 O\tne\x1b[0m\x1b]2;x\x1b\\");
  wxString title = mw->GetTitle();
  EXPECT_EQ(title, "Ombrith - Player Evil One");
  for (wxUniChar c : title)
    EXPECT_GE((int)c.GetValue(), 0x20);
  EXPECT_EQ(vesk_title_safe_name("Zo\xEB"), wxString::FromUTF8("Zo\xC3\xAB"));
}

TEST_F(Dispatcher, DirsAndEvents)
{
  record("dirs", "on CB");
  EXPECT_EQ(mw->last_exits_value, 65);
  record("dirs", "sideways AB");
  EXPECT_NE(log->text().find("Warning in vesk_mw::process_tagged_data(), bad dirs string 'sideways AB'."),
            std::string::npos);
  EXPECT_EQ(mw->last_exits_value, 1);

  record("event", "newcreate");
  EXPECT_EQ(mw->login_state, 1);
  record("event", "logoff");
  EXPECT_EQ(mw->login_state, 3);
  record("event", "earthquake");
  EXPECT_NE(log->text().find("Warning in vesk_mw::process_tagged_data(), got unhandled event 'earthquake'."),
            std::string::npos);

  mw->ping_sent_usec = 0;
  record("event", "mcpong");
  EXPECT_GT(mw->last_ping_ms, 0);
}

TEST_F(Dispatcher, ConfigCommands)
{
  MConfig::SetHpbarEnable(0);
  mw->config_update_pending = 0;
  record("config", "status_bar flash");
  EXPECT_EQ(MConfig::GetHpbarEnable(), 1);
  EXPECT_EQ(mw->config_update_pending, 1);

  // The automap already on: nothing changes, nothing is reported.
  ASSERT_EQ(MConfig::GetAutomapEnable(), 1);
  mw->config_update_pending = 0;
  record("config", "automap enable");
  EXPECT_EQ(mw->config_update_pending, 0);
  record("config", "automap disable");
  EXPECT_EQ(MConfig::GetAutomapEnable(), 0);
  EXPECT_EQ(mw->config_update_pending, 1);

  record("config", "exp_bar disable");
  EXPECT_EQ(MConfig::GetExpDisplay(), 0);
  record("config", "Direction_Buttons ENABLE");
  EXPECT_EQ(MConfig::GetDirectionButton(), 1);
  record("config", "main_window flash");
  EXPECT_TRUE(mw->main_text_display->attention_flash_active());

  record("config", "fkey_buttons flash");
  record("config", "teleport now");
  record("config", "");
  std::string text = log->text();
  EXPECT_NE(text.find("Error in vesk_mw::parse_cmd_fkey_buttons(), bad command 'flash'."), std::string::npos);
  EXPECT_NE(text.find("Warning in vesk_mw::config_cmd_process() - got unknown command 'teleport now'."),
            std::string::npos);
  EXPECT_NE(text.find("Warning in vesk_mw::config_cmd_process() - got null string?"), std::string::npos);
}

TEST_F(Dispatcher, DivertAndAppendToUnknownPopupStayInMainDisplay)
{
  for (const char *name : {"divert", "append"}) {
    mw->main_text_display->clear_scrollback();
    record(name, "Nowhere");
    EXPECT_EQ(mw->current_output_display, mw->main_text_display);
    EXPECT_EQ(main_text(), "\nSorry, no popup window by that name has been defined.\n\n") << name;
  }
  // Without a diversion, undivert leaves the main display following its text.
  mw->main_text_display->enable_scrolling();
  record("undivert");
  record("unappend");
  EXPECT_EQ(mw->current_output_display, mw->main_text_display);
  EXPECT_EQ(mw->main_text_display->scrolling_enabled(), 1);
}

TEST_F(Dispatcher, StatusLineOfAFreshConfiguration)
{
  Buffer line;
  build_status_line(line, vesk_reported_options());
  // Sound, separator, hint, status, sky, exp, hp, enemy and popup buttons on;
  // vertical group display; Left Bottom; map on and docked; duplicate and
  // flash on; Blue buttons, Red background, Maze2.
  EXPECT_STREQ(line.text, "mclstatus 11010111111" "1" "2" "11011" "0" "1" "  1  2  3");
}
