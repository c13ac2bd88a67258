// The client's settings: the system file "ombrith.cfg" with the values that
// belong to the installation, and one file per character in "char_configs"
// with that character's preferences and remembered popup windows. MConfig is
// the one registry that loads and saves them, knows the current character's
// configuration and offers a getter and a setter per preference.
#ifndef OMBRITH_CONFIG_CONFIG_STORE_H
#define OMBRITH_CONFIG_CONFIG_STORE_H

#include <memory>
#include <string>
#include <vector>

#include "config/config_hook.h"
#include "util/buffer.h"

class vesk_xml_reader;
class vesk_xml_writer;
class wxFont;

// One remembered popup window.
struct popup_data {
  popup_data();
  explicit popup_data(const char *name);

  char name[100];
  int x, y;
  int text_columns, text_rows;  // held in memory only
  int width, height;            // 0: size the window from its text size
};

class character_config {
public:
  // Defaults; the fonts are those of the shared fonts at this moment.
  character_config();

  // Resets every integer preference (keypad_walking .. colorflash_enable)
  // to its default; name, fonts and popup windows stay.
  void load_defaults();
  void set_name(const char *text);
  int is_name(const char *text) const;
  void set_font(const char *description, int size);
  void set_button_font(const char *description, int size);
  // Replaces values outside their ranges by the defaults.
  void sanity_check_system_config();

  // Reads the elements of a single_config block (the reader is just past
  // its opening tag) up to its closing tag.
  void load_config_xml(vesk_xml_reader &reader);
  void save_config_xml(vesk_xml_writer &writer) const;
  // Writes the character file; 1 on success.
  int save_config_xml() const;

  int &option(config_key key);
  int option(config_key key) const;

  std::string name;
  std::string font;
  int font_size;
  std::string button_font;
  int button_font_size;
  int keypad_walking;
  int url_hotlinking;
  int compact_mode;
  int cmd_pushthrough;
  int local_echo;
  int cmd_separator;
  int button_tooltips;
  int direction_button_enable;
  int hint_button_enable;
  int fkey_button_display;
  int status_bar;
  int sky_bar;
  int exp_display;
  int hp_display;
  int hpbar_enable;
  int enemy_hp_display;
  int enemy_hpbar_enable;
  int popup_display;
  int mw_scrollbar_enable;
  int locking_scrollback_enable;
  int group_status_display;
  int group_status_inverted_bars;
  int current_layout;
  int current_theme;
  int current_background_theme;
  int font_colors_setting;
  int theme_bg_setting;
  int automap_docked;
  int automap_display;
  int automap_size;
  int input_height;
  int channel_window_enable;
  int channel_window_height;
  int channel_window_dupe;
  int colorflash_enable;
  // Newest first.
  std::vector<popup_data> popup_window_list;
};

// Element name of a preference in the character file.
const char *config_key_name(config_key key);
// Default value of a preference.
int config_key_default(config_key key);

// 1 when a character name can be used as a file name: not empty, not "." or
// "..", no "/", no control characters, at most 200 characters. Configurations
// with other names are kept in memory only.
int config_name_is_safe_file_name(const char *name);

class MConfig {
public:
  static MConfig *Instance();
  static MConfig *instance;

  // Installs the interface hook; null installs the empty one.
  static void set_hook(config_hook *hook);
  static config_hook &hook();

  static void load_system_config_file();
  static int save_system_config_file();
  static void load_xml_system_config(vesk_xml_reader &reader, Buffer &curr_config);
  static character_config *load_xml_single_system_config(vesk_xml_reader &reader, const char *expected_name);
  static void save_xml_system_config(vesk_xml_writer &writer);

  static character_config *add(const character_config &config);
  static character_config *get_only(const char *name);
  static character_config *get_or_load(const char *name);
  static void setup_default_config(const char *name);
  static character_config *create_new_config(const char *name, character_config *old_config);
  static void UseConfig(const char *name);
  static character_config *current() { return Instance()->current_char_cfg; }

  // Makes the shared fonts those of the current configuration.
  static void apply_font();
  // Store a font's native description and point size.
  static void SetFont(const wxFont &font);
  static void SetButtonFont(const wxFont &font);
  static void SetFont(const char *description, int size);
  static void SetButtonFont(const char *description, int size);
  static const char *GetFontName();
  static const char *GetButtonFontName();
  static int GetFontSize();
  static int GetButtonFontSize();

  static int GetSystemAudio();
  static void SetSystemAudio(int value);

  static popup_data GetPopupData(const char *name);
  static void SavePopupData(const popup_data &data);

  static void UseDefaultPrefs();
  static void RefreshPrefs();
  static void RefreshThemes();

  static int GetKeypadWalking();
  static void SetKeypadWalking(int value);
  static int GetUrlHotlinking();
  static void SetUrlHotlinking(int value);
  static int GetCompactMode();
  static void SetCompactMode(int value);
  static int GetCommandPushthrough();
  static void SetCommandPushthrough(int value);
  static int GetLocalEcho();
  static void SetLocalEcho(int value);
  static int GetCommandSeparator();
  static void SetCommandSeparator(int value);
  static int GetButtonTooltips();
  static void SetButtonTooltips(int value);
  static int GetDirectionButton();
  static void SetDirectionButton(int value);
  static int GetHintButton();
  static void SetHintButton(int value);
  static int GetFkeyButton();
  static void SetFkeyButton(int value);
  static int GetStatusBar();
  static void SetStatusBar(int value);
  static int GetSkyBar();
  static void SetSkyBar(int value);
  static int GetExpDisplay();
  static void SetExpDisplay(int value);
  static int GetHpbarEnable();
  static void SetHpbarEnable(int value);
  static int GetEnemyHpbarEnable();
  static void SetEnemyHpbarEnable(int value);
  static int GetPopupDisplay();
  static void SetPopupDisplay(int value);
  static int GetMwScrollbar();
  static void SetMwScrollbar(int value);
  static int GetLockingScrollback();
  static void SetLockingScrollback(int value);
  static int GetGroupStatus();
  static void SetGroupStatus(int value);
  static int UseGroupStatusInvertedBars();
  static void SetGroupStatusInvertedBars(int value);
  static int GetLayout();
  static void SetLayout(int value);
  static int GetButtonTheme();
  static void SetButtonTheme(int value);
  static int GetBackgroundColor();
  static void SetBackgroundColor(int value);
  static int GetFontColors();
  static void SetFontColors(int value);
  static int GetBackgroundStyle();
  static void SetBackgroundStyle(int value);
  static int GetAutomapDocked();
  static void SetAutomapDocked(int value);
  static int GetAutomapEnable();
  static void SetAutomapEnable(int value);
  static int GetAutomapSize();
  static void SetAutomapSize(int value);
  static int GetInputHeight();
  static void SetInputHeight(int value);
  static int GetChannelWindow();
  static void SetChannelWindow(int value);
  static int GetChannelHeight();
  static void SetChannelHeight(int value);
  static int GetChannelDupe();
  static void SetChannelDupe(int value);
  static int GetColorFlash();
  static void SetColorFlash(int value);

  // Generic access by key, used by the named accessors.
  static int get_option(config_key key);
  static void set_option(config_key key, int value);

  // Forgets every configuration and system value (tests, fuzzing).
  static void clear();

  // Loaded configurations in the order they were added; names are unique.
  std::vector<std::unique_ptr<character_config>> configs;
  character_config *current_char_cfg;
  int system_audio_enable;

private:
  MConfig();
  config_hook *installed_hook;
};

// Process-wide values kept with the system file.
enum { VOTING_URL_SLOTS = 16 };
struct voting_url {
  std::string name;
  std::string url;
};
extern char global_uuid[34];
extern int global_uuid_create_time;
extern int global_last_voting_time;
extern int global_last_voting_reminder_time;
extern int global_voting_reminder_enable;
extern voting_url voting_urls[VOTING_URL_SLOTS];

// Where the game connection goes; kept in system_config_list.
extern std::string connect_address;
extern int connect_port;
enum { DEFAULT_CONNECT_PORT = 3102 };

void load_system_config();
void save_system_config();
void create_default_uuid();
void set_uuid(const char *text);

#endif
