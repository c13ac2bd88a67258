// Panel base classes: bitmap sizing, painting, the animation list, the step
// timer and the attention flash.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/frame.h>

#include "app/debug_log.h"
#include "gfx/embedded_window.h"
#include "pixels.h"

namespace {

wxFrame *test_frame()
{
  static wxFrame *frame = new wxFrame(nullptr, wxID_ANY, "panels");
  return frame;
}

class probe_panel : public vesk_embedded_window {
public:
  explicit probe_panel(const wxSize &size = wxSize(30, 20))
      : vesk_embedded_window(test_frame(), wxID_ANY, "probe", wxPoint(0, 0), size)
  {
  }

  void resize(int replaced) override { resize_calls.push_back(replaced); }
  void repaint_dc(vesk_bitmap &b) override
  {
    ++paints;
    b.Clear(attention_flash_active() ? attention_flash_colour() : vesk_GREEN);
  }
  int animation_callback(int elapsed_ms) override
  {
    ++callbacks;
    if (on_callback)
      on_callback();
    return animation_step(elapsed_ms);
  }
  void Refresh(bool erase, const wxRect *rect) override
  {
    ++refreshes;
    vesk_embedded_window::Refresh(erase, rect);
  }

  std::vector<int> resize_calls;
  int paints = 0;
  int callbacks = 0;
  int refreshes = 0;
  std::function<void()> on_callback;
};

// Windows left on the list by a failing test must not leak into the next.
struct animation_list_guard {
  ~animation_list_guard() { vesk_embedded_window::animation_list = nullptr; }
};

int list_length()
{
  int n = 0;
  for (vesk_embedded_window *w = vesk_embedded_window::animation_list; w; w = w->animation_next)
    ++n;
  return n;
}

} // namespace

TEST(EmbeddedWindow, BitmapFollowsTheSize)
{
  REQUIRE_DISPLAY();
  probe_panel zero(wxSize(0, 0));
  EXPECT_EQ(zero.bitmap->GetWidth(), 1);
  EXPECT_EQ(zero.bitmap->GetHeight(), 1);

  probe_panel p;
  p.SetSize(2, 3, -5, 0);
  EXPECT_EQ(p.bitmap->GetWidth(), 1);
  EXPECT_EQ(p.bitmap->GetHeight(), 1);
  EXPECT_EQ(p.GetSize(), wxSize(1, 1));

  p.SetSize(40, 25);
  vesk_bitmap *before = p.bitmap;
  EXPECT_EQ(p.GetPosition(), wxPoint(2, 3));
  p.SetSize(4, 5, 40, 25);
  EXPECT_EQ(p.bitmap, before); // same size: the bitmap is kept
  EXPECT_EQ(p.GetPosition(), wxPoint(4, 5));
  EXPECT_EQ(before->GetWidth(), 40);
  p.ResetSize();
  EXPECT_EQ(p.resize_calls, (std::vector<int>{1, 1, 0, 1}));
}

TEST(EmbeddedWindow, OnlyAShownWindowPaints)
{
  REQUIRE_DISPLAY();
  probe_panel p;
  wxBitmap target(30, 20, 32);
  {
    wxMemoryDC dc(target);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    p.Hide();
    p.paint_into(dc);
    EXPECT_EQ(p.paints, 0);
    p.Show();
    p.paint_into(dc);
    EXPECT_EQ(p.paints, 1);
  }
  EXPECT_EQ(rgb(target, 29, 19), vesk_GREEN);
}

TEST(EmbeddedWindow, AnimationListKeepsOneEntryPerWindow)
{
  REQUIRE_DISPLAY();
  animation_list_guard guard;
  probe_panel a, b;
  a.start_animation();
  a.start_animation();
  b.start_animation();
  EXPECT_EQ(list_length(), 2);
  EXPECT_EQ(vesk_embedded_window::animation_list, &b); // newest at the head
  a.stop_animation();
  a.stop_animation();
  EXPECT_EQ(list_length(), 1);
  EXPECT_FALSE(a.in_animation_list());

  // The base callback is never meant to run: it complains and leaves the list.
  struct plain_panel : vesk_embedded_window {
    plain_panel() : vesk_embedded_window(test_frame(), wxID_ANY, "plain") {}
    void resize(int) override {}
    void repaint_dc(vesk_bitmap &) override {}
  } plain;
  plain.start_animation();
  log_capture log(1);
  vesk_embedded_window::animation_update(20);
  EXPECT_FALSE(plain.in_animation_list());
  EXPECT_NE(log.text().find("Error in vesk_embedded_window::animation_callback(), this handler should never be "
                            "called.\n"),
            std::string::npos);
  b.stop_animation();
}

TEST(EmbeddedWindow, AttentionFlashRunsSixteenStepsOfTenTicks)
{
  REQUIRE_DISPLAY();
  animation_list_guard guard;
  probe_panel p;
  p.start_newbie_demo_mode_flashing();
  EXPECT_EQ(p.refreshes, 1); // at once
  EXPECT_EQ(p.anim_shown, 16);
  EXPECT_EQ(p.attention_flash_colour(), vesk_BLACK);

  std::vector<int> refresh_ticks;
  for (int tick = 1; tick <= 200 && p.in_animation_list(); ++tick) {
    int before = p.refreshes;
    vesk_embedded_window::animation_update(20);
    if (p.refreshes != before)
      refresh_ticks.push_back(tick);
    if (tick == 10) {
      EXPECT_EQ(p.attention_flash_colour(), vesk_WHITE); // 15 steps left
    }
  }
  std::vector<int> expected;
  for (int step = 1; step <= 16; ++step)
    expected.push_back(step * 10);
  EXPECT_EQ(refresh_ticks, expected);
  EXPECT_FALSE(p.in_animation_list());
  EXPECT_EQ(p.callbacks, 160);
  EXPECT_EQ(p.anim_steps, 0);
  EXPECT_FALSE(p.attention_flash_active());
}

TEST(EmbeddedWindow, StepTimerCarriesTheRemainder)
{
  REQUIRE_DISPLAY();
  probe_panel p;
  p.anim_steps = 3;
  p.anim_period_ms = 50;
  EXPECT_EQ(p.animation_step(30), 1);
  EXPECT_EQ(p.animation_step(30), 1); // 60 >= 50: one step, 10 carried over
  EXPECT_EQ(p.anim_steps, 2);
  EXPECT_EQ(p.anim_elapsed_ms, 10);
  EXPECT_EQ(p.animation_step(80), 1); // a tick as long as the period carries nothing
  EXPECT_EQ(p.anim_steps, 1);         // and counts one step only
  EXPECT_EQ(p.anim_elapsed_ms, 0);
  EXPECT_EQ(p.animation_step(50), 0);
  EXPECT_EQ(p.anim_steps, 0);
  EXPECT_EQ(p.refreshes, 4);
}

TEST(EmbeddedWindow, WindowsLeaveJoinAndDieDuringTheWalk)
{
  REQUIRE_DISPLAY();
  animation_list_guard guard;
  probe_panel *doomed = new probe_panel;
  probe_panel a, b, late;
  a.anim_steps = doomed->anim_steps = late.anim_steps = 100;
  b.anim_steps = 1;
  b.anim_period_ms = 20; // finishes on the first tick
  a.start_animation();
  doomed->start_animation();
  b.start_animation(); // list: b, doomed, a

  // b leaves the list and adds `late`, which is first stepped on the next tick.
  b.on_callback = [&] { late.start_animation(); };
  vesk_embedded_window::animation_update(20);
  EXPECT_FALSE(b.in_animation_list());
  EXPECT_EQ(late.callbacks, 0);
  EXPECT_EQ(doomed->callbacks, 1);
  EXPECT_EQ(a.callbacks, 1);

  delete doomed; // still animating
  EXPECT_EQ(list_length(), 2);
  vesk_embedded_window::animation_update(20);
  EXPECT_EQ(late.callbacks, 1);
  EXPECT_EQ(a.callbacks, 2);
  EXPECT_EQ(b.callbacks, 1);
}

TEST(TransparentWindow, StoresRectangleAndShownFlagBeforeCallingBack)
{
  struct group : vesk_transparent_window {
    group() : vesk_transparent_window(nullptr) {}
    void show_handler(int s) override { seen.push_back(s == shown ? 100 + s : -1); }
    void resize() override { seen.push_back(width * 1000 + height); }
    void change_theme() override {}
    std::vector<int> seen;
  } g;
  EXPECT_EQ(g.width, 10);
  EXPECT_EQ(g.height, 10);
  EXPECT_EQ(g.shown, 1);
  g.SetSize(1, 2, 30, 40);
  g.Show(0);
  EXPECT_EQ(g.seen, (std::vector<int>{30040, 100}));
  EXPECT_EQ(g.x, 1);
  EXPECT_EQ(g.y, 2);
}
