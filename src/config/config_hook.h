// How the configuration store reaches the user interface. The store only
// keeps values; when a setter needs a menu item ticked, the window laid out
// again, the settings reported to the server, audio switched or the fonts
// handed to the panels, it calls the installed hook. The main window installs one; without
// it (unit tests) every call does nothing.
#ifndef OMBRITH_CONFIG_CONFIG_HOOK_H
#define OMBRITH_CONFIG_CONFIG_HOOK_H

// The integer preferences of a character configuration, in the order their
// elements are written to the character file.
enum config_key {
  PREF_KEYPAD_WALKING,
  PREF_URL_HOTLINKING,
  PREF_COMPACT_MODE,
  PREF_LOCAL_ECHO,
  PREF_CMD_SEPARATOR,
  PREF_CMD_PUSHTHROUGH,
  PREF_HINT_BUTTON_ENABLE,
  PREF_DIRECTION_BUTTON_ENABLE,
  PREF_FKEY_BUTTON_DISPLAY,
  PREF_BUTTON_TOOLTIPS,
  PREF_STATUS_BAR,
  PREF_SKY_BAR,
  PREF_EXP_DISPLAY,
  PREF_HPBAR_ENABLE,
  PREF_HP_DISPLAY,
  PREF_ENEMY_HPBAR_ENABLE,
  PREF_ENEMY_HP_DISPLAY,
  PREF_GROUP_STATUS_DISPLAY,
  PREF_GROUP_STATUS_INVERTED_BARS,
  PREF_POPUP_DISPLAY,
  PREF_LOCKING_SCROLLBACK_ENABLE,
  PREF_MW_SCROLLBAR_ENABLE,
  PREF_CURRENT_LAYOUT,
  PREF_CURRENT_THEME,
  PREF_CURRENT_BACKGROUND_THEME,
  PREF_FONT_COLORS_SETTING,
  PREF_THEME_BG_SETTING,
  PREF_AUTOMAP_DOCKED,
  PREF_AUTOMAP_DISPLAY,
  PREF_AUTOMAP_SIZE,
  PREF_INPUT_HEIGHT,
  PREF_CHANNEL_WINDOW_ENABLE,
  PREF_CHANNEL_WINDOW_HEIGHT,
  PREF_CHANNEL_WINDOW_DUPE,
  PREF_COLORFLASH_ENABLE,
  PREF_OPTION_COUNT,
  // Not a character setting: the installation's sound switch.
  PREF_SYSTEM_AUDIO = PREF_OPTION_COUNT
};

class config_hook {
public:
  virtual ~config_hook() = default;

  // A preference with a visible effect was set: tick the option's menu item
  // (or check the item of the chosen value) from `value`, then carry out its
  // immediate effect:
  //   PREF_COMPACT_MODE: re-apply the text font (global_font_resync).
  //   PREF_STATUS_BAR, PREF_SKY_BAR: while logged in, show or hide the bar.
  //   PREF_EXP_DISPLAY, PREF_HPBAR_ENABLE, PREF_ENEMY_HPBAR_ENABLE: the status
  //     display learns the value; while logged in it is shown when any of the
  //     three is set, hidden otherwise.
  //   PREF_MW_SCROLLBAR_ENABLE: reset the scroll bars and repaint.
  //   PREF_GROUP_STATUS_DISPLAY: 0 hides the group display.
  //   PREF_CURRENT_LAYOUT: change the window layout.
  //   PREF_CURRENT_THEME, PREF_CURRENT_BACKGROUND_THEME: change the theme (no
  //     menu item for values outside the known themes).
  //   PREF_THEME_BG_SETTING: re-apply the background theme.
  //   PREF_CHANNEL_WINDOW_ENABLE: show or hide the channel window (no item).
  //   PREF_SYSTEM_AUDIO: the "Enable Sounds" item only.
  virtual void option_changed(config_key, int) {}
  // Lay the main window out again and repaint it.
  virtual void relayout() {}
  // Mark the settings for the status report to the server at the next tick.
  virtual void report_settings() {}

  // Audio output. Without an audio engine nothing can be started.
  virtual int start_audio() { return 0; }
  virtual void stop_audio() {}

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
