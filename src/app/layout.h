// Placement of the main window's panels inside its client area. Pure
// arithmetic, so that it can be checked without any window.
#ifndef OMBRITH_APP_LAYOUT_H
#define OMBRITH_APP_LAYOUT_H

enum { LAYOUT_EMBEDDED = 0, LAYOUT_LEFT_TOP = 1, LAYOUT_LEFT_BOTTOM = 2 };

struct layout_rect {
  bool shown = false;  // placed (and shown) by this layout
  int x = 0, y = 0, w = 0, h = 0;
};

struct layout_input {
  int width = 0, height = 0;  // client area; 0 means "use the last size"
  int last_width = -1, last_height = -1;

  int layout = LAYOUT_EMBEDDED;
  bool automap_enabled = false;
  bool automap_docked = true;
  bool direction_buttons = false;
  bool hint_buttons = false;
  bool fkey_buttons = false;
  bool popup_buttons = false;
  bool status_bar = false;
  int group_display = 0;  // 0 off, 1 vertical, 2 horizontal
  bool health_bar = false;
  bool experience_bar = false;
  bool enemy_bar = false;
  bool channel_window = false;
  int input_height = 36;
  int channel_height = 25;  // percent of the text column
  bool logged_in = false;

  // Sizes the panels ask for.
  int automap_w = 0, automap_h = 0;
  int buttons_min_w = 0, buttons_min_h = 0;
  int group_h = 0;
  int fkey_min_w = 0;  // for a height of 46
};

struct layout_result {
  layout_rect floating_automap;  // automap inside its own frame (not docked)
  layout_rect automap;           // docked automap in the left column
  layout_rect direction_buttons;
  layout_rect hint_buttons;
  layout_rect group_display;     // placed in the left column (not Embedded)
  layout_rect fkey_row;
  layout_rect popup_row;
  layout_rect status_bar;
  layout_rect input_window;
  layout_rect status_display;
  layout_rect channel_window;
  layout_rect text_display;

  int text_left = 0, text_right = 0;  // L and R
  bool show_vitals = false, show_exp = false, show_enemy = false;
  int status_border_sides = 15;
};

layout_result compute_layout(const layout_input &in);

int layout_incr_input_height(int h);
int layout_decr_input_height(int h);
int layout_incr_channel_height(int h);
int layout_decr_channel_height(int h);

#endif
