#include "gfx/themes.h"

#include <cstddef>

#include "app/debug_log.h"
#include "gfx/theme_settings.h"

vesk_color *button_theme_red = nullptr, *button_theme_brown = nullptr, *button_theme_yellow = nullptr,
           *button_theme_ygreen = nullptr, *button_theme_green = nullptr, *button_theme_cyan = nullptr,
           *button_theme_blue = nullptr, *button_theme_purple = nullptr, *button_theme_grey = nullptr;
vesk_color *background_theme_red = nullptr, *background_theme_brown = nullptr, *background_theme_yellow = nullptr,
           *background_theme_ygreen = nullptr, *background_theme_green = nullptr, *background_theme_cyan = nullptr,
           *background_theme_blue = nullptr, *background_theme_purple = nullptr, *background_theme_grey = nullptr;

vesk_color *current_button_theme = nullptr;
vesk_color *current_background_theme = nullptr;

namespace {

enum { T_RED, T_BROWN, T_YELLOW, T_YGREEN, T_GREEN, T_CYAN, T_BLUE, T_PURPLE, T_GREY };

// [colour n][theme] = red, green, blue; themes in the order red, brown,
// yellow, ygreen, green, cyan, blue, purple, grey.
const unsigned char button_theme_table[26][9][3] = {
    // 0: frame of panels (automap, popup windows); outer border line of the main window
    {{192, 0, 0}, {160, 96, 64}, {192, 192, 0}, {144, 192, 0}, {0, 192, 0}, {48, 144, 192}, {48, 48, 192}, {192, 96, 192}, {192, 192, 192}},
    // 1: border and separator lines of the group display and the compact status display
    {{192, 0, 0}, {160, 96, 64}, {192, 192, 0}, {144, 192, 0}, {0, 192, 0}, {48, 144, 192}, {48, 48, 192}, {192, 96, 192}, {192, 192, 192}},
    // 2: highlighted button: shading
    {{255, 192, 0}, {160, 96, 64}, {255, 255, 0}, {192, 255, 0}, {128, 255, 128}, {64, 192, 255}, {64, 64, 255}, {255, 192, 255}, {192, 192, 192}},
    // 3: highlighted button: background; inner border line of the main window and of popup windows
    {{80, 0, 0}, {80, 48, 32}, {96, 96, 96}, {72, 96, 0}, {0, 80, 0}, {0, 64, 80}, {0, 0, 80}, {80, 0, 80}, {80, 80, 80}},
    // 4: highlighted button: text
    {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}},
    // 5: highlighted button under the pointer: shading and thin border
    {{96, 96, 96}, {96, 96, 96}, {192, 192, 0}, {144, 192, 0}, {48, 96, 48}, {48, 144, 192}, {48, 48, 192}, {96, 48, 96}, {128, 128, 128}},
    // 6: highlighted button under the pointer: background
    {{64, 0, 0}, {64, 48, 32}, {64, 64, 64}, {48, 64, 0}, {0, 64, 0}, {0, 48, 64}, {0, 0, 64}, {64, 0, 64}, {64, 64, 64}},
    // 7: highlighted button under the pointer: text
    {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}},
    // 8: normal button: shading
    {{128, 96, 0}, {128, 96, 64}, {192, 192, 0}, {144, 192, 0}, {0, 128, 0}, {32, 96, 128}, {32, 32, 128}, {128, 64, 128}, {96, 96, 96}},
    // 9: normal button: background
    {{48, 0, 0}, {48, 32, 16}, {48, 48, 48}, {32, 48, 0}, {0, 48, 0}, {0, 32, 48}, {0, 0, 48}, {48, 0, 48}, {48, 48, 48}},
    // 10: normal button: text
    {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}},
    // 11: normal button under the pointer: shading and thin border
    {{128, 128, 128}, {128, 128, 128}, {255, 255, 0}, {192, 255, 0}, {64, 128, 64}, {64, 192, 255}, {64, 64, 255}, {128, 64, 128}, {128, 128, 128}},
    // 12: normal button under the pointer: background
    {{64, 0, 0}, {64, 48, 32}, {64, 64, 64}, {48, 64, 0}, {0, 64, 0}, {0, 48, 64}, {0, 0, 64}, {64, 0, 64}, {64, 64, 64}},
    // 13: normal button under the pointer: text
    {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}},
    // 14: pressed push button: shading (and thin border under the pointer)
    {{64, 64, 64}, {64, 64, 64}, {128, 128, 0}, {96, 128, 0}, {32, 64, 32}, {0, 96, 128}, {0, 0, 128}, {64, 32, 64}, {64, 64, 64}},
    // 15: pressed push button: background
    {{48, 0, 0}, {48, 32, 16}, {48, 48, 48}, {32, 48, 0}, {0, 48, 0}, {0, 32, 48}, {0, 0, 48}, {48, 0, 48}, {32, 32, 32}},
    // 16: pressed push button: text
    {{192, 192, 192}, {192, 192, 192}, {192, 192, 192}, {192, 192, 192}, {192, 192, 192}, {192, 192, 192}, {192, 192, 192}, {192, 192, 192}, {192, 192, 192}},
    // 17: pressed toggle button: shading
    {{128, 128, 128}, {128, 128, 128}, {255, 255, 0}, {192, 255, 0}, {64, 128, 64}, {0, 192, 255}, {0, 0, 255}, {128, 64, 128}, {128, 128, 128}},
    // 18: pressed toggle button: background
    {{48, 0, 0}, {48, 32, 16}, {48, 48, 48}, {32, 48, 0}, {0, 48, 0}, {0, 32, 48}, {0, 0, 48}, {48, 0, 48}, {48, 48, 48}},
    // 19: pressed toggle button: text
    {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}},
    // 20: pressed toggle button under the pointer: shading and thin border
    {{96, 96, 96}, {96, 96, 96}, {192, 192, 0}, {144, 192, 0}, {48, 96, 48}, {0, 144, 192}, {0, 0, 192}, {96, 48, 96}, {96, 96, 96}},
    // 21: pressed toggle button under the pointer: background
    {{32, 0, 0}, {32, 24, 16}, {32, 32, 32}, {16, 32, 0}, {0, 32, 0}, {0, 24, 32}, {0, 0, 32}, {32, 0, 32}, {32, 32, 32}},
    // 22: pressed toggle button under the pointer: text
    {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}},
    // 23: disabled button: shading
    {{48, 48, 48}, {48, 48, 48}, {96, 96, 48}, {72, 96, 48}, {24, 48, 24}, {24, 72, 96}, {24, 24, 96}, {48, 24, 48}, {64, 64, 64}},
    // 24: disabled button: background
    {{32, 0, 0}, {32, 24, 16}, {32, 32, 32}, {16, 32, 0}, {0, 32, 0}, {0, 24, 32}, {0, 0, 32}, {32, 0, 32}, {32, 32, 32}},
    // 25: disabled button: text
    {{96, 96, 96}, {96, 96, 96}, {96, 96, 96}, {96, 96, 96}, {96, 96, 96}, {96, 96, 96}, {96, 96, 96}, {96, 96, 96}, {96, 96, 96}},
};

// [colour n][theme], same theme order.
const unsigned char background_theme_table[3][9][3] = {
    {{80, 0, 0}, {80, 32, 16}, {80, 80, 0}, {48, 80, 0}, {0, 80, 0}, {0, 56, 80}, {0, 0, 96}, {80, 0, 80}, {64, 64, 64}},
    {{56, 0, 0}, {56, 24, 16}, {56, 56, 0}, {32, 56, 0}, {0, 48, 0}, {0, 40, 64}, {0, 0, 64}, {56, 0, 56}, {32, 32, 32}},
    {{32, 0, 0}, {32, 16, 8}, {32, 32, 0}, {16, 32, 0}, {0, 32, 0}, {0, 24, 48}, {0, 0, 32}, {32, 0, 32}, {16, 16, 16}},
};

// A new zero-filled theme of `count` colours taken from column `theme` of a table.
template <size_t N> vesk_color *make_theme(const unsigned char (&table)[N][9][3], int theme)
{
  vesk_color *colours = new vesk_color[N]();
  for (size_t n = 0; n < N; ++n)
    colours[n] = vesk_color(table[n][theme][0], table[n][theme][1], table[n][theme][2]);
  return colours;
}

void setup_buttons(vesk_color *&slot, int theme)
{
  if (!slot)
    slot = make_theme(button_theme_table, theme);
}

void setup_background(vesk_color *&slot, int theme)
{
  if (!slot)
    slot = make_theme(background_theme_table, theme);
}

vesk_color *button_theme_for(int number)
{
  switch (number) {
  case THEME_YELLOW: return button_theme_yellow;
  case THEME_RED: return button_theme_red;
  case THEME_BROWN: return button_theme_brown;
  case THEME_YGREEN: return button_theme_ygreen;
  case THEME_GREEN: return button_theme_green;
  case THEME_CYAN: return button_theme_cyan;
  case THEME_PURPLE: return button_theme_purple;
  case THEME_GREY: return button_theme_grey;
  default: return button_theme_blue;
  }
}

vesk_color *background_theme_for(int number)
{
  switch (number) {
  case THEME_YELLOW: return background_theme_yellow;
  case THEME_RED: return background_theme_red;
  case THEME_BROWN: return background_theme_brown;
  case THEME_YGREEN: return background_theme_ygreen;
  case THEME_GREEN: return background_theme_green;
  case THEME_CYAN: return background_theme_cyan;
  case THEME_PURPLE: return background_theme_purple;
  case THEME_GREY: return background_theme_grey;
  default: return background_theme_blue;
  }
}

const vesk_color no_theme_colour(128, 128, 128);

} // namespace

void theme_setup_buttons_red() { setup_buttons(button_theme_red, T_RED); }
void theme_setup_buttons_brown() { setup_buttons(button_theme_brown, T_BROWN); }
void theme_setup_buttons_yellow() { setup_buttons(button_theme_yellow, T_YELLOW); }
void theme_setup_buttons_ygreen() { setup_buttons(button_theme_ygreen, T_YGREEN); }
void theme_setup_buttons_green() { setup_buttons(button_theme_green, T_GREEN); }
void theme_setup_buttons_cyan() { setup_buttons(button_theme_cyan, T_CYAN); }
void theme_setup_buttons_blue() { setup_buttons(button_theme_blue, T_BLUE); }
void theme_setup_buttons_purple() { setup_buttons(button_theme_purple, T_PURPLE); }
void theme_setup_buttons_grey() { setup_buttons(button_theme_grey, T_GREY); }

void theme_setup_backgrounds()
{
  setup_background(background_theme_red, T_RED);
  setup_background(background_theme_brown, T_BROWN);
  setup_background(background_theme_yellow, T_YELLOW);
  setup_background(background_theme_ygreen, T_YGREEN);
  setup_background(background_theme_green, T_GREEN);
  setup_background(background_theme_cyan, T_CYAN);
  setup_background(background_theme_blue, T_BLUE);
  setup_background(background_theme_purple, T_PURPLE);
  setup_background(background_theme_grey, T_GREY);
}

void initialize_themes()
{
  theme_setup_buttons_red();
  theme_setup_buttons_brown();
  theme_setup_buttons_yellow();
  theme_setup_buttons_ygreen();
  theme_setup_buttons_green();
  theme_setup_buttons_cyan();
  theme_setup_buttons_blue();
  theme_setup_buttons_purple();
  theme_setup_buttons_grey();
  theme_setup_backgrounds();
}

void switch_button_theme_to(int number)
{
  current_button_theme = nullptr;
  vesk_color *theme = button_theme_for(number);
  if (!theme) {
    theme = button_theme_blue;
    VESK_LOG(2, "Error in switch_button_theme() - null theme for index %d.\n", number);
  }
  current_button_theme = theme;
}

void switch_background_theme_to(int number)
{
  current_background_theme = nullptr;
  vesk_color *theme = background_theme_for(number);
  if (!theme) {
    theme = background_theme_blue;
    VESK_LOG(2, "Error in switch_background_theme() - null theme for index %d.\n", number);
  }
  current_background_theme = theme;
}

void switch_button_theme() { switch_button_theme_to(configured_button_theme()); }

void switch_background_theme() { switch_background_theme_to(configured_background_theme()); }

void reset_theme()
{
  switch_background_theme();
  switch_button_theme();
}

const vesk_color &button_theme_colour(int n)
{
  if (!current_button_theme || n < 0 || n >= BUTTON_THEME_COLOURS)
    return no_theme_colour;
  return current_button_theme[n];
}

const vesk_color &background_theme_colour(int n)
{
  if (!current_background_theme || n < 0 || n >= BACKGROUND_THEME_COLOURS)
    return no_theme_colour;
  return current_background_theme[n];
}
