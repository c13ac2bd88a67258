// The configuration values that the themes and the main window's background
// read: button theme, background theme, background style and window layout.
#ifndef OMBRITH_GFX_THEME_SETTINGS_H
#define OMBRITH_GFX_THEME_SETTINGS_H

int configured_button_theme();
int configured_background_theme();
int configured_background_style();
int configured_layout();

// Changes the values (for tests and the screenshot pictures).
void set_configured_theme_values(int button_theme, int background_theme, int background_style, int layout);

#endif
