#include "gfx/embedded_window.h"

#include <algorithm>

#include <wx/dcclient.h>

#include "app/debug_log.h"

vesk_embedded_window *vesk_embedded_window::animation_list = nullptr;

wxBEGIN_EVENT_TABLE(vesk_embedded_window, wxWindow)
  EVT_PAINT(vesk_embedded_window::repaint_handler)
  EVT_ERASE_BACKGROUND(vesk_embedded_window::discard_erase_event_handler)
  EVT_SIZE(vesk_embedded_window::resize_handler)
wxEND_EVENT_TABLE()

vesk_embedded_window::vesk_embedded_window(wxWindow *parent, wxWindowID id, const wxString &name,
                                           const wxPoint &position, const wxSize &size, long style)
    : wxWindow(parent, id, position, size, style, name),
      bitmap(new vesk_bitmap(std::max(size.GetWidth(), 1), std::max(size.GetHeight(), 1))), animation_next(nullptr),
      anim_shown(0), anim_steps(0), anim_elapsed_ms(0), anim_period_ms(200)
{
  // The panel paints every pixel itself; the toolkit must never clear it.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
}

vesk_embedded_window::~vesk_embedded_window()
{
  stop_animation();
  delete bitmap;
  bitmap = nullptr;
}

int vesk_embedded_window::animation_callback(int)
{
  VESK_LOG(1, "Error in vesk_embedded_window::animation_callback(), this handler should never be called.\n");
  return 0;
}

void vesk_embedded_window::SetSize(int x, int y, int width, int height)
{
  width = std::max(width, 1);
  height = std::max(height, 1);
  // The bitmap always has the window's size, so it tells whether the size
  // changes; it also stays right if the toolkit resized the window itself.
  int replaced = 0;
  if (!bitmap || bitmap->GetWidth() != width || bitmap->GetHeight() != height) {
    delete bitmap;
    bitmap = new vesk_bitmap(width, height);
    replaced = 1;
  }
  wxWindow::SetSize(x, y, width, height);
  resize(replaced);
}

void vesk_embedded_window::SetSize(int width, int height)
{
  wxPoint at = GetPosition();
  SetSize(at.x, at.y, width, height);
}

void vesk_embedded_window::ResetSize() { resize(1); }

void vesk_embedded_window::Refresh(bool erase_background, const wxRect *rect)
{
  wxWindow::Refresh(erase_background, rect);
}

void vesk_embedded_window::repaint() { Refresh(false, nullptr); }

bool vesk_embedded_window::in_animation_list() const
{
  for (vesk_embedded_window *w = animation_list; w; w = w->animation_next)
    if (w == this)
      return true;
  return false;
}

void vesk_embedded_window::start_animation()
{
  if (in_animation_list())
    return;
  animation_next = animation_list;
  animation_list = this;
}

void vesk_embedded_window::stop_animation()
{
  for (vesk_embedded_window **link = &animation_list; *link; link = &(*link)->animation_next) {
    if (*link == this) {
      *link = animation_next;
      animation_next = nullptr;
      return;
    }
  }
}

void vesk_embedded_window::animation_update(int elapsed_ms)
{
  vesk_embedded_window *w = animation_list;
  while (w) {
    // Read the link first: the callback may take the window off the list.
    vesk_embedded_window *next = w->animation_next;
    if (!w->animation_callback(elapsed_ms))
      w->stop_animation();
    w = next;
  }
}

int vesk_embedded_window::animation_step(int elapsed_ms)
{
  anim_elapsed_ms += elapsed_ms;
  if (anim_elapsed_ms >= anim_period_ms) {
    anim_elapsed_ms = elapsed_ms < anim_period_ms ? anim_elapsed_ms - anim_period_ms : 0;
    --anim_steps;
  }
  if (anim_steps != anim_shown) {
    anim_shown = anim_steps;
    repaint();
  }
  return anim_steps > 0;
}

void vesk_embedded_window::start_newbie_demo_mode_flashing()
{
  anim_shown = 0;
  anim_steps = 16;
  anim_elapsed_ms = 0;
  anim_period_ms = 200;
  start_animation();
  if (anim_steps != anim_shown) {
    anim_shown = anim_steps;
    repaint();
  }
}

void vesk_embedded_window::paint_into(wxDC &dc)
{
  if (!IsShown() || !bitmap)
    return;
  repaint_dc(*bitmap);
  dc.DrawBitmap(*bitmap, 0, 0, false);
}

void vesk_embedded_window::repaint_handler(wxPaintEvent &)
{
  wxPaintDC dc(this);
  paint_into(dc);
}

void vesk_embedded_window::discard_erase_event_handler(wxEraseEvent &) {}

void vesk_embedded_window::resize_handler(wxSizeEvent &) {}

vesk_transparent_window::vesk_transparent_window(wxWindow *parent)
    : x(0), y(0), width(10), height(10), shown(1), parent(parent)
{
}

vesk_transparent_window::~vesk_transparent_window() {}

void vesk_transparent_window::SetSize(int x_, int y_, int width_, int height_)
{
  x = x_;
  y = y_;
  width = width_;
  height = height_;
  resize();
}

void vesk_transparent_window::Show(int shown_)
{
  shown = shown_;
  show_handler(shown_);
}
