#include "gfx/theme_settings.h"

// Held here until the configuration store provides them; the defaults are
// the configuration's: Blue buttons, Red background, Maze2, Left Bottom.
namespace {
int button_theme = 1;
int background_theme = 2;
int background_style = 3;
int layout = 2;
} // namespace

int configured_button_theme() { return button_theme; }
int configured_background_theme() { return background_theme; }
int configured_background_style() { return background_style; }
int configured_layout() { return layout; }

void set_configured_theme_values(int button, int background, int style, int window_layout)
{
  button_theme = button;
  background_theme = background;
  background_style = style;
  layout = window_layout;
}
