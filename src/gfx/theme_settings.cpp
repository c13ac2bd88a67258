#include "gfx/theme_settings.h"

#include "config/config_store.h"

int configured_button_theme() { return MConfig::GetButtonTheme(); }
int configured_background_theme() { return MConfig::GetBackgroundColor(); }
int configured_background_style() { return MConfig::GetBackgroundStyle(); }
int configured_layout() { return MConfig::GetLayout(); }

void set_configured_theme_values(int button, int background, int style, int window_layout)
{
  // Written straight into the current configuration, without the setters'
  // range checks and effects, so that callers can show any combination.
  if (!MConfig::current())
    MConfig::setup_default_config(nullptr);
  character_config *c = MConfig::current();
  c->current_theme = button;
  c->current_background_theme = background;
  c->theme_bg_setting = style;
  c->current_layout = window_layout;
}
