// The main window's text display: placed in the text column, client
// messages written on the tick, an unfinished line forced out on the third
// tick, and the scrolling pass-throughs.
#include <gtest/gtest.h>

#include <memory>

#include <wx/app.h>

#include "app/gui_app.h"
#include "app/main_window.h"
#include "text/ansi_display.h"
#include "text_fixture.h"
#include "view_fixture.h"

namespace {

class MainDisplay : public ::testing::Test {
protected:
  void SetUp() override
  {
    if (!test_have_display())
      GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    use_default_config();
    font = make_text_font();
    saved_font = global_font;
    global_font = font.get();
    mw = new vesk_mw("Ombrith", wxDefaultPosition, wxSize(984, 728));
    // No game connection here: the first tick would connect and write its
    // messages into the display.
    mw->connection_started = 1;
    mw->Show();
    mw->resize();
  }
  void TearDown() override
  {
    if (mw) {
      mw->main_timer.Stop();
      delete mw;
    }
    mw_constructor_finished = 0;
    global_font = saved_font;
  }
  void tick()
  {
    wxTimerEvent event(mw->main_timer);
    mw->OnTimer(event);
  }

  std::unique_ptr<vesk_font> font;
  vesk_font *saved_font = nullptr;
  vesk_mw *mw = nullptr;
};

} // namespace

TEST_F(MainDisplay, PlacedInTheTextColumn)
{
  vesk_main_window *d = mw->main_text_display;
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(mw->current_output_display, d);
  int w, h;
  mw->GetClientSize(&w, &h);
  layout_rect r = compute_layout(mw->gather_layout_input(w, h)).text_display;
  EXPECT_EQ(d->GetPosition(), wxPoint(r.x, r.y));
  EXPECT_EQ(d->GetSize(), wxSize(r.w, r.h));
  EXPECT_EQ(d->text_control->display_font, font.get());
  EXPECT_EQ(d->scrollbar_enabled, MConfig::GetMwScrollbar());
}

TEST_F(MainDisplay, DelayedMessagesAreWrittenOnTheTick)
{
  vesk_textctrl *tc = mw->main_text_display->text_control;
  mw->delayed_write("first message\n");
  mw->delayed_write(nullptr);
  EXPECT_EQ(tc->last_line, 0);
  mw->main_text_display->set_color(1, 49);
  mw->disable_scrolling();
  tick();
  EXPECT_EQ(mw->pending_text_flag, 0);
  EXPECT_EQ(mw->pending_text.length, 0);
  EXPECT_EQ(line_text(*tc, 0), "first message");
  EXPECT_EQ(line_text(*tc, 1), "(null)");
  // Written in normal white, with the view following again.
  EXPECT_EQ(colour_at(*tc, 0, 0), 0xa0a0a0);
  EXPECT_EQ(mw->scrolling_enabled(), 1);

  mw->display_write("direct\n");
  EXPECT_EQ(line_text(*tc, 1), "(null)direct");

  // "//clear" empties the scrollback and its record.
  mw->clear_main_scrollback();
  EXPECT_EQ(tc->last_line, 0);
  EXPECT_EQ(mw->main_text_display->render_first, nullptr);
  mw->display_set_color(1, 51);
  mw->display_write("bold yellow");
  EXPECT_EQ(colour_at(*tc, 0, 0), 0xffff55);
}

TEST_F(MainDisplay, UnfinishedLineForcedOnTheThirdTick)
{
  vesk_main_window *d = mw->main_text_display;
  const char prompt[] = "Enter your name: ";
  d->display_socket_data(prompt, (int)sizeof(prompt) - 1);
  tick();
  tick();
  EXPECT_TRUE(d->trigger_pending());
  tick();
  EXPECT_FALSE(d->trigger_pending());
  // A line completed in time is never forced.
  d->display_socket_data("abc", 3);
  tick();
  tick();
  d->display_socket_data("\n", 1);
  EXPECT_FALSE(d->trigger_pending());
}

TEST_F(MainDisplay, ScrollingPassThroughs)
{
  for (int i = 0; i < 200; ++i)
    mw->display_write("filler line\n");
  vesk_textctrl *tc = mw->main_text_display->text_control;
  const int last = tc->last_line;
  mw->scroll_up(3);
  EXPECT_EQ(mw->scrolling_enabled(), 0);
  EXPECT_EQ(tc->bottom_line, last - 3);
  mw->scroll_up();
  EXPECT_LT(tc->bottom_line, last - 3);
  mw->scroll_down(1);
  mw->enable_scrolling();
  EXPECT_EQ(tc->bottom_line, last);

  mw->display_set_default_colors();
  EXPECT_EQ(tc->last_line, last + 1);

  EXPECT_EQ(mw->has_mouse_selection(), 0);
  tc->selection_active = 1;
  EXPECT_EQ(mw->has_mouse_selection(), 1);
  mw->clear_mouse_selection();
  EXPECT_EQ(mw->has_mouse_selection(), 0);

  MConfig::SetMwScrollbar(0);
  mw->reset_scrollbars();
  EXPECT_EQ(mw->main_text_display->scrollbar_enabled, 0);
  MConfig::SetMwScrollbar(1);
  mw->reset_scrollbars();
  EXPECT_EQ(mw->main_text_display->scrollbar_enabled, 1);
}

TEST_F(MainDisplay, OptionChangesReachTheDisplay)
{
  vesk_textctrl *tc = mw->main_text_display->text_control;
  int h = 0;
  font->GetCharacterSize('f', nullptr, &h);
  ASSERT_EQ(tc->line_height, h);
  MConfig::SetCompactMode(1);
  EXPECT_EQ(tc->line_height, h - 1);
  MConfig::SetCompactMode(0);
  EXPECT_EQ(tc->line_height, h);

  MConfig::SetMwScrollbar(0);
  EXPECT_EQ(mw->main_text_display->scrollbar_enabled, 0);
  EXPECT_FALSE(mw->main_text_display->scroll_bar->IsShown());
  MConfig::SetMwScrollbar(1);
  EXPECT_EQ(mw->main_text_display->scrollbar_enabled, 1);
}
