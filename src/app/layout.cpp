#include "app/layout.h"

#include <algorithm>

static int at_least_1(int v) { return std::max(v, 1); }

static layout_rect place(int x, int y, int w, int h)
{
  layout_rect r;
  r.shown = true;
  r.x = x;
  r.y = y;
  r.w = w;
  r.h = h;
  return r;
}

layout_result compute_layout(const layout_input &in)
{
  layout_result out;
  int W = in.width, H = in.height;
  if (W == 0 || H == 0) {
    W = in.last_width;
    H = in.last_height;
  }
  const int ax = in.automap_w, ay = in.automap_h;
  const bool map_docked_on = in.automap_docked && in.automap_enabled;
  const bool bottom_rows = in.fkey_buttons || in.popup_buttons;

  if (!in.automap_docked)
    out.floating_automap = place(0, 0, at_least_1(ax), at_least_1(ay));

  // Right column: direction buttons above hint buttons.
  int R = W;
  if (in.direction_buttons || in.hint_buttons) {
    const int bw = in.buttons_min_w, bh = in.buttons_min_h;
    R = W - bw - 4;
    int y = 2;
    if (in.direction_buttons) {
      out.direction_buttons = place(W - bw - 2, 2, at_least_1(bw), at_least_1(bh));
      y = bh + 4;
    }
    if (in.hint_buttons)
      out.hint_buttons = place(W - bw - 2, y, at_least_1(bw), at_least_1(H - y));
  }

  // Left column: docked automap and group display.
  if (in.layout == LAYOUT_LEFT_TOP) {
    int top = 2, width = 160;
    if (map_docked_on) {
      out.automap = place(2, 2, at_least_1(ax), at_least_1(ay));
      top = ay + 12;
      width = ax;
    }
    if (in.group_display)
      out.group_display = place(2, top, at_least_1(width), at_least_1(in.group_h));
  } else if (in.layout == LAYOUT_LEFT_BOTTOM) {
    int bottom = bottom_rows ? H - 48 : H - 2, width = 160;
    if (map_docked_on) {
      out.automap = place(2, H - 2 - ay, at_least_1(ax), at_least_1(ay));
      bottom = H - ay - 12;
      width = ax;
    }
    if (in.group_display)
      out.group_display = place(2, bottom - in.group_h, at_least_1(width), at_least_1(in.group_h));
  }

  int L = 0;
  if (in.layout == LAYOUT_LEFT_TOP || in.layout == LAYOUT_LEFT_BOTTOM) {
    if (map_docked_on)
      L = ax + 4;
    else if (in.group_display)
      L = 164;
  }
  if (R <= L)
    R = L + 1;
  const int TW = at_least_1(R - L);
  out.text_left = L;
  out.text_right = R;

  int B = bottom_rows ? H - 46 : H;

  int popup_x = L;
  if (in.fkey_buttons) {
    out.fkey_row = place(L, B, at_least_1(in.fkey_min_w), 46);
    popup_x = L + in.fkey_min_w;
  }
  if (in.popup_buttons)
    out.popup_row = place(popup_x, B, at_least_1(W - popup_x), 46);

  if (in.status_bar) {
    B -= 21;
    out.status_bar = place(L, B, TW, 21);
  }

  B -= in.input_height;
  out.input_window = place(L, B, TW, at_least_1(in.input_height));

  out.status_border_sides = 15;
  out.show_vitals = in.health_bar;
  out.show_exp = in.experience_bar;
  int status_h = 0;
  if (in.enemy_bar) {
    out.show_enemy = true;
    status_h = in.health_bar ? 42 : 21;
  } else {
    out.show_enemy = false;
    if (in.health_bar || in.experience_bar)
      status_h = 21;
  }
  if (status_h) {
    B -= status_h;
    out.status_display = place(L, B, TW, status_h);
  }

  int CH = 0;
  if (in.logged_in && in.channel_window) {
    CH = at_least_1(B * in.channel_height / 100);
    out.channel_window = place(L, 0, TW, CH);
  }

  out.text_display = place(L, CH, TW, at_least_1(B - CH));
  return out;
}

// The size steps of the input line and the channel window.
int layout_decr_input_height(int h)
{
  h -= 12;
  return h <= 23 ? 24 : h;
}

int layout_incr_input_height(int h) { return h + 12; }

int layout_incr_channel_height(int h) { return std::min(h + 5, 80); }

int layout_decr_channel_height(int h) { return std::max(h - 5, 10); }
