// How the configuration store reaches the user interface. The store only
// keeps values; when a setter needs a menu item ticked, the window laid out
// again, the settings reported to the server, audio switched or fonts
// rebuilt, it calls the installed hook. The main window installs one; without
// it (unit tests) every call does nothing.
#ifndef OMBRITH_CONFIG_CONFIG_HOOK_H
#define OMBRITH_CONFIG_CONFIG_HOOK_H

// The integer preferences of a character configuration, in the order their
// elements are written to the character file.
enum config_key {
  CFG_KEYPAD_WALKING,
  CFG_URL_HOTLINKING,
  CFG_COMPACT_MODE,
  CFG_LOCAL_ECHO,
  CFG_CMD_SEPARATOR,
  CFG_CMD_PUSHTHROUGH,
  CFG_HINT_BUTTON_ENABLE,
  CFG_DIRECTION_BUTTON_ENABLE,
  CFG_FKEY_BUTTON_DISPLAY,
  CFG_BUTTON_TOOLTIPS,
  CFG_STATUS_BAR,
  CFG_SKY_BAR,
  CFG_EXP_DISPLAY,
  CFG_HPBAR_ENABLE,
  CFG_HP_DISPLAY,
  CFG_ENEMY_HPBAR_ENABLE,
  CFG_ENEMY_HP_DISPLAY,
  CFG_GROUP_STATUS_DISPLAY,
  CFG_GROUP_STATUS_INVERTED_BARS,
  CFG_POPUP_DISPLAY,
  CFG_LOCKING_SCROLLBACK_ENABLE,
  CFG_MW_SCROLLBAR_ENABLE,
  CFG_CURRENT_LAYOUT,
  CFG_CURRENT_THEME,
  CFG_CURRENT_BACKGROUND_THEME,
  CFG_FONT_COLORS_SETTING,
  CFG_THEME_BG_SETTING,
  CFG_AUTOMAP_DOCKED,
  CFG_AUTOMAP_DISPLAY,
  CFG_AUTOMAP_SIZE,
  CFG_INPUT_HEIGHT,
  CFG_CHANNEL_WINDOW_ENABLE,
  CFG_CHANNEL_WINDOW_HEIGHT,
  CFG_CHANNEL_WINDOW_DUPE,
  CFG_COLORFLASH_ENABLE,
  CFG_OPTION_COUNT,
  // Not a character setting: the installation's sound switch.
  CFG_SYSTEM_AUDIO = CFG_OPTION_COUNT
};

class config_hook {
public:
  virtual ~config_hook() = default;

  // A preference with a visible effect was set: tick the option's menu item
  // (or check the item of the chosen value) from `value`, then carry out its
  // immediate effect:
  //   CFG_COMPACT_MODE: re-apply the text font (global_font_resync).
  //   CFG_STATUS_BAR, CFG_SKY_BAR: while logged in, show or hide the bar.
  //   CFG_EXP_DISPLAY, CFG_HPBAR_ENABLE, CFG_ENEMY_HPBAR_ENABLE: the status
  //     display learns the value; while logged in it is shown when any of the
  //     three is set, hidden otherwise.
  //   CFG_MW_SCROLLBAR_ENABLE: reset the scroll bars and repaint.
  //   CFG_GROUP_STATUS_DISPLAY: 0 hides the group display.
  //   CFG_CURRENT_LAYOUT: change the window layout.
  //   CFG_CURRENT_THEME, CFG_CURRENT_BACKGROUND_THEME: change the theme (no
  //     menu item for values outside the known themes).
  //   CFG_THEME_BG_SETTING: re-apply the background theme.
  //   CFG_CHANNEL_WINDOW_ENABLE: show or hide the channel window (no item).
  //   CFG_SYSTEM_AUDIO: the "Enable Sounds" item only.
  virtual void option_changed(config_key, int) {}
  // Lay the main window out again and repaint it.
  virtual void relayout() {}
  // Mark the settings for the status report to the server at the next tick.
  virtual void report_settings() {}

  // Audio output. Without an audio engine nothing can be started.
  virtual int start_audio() { return 0; }
  virtual void stop_audio() {}

  // Build the shared fonts from the configuration's descriptions and sizes
  // (a description the toolkit does not accept changes only the size).
  virtual void apply_fonts(const char *, int, const char *, int) {}
  // The configuration in use changed: hand the fonts to every panel
  // (global_font_resync, button_font_resync).
  virtual void fonts_changed() {}

  // Re-apply the whole configuration to the interface: menu checks, status
  // display and bar (while logged in), channel window, automap size and
  // enable, dependent menu items, scroll bars, layout.
  virtual void refresh_prefs() {}
  // Check the theme and background style items and re-apply the themes.
  virtual void refresh_themes() {}
};

#endif
