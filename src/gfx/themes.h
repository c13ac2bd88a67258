// Colour themes. A button theme holds 26 colours ("theme colour n"), a
// background theme 3 ("background colour n"). Nine of each are built once at
// start-up; the configuration names the current one of each.
//
// Button theme colours:
//   0 frame of panels (automap, popup windows); outer border line of the main window
//   1 border and separator lines of the group display and the compact status display
//   2-4   highlighted button: shading, background (also the inner border line
//         of the main window and of popup windows), text
//   5-7   highlighted button under the pointer: shading and thin border, background, text
//   8-10  normal button: shading, background, text
//   11-13 normal button under the pointer: shading and thin border, background, text
//   14-16 pressed push button: shading (and thin border under the pointer), background, text
//   17-19 pressed toggle button: shading, background, text
//   20-22 pressed toggle button under the pointer: shading and thin border, background, text
//   23-25 disabled button: shading, background, text
// Background theme colours: 0 the brightest (highlights), 1 the maze lines,
// 2 the darkest (the solid style).
#ifndef OMBRITH_GFX_THEMES_H
#define OMBRITH_GFX_THEMES_H

#include "gfx/color.h"

enum { BUTTON_THEME_COLOURS = 26, BACKGROUND_THEME_COLOURS = 3 };

// Theme numbers, the same for both kinds of theme. Any other number is Blue.
enum {
  THEME_YELLOW = 0,
  THEME_BLUE = 1,
  THEME_RED = 2,
  THEME_BROWN = 40,
  THEME_YGREEN = 50,
  THEME_GREEN = 60,
  THEME_CYAN = 70,
  THEME_PURPLE = 80,
  THEME_GREY = 90,
};

// Background styles; any other value paints Maze2.
enum {
  BG_STYLE_NONE = 0,
  BG_STYLE_SOLID = 1,
  BG_STYLE_MAZE1 = 2,
  BG_STYLE_MAZE2 = 3,
  BG_STYLE_BUBBLES = 4,
  BG_STYLE_MAZE3 = 5,
};

extern vesk_color *button_theme_red, *button_theme_brown, *button_theme_yellow, *button_theme_ygreen,
    *button_theme_green, *button_theme_cyan, *button_theme_blue, *button_theme_purple, *button_theme_grey;
extern vesk_color *background_theme_red, *background_theme_brown, *background_theme_yellow,
    *background_theme_ygreen, *background_theme_green, *background_theme_cyan, *background_theme_blue,
    *background_theme_purple, *background_theme_grey;

// Null until the first reset_theme(). Panels read colours through these at
// the moment they draw.
extern vesk_color *current_button_theme;
extern vesk_color *current_background_theme;

// Builds the nine button themes and the nine background themes (once).
void initialize_themes();
void theme_setup_buttons_red();
void theme_setup_buttons_brown();
void theme_setup_buttons_yellow();
void theme_setup_buttons_ygreen();
void theme_setup_buttons_green();
void theme_setup_buttons_cyan();
void theme_setup_buttons_blue();
void theme_setup_buttons_purple();
void theme_setup_buttons_grey();
void theme_setup_backgrounds();

// Make the theme the number names current. A theme that was never built
// falls back to Blue with a log message.
void switch_button_theme_to(int number);
void switch_background_theme_to(int number);

// The same with the numbers the configuration holds.
void switch_button_theme();
void switch_background_theme();
// switch_background_theme(), then switch_button_theme().
void reset_theme();

// Colour n of the current theme; grey when no theme is current yet or n is
// out of range, so that drawing before start-up finished cannot crash.
const vesk_color &button_theme_colour(int n);
const vesk_color &background_theme_colour(int n);

#endif
