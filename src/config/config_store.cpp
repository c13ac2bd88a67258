#include "config/config_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/fontutil.h>

#include "app/debug_log.h"
#include "app/gui_app.h"
#include "config/safe_file_save.h"
#include "config/xml_subset.h"
#include "gfx/font.h"
#include "util/platform.h"
#include "util/random.h"
#include "util/strings.h"

char global_uuid[34] = "";
int global_uuid_create_time = 0;
int global_last_voting_time = 0;
int global_last_voting_reminder_time = 0;
int global_voting_reminder_enable = 1;
voting_url voting_urls[VOTING_URL_SLOTS];

std::string connect_address = "localhost";
int connect_port = DEFAULT_CONNECT_PORT;
// Set when the system file named a connection target, so that it is written
// back even when it equals the defaults.
static bool connect_target_in_file = false;

MConfig *MConfig::instance = nullptr;

static config_hook empty_hook;

namespace {

const char SYSTEM_FILE_NAME[] = "ombrith.cfg";
const char CHAR_DIR_NAME[] = "char_configs";
// Texts of the system file, strings of a character file, popup names.
enum { SYSTEM_TEXT_SIZE = 1000, CONFIG_TEXT_SIZE = 10000, TAG_SIZE = 1000 };

enum range_kind { KEEP_ANY, LOWEST_BIT, IN_RANGE_OR_FALLBACK, CLAMPED };

// What a setter does after storing the value.
enum {
  SAME_DOES_NOTHING = 1,  // nothing at all when the value is unchanged
  NOTIFY = 2,             // menu check and immediate effect (hook option_changed)
  RELAYOUT = 4,
  REPORT = 8,
};

struct option_info {
  config_key key;
  const char *name;
  int character_config::*field;
  int default_value;
  range_kind range;
  int low, high, fallback;
  int effects;
};

#define CC(f) &character_config::f
const int PANEL = SAME_DOES_NOTHING | NOTIFY | RELAYOUT | REPORT;
constexpr option_info OPTIONS[PREF_OPTION_COUNT] = {
    {PREF_KEYPAD_WALKING, "keypad_walking", CC(keypad_walking), 1, LOWEST_BIT, 0, 0, 0, NOTIFY},
    {PREF_URL_HOTLINKING, "url_hotlinking", CC(url_hotlinking), 1, LOWEST_BIT, 0, 0, 0, NOTIFY},
    {PREF_COMPACT_MODE, "compact_mode", CC(compact_mode), 0, LOWEST_BIT, 0, 0, 0, NOTIFY},
    {PREF_LOCAL_ECHO, "local_echo", CC(local_echo), 1, LOWEST_BIT, 0, 0, 0, NOTIFY},
    {PREF_CMD_SEPARATOR, "cmd_separator", CC(cmd_separator), 1, LOWEST_BIT, 0, 0, 0, NOTIFY | REPORT},
    {PREF_CMD_PUSHTHROUGH, "cmd_pushthrough", CC(cmd_pushthrough), 0, LOWEST_BIT, 0, 0, 0, NOTIFY},
    {PREF_HINT_BUTTON_ENABLE, "hint_button_enable", CC(hint_button_enable), 1, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_DIRECTION_BUTTON_ENABLE, "direction_button_enable", CC(direction_button_enable), 0, LOWEST_BIT, 0, 0, 0,
     PANEL},
    {PREF_FKEY_BUTTON_DISPLAY, "fkey_button_display", CC(fkey_button_display), 0, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_BUTTON_TOOLTIPS, "button_tooltips", CC(button_tooltips), 0, LOWEST_BIT, 0, 0, 0, 0},
    {PREF_STATUS_BAR, "status_bar", CC(status_bar), 1, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_SKY_BAR, "sky_bar", CC(sky_bar), 1, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_EXP_DISPLAY, "exp_display", CC(exp_display), 1, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_HPBAR_ENABLE, "hpbar_enable", CC(hpbar_enable), 1, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_HP_DISPLAY, "hp_display", CC(hp_display), 0, LOWEST_BIT, 0, 0, 0, 0},
    {PREF_ENEMY_HPBAR_ENABLE, "enemy_hpbar_enable", CC(enemy_hpbar_enable), 1, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_ENEMY_HP_DISPLAY, "enemy_hp_display", CC(enemy_hp_display), 1, LOWEST_BIT, 0, 0, 0, 0},
    {PREF_GROUP_STATUS_DISPLAY, "group_status_display", CC(group_status_display), 1, IN_RANGE_OR_FALLBACK, 0, 2, 0,
     PANEL},
    {PREF_GROUP_STATUS_INVERTED_BARS, "group_status_inverted_bars", CC(group_status_inverted_bars), 1, LOWEST_BIT, 0,
     0, 0, NOTIFY},
    {PREF_POPUP_DISPLAY, "popup_display", CC(popup_display), 1, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_LOCKING_SCROLLBACK_ENABLE, "locking_scrollback_enable", CC(locking_scrollback_enable), 0, LOWEST_BIT, 0, 0,
     0, NOTIFY},
    {PREF_MW_SCROLLBAR_ENABLE, "mw_scrollbar_enable", CC(mw_scrollbar_enable), 1, LOWEST_BIT, 0, 0, 0,
     SAME_DOES_NOTHING | NOTIFY},
    {PREF_CURRENT_LAYOUT, "current_layout", CC(current_layout), 2, CLAMPED, 0, 2, 0,
     SAME_DOES_NOTHING | NOTIFY | REPORT},
    {PREF_CURRENT_THEME, "current_theme", CC(current_theme), 1, KEEP_ANY, 0, 0, 0,
     SAME_DOES_NOTHING | NOTIFY | REPORT},
    {PREF_CURRENT_BACKGROUND_THEME, "current_background_theme", CC(current_background_theme), 2, KEEP_ANY, 0, 0, 0,
     SAME_DOES_NOTHING | NOTIFY | REPORT},
    {PREF_FONT_COLORS_SETTING, "font_colors_setting", CC(font_colors_setting), 0, IN_RANGE_OR_FALLBACK, 0, 3, 0,
     REPORT},
    {PREF_THEME_BG_SETTING, "theme_bg_setting", CC(theme_bg_setting), 3, IN_RANGE_OR_FALLBACK, 0, 5, 3,
     SAME_DOES_NOTHING | NOTIFY | REPORT},
    {PREF_AUTOMAP_DOCKED, "automap_docked", CC(automap_docked), 1, LOWEST_BIT, 0, 0, 0, REPORT},
    {PREF_AUTOMAP_DISPLAY, "automap_display", CC(automap_display), 1, LOWEST_BIT, 0, 0, 0, REPORT},
    {PREF_AUTOMAP_SIZE, "automap_size", CC(automap_size), 11, IN_RANGE_OR_FALLBACK, 1, 400, 11, 0},
    {PREF_INPUT_HEIGHT, "input_height", CC(input_height), 48, IN_RANGE_OR_FALLBACK, 24, 800, 48, 0},
    {PREF_CHANNEL_WINDOW_ENABLE, "channel_window_enable", CC(channel_window_enable), 0, LOWEST_BIT, 0, 0, 0, PANEL},
    {PREF_CHANNEL_WINDOW_HEIGHT, "channel_window_height", CC(channel_window_height), 25, IN_RANGE_OR_FALLBACK, 10, 80,
     25, 0},
    {PREF_CHANNEL_WINDOW_DUPE, "channel_window_dupe", CC(channel_window_dupe), 1, LOWEST_BIT, 0, 0, 0, REPORT},
    {PREF_COLORFLASH_ENABLE, "colorflash_enable", CC(colorflash_enable), 1, LOWEST_BIT, 0, 0, 0, NOTIFY | REPORT},
};
#undef CC

constexpr bool options_in_key_order()
{
  for (int i = 0; i < PREF_OPTION_COUNT; ++i)
    if (OPTIONS[i].key != i)
      return false;
  return true;
}
static_assert(options_in_key_order(), "OPTIONS must be indexed by config_key");

std::string config_dir_file(const char *name)
{
  const char *dir = vesk_client_get_config_directory_path();
  std::string path = dir ? dir : "(null)";
  path += "/";
  path += name;
  return path;
}

std::string char_file_path(const std::string &name)
{
  return config_dir_file(CHAR_DIR_NAME) + "/" + name + ".cfg";
}

// Opens a configuration file for reading only when it is a regular file, so
// that a FIFO or a device put in its place cannot block or flood the start.
FILE *open_config_file(const std::string &path)
{
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE *file = fdopen(fd, "r");
  if (!file)
    ::close(fd);
  return file;
}

// The toolkit's native description of a font, as text.
std::string describe_font(const wxFont *font)
{
  if (!font || !font->IsOk())
    return std::string();
  return std::string(font->GetNativeFontInfoDesc().utf8_str().data());
}

// Gives a shared font the face described by `description` at `size`; only
// the size when the toolkit does not accept the description.
void apply_one_font(vesk_font *font, const std::string &description, int size)
{
  if (!font)
    return;
  wxNativeFontInfo info;
  if (!description.empty() && info.FromString(wxString::FromUTF8(description.c_str()))) {
    wxFont described(info);
    if (described.IsOk()) {
      described.SetPointSize(size);
      font->bulk_change_font(described);
      return;
    }
  }
  font->SetPointSize(size);
}

int clamp_to_range(const option_info &o, int value)
{
  switch (o.range) {
  case LOWEST_BIT:
    return value & 1;
  case IN_RANGE_OR_FALLBACK:
    return (value < o.low || value > o.high) ? o.fallback : value;
  case CLAMPED:
    return value < o.low ? o.low : (value > o.high ? o.high : value);
  case KEEP_ANY:
    break;
  }
  return value;
}

void copy_text(char *dest, size_t size, const char *text)
{
  std::snprintf(dest, size, "%s", text ? text : "");
}

// Reads the int value of the element just opened into `value`; the value is
// kept when the text is not a number.
void read_int(vesk_xml_reader &reader, int &value) { reader.read_data(&value); }

// Reads the text of the element just opened; true when it could be read.
bool read_text(vesk_xml_reader &reader, std::string &out, int size)
{
  std::vector<char> area((size_t)size);
  if (!reader.read_data(area.data(), size))
    return false;
  out = area.data();
  return true;
}

// "vote_menu<k>_name" / "vote_menu<k>_url": the slot and which of the two.
bool parse_vote_tag(const char *tag, int *slot, bool *is_name)
{
  if (std::strncmp(tag, "vote_menu", 9) != 0)
    return false;
  const char *p = tag + 9;
  if (*p < '0' || *p > '9')
    return false;
  int k = 0;
  while (*p >= '0' && *p <= '9' && k < 1000)
    k = k * 10 + (*p++ - '0');
  if (k >= VOTING_URL_SLOTS)
    return false;
  if (wordcmp(p, "_name"))
    *is_name = true;
  else if (wordcmp(p, "_url"))
    *is_name = false;
  else
    return false;
  *slot = k;
  return true;
}

void load_popup_list(vesk_xml_reader &reader, character_config &config)
{
  // Each entry goes before the ones read earlier, so the newest (last in the
  // file) comes first; collected first to keep a long list linear.
  std::vector<popup_data> loaded;
  char tag[TAG_SIZE];
  while (reader.read_tag(tag, sizeof(tag))) {
    if (!wordcmp(tag, "single_popup_window")) {
      reader.skip_data();
      continue;
    }
    popup_data popup;
    while (reader.read_tag(tag, sizeof(tag))) {
      if (wordcmp(tag, "name"))
        reader.read_data(popup.name, sizeof(popup.name));
      else if (wordcmp(tag, "x"))
        read_int(reader, popup.x);
      else if (wordcmp(tag, "y"))
        read_int(reader, popup.y);
      else if (wordcmp(tag, "width"))
        read_int(reader, popup.width);
      else if (wordcmp(tag, "height"))
        read_int(reader, popup.height);
      else
        reader.skip_data();
    }
    loaded.push_back(popup);
  }
  config.popup_window_list.insert(config.popup_window_list.begin(), loaded.rbegin(), loaded.rend());
}

// True when the character's name may become a file name; logs the refusal
// otherwise (such a configuration lives in memory only).
bool name_usable_as_file(const char *name, const char *operation, int level)
{
  if (config_name_is_safe_file_name(name))
    return true;
  VESK_LOG(level, "%s - the name '%s' cannot be used as a file name; its settings are kept in memory only.\n",
           operation, name ? name : "(null)");
  return false;
}

} // namespace

const char *config_key_name(config_key key)
{
  return (key >= 0 && key < PREF_OPTION_COUNT) ? OPTIONS[key].name : "system_audio_enable";
}

int config_key_default(config_key key)
{
  return (key >= 0 && key < PREF_OPTION_COUNT) ? OPTIONS[key].default_value : 1;
}

int config_name_is_safe_file_name(const char *name)
{
  if (!name || !*name)
    return 0;
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
    return 0;
  size_t n = 0;
  for (const unsigned char *p = (const unsigned char *)name; *p; ++p, ++n) {
    if (*p == '/' || *p < 0x20 || *p == 0x7F)
      return 0;
  }
  return n <= 200;
}

// ---------------------------------------------------------------- popup_data

popup_data::popup_data() : x(48), y(48), text_columns(0), text_rows(0), width(0), height(0) { name[0] = 0; }

popup_data::popup_data(const char *text) : popup_data() { copy_text(name, sizeof(name), text); }

// ---------------------------------------------------------------- character_config

character_config::character_config()
    : font(describe_font(global_font)), font_size(global_font_size),
      button_font(describe_font(global_button_small_font)),
      button_font_size(global_button_small_font ? global_button_small_font->GetPointSize() : 7)
{
  load_defaults();
}

int &character_config::option(config_key key) { return this->*OPTIONS[key].field; }

int character_config::option(config_key key) const { return this->*OPTIONS[key].field; }

void character_config::load_defaults()
{
  for (const option_info &o : OPTIONS)
    this->*o.field = o.default_value;
}

void character_config::set_name(const char *text) { name = text ? text : ""; }

int character_config::is_name(const char *text) const { return name == (text ? text : ""); }

void character_config::set_font(const char *description, int size)
{
  font = description ? description : "";
  font_size = size;
}

void character_config::set_button_font(const char *description, int size)
{
  button_font = description ? description : "";
  button_font_size = size;
}

void character_config::sanity_check_system_config()
{
  if (font_size < 2 || font_size > 150)
    font_size = 10;
  for (const option_info &o : OPTIONS)
    this->*o.field = clamp_to_range(o, this->*o.field);
}

void character_config::load_config_xml(vesk_xml_reader &reader)
{
  char tag[TAG_SIZE];
  while (reader.read_tag(tag, sizeof(tag))) {
    if (wordcmp(tag, "name")) {
      read_text(reader, name, CONFIG_TEXT_SIZE);
    } else if (wordcmp(tag, "font")) {
      read_text(reader, font, CONFIG_TEXT_SIZE);
    } else if (wordcmp(tag, "font_size")) {
      read_int(reader, font_size);
    } else if (wordcmp(tag, "button_font")) {
      read_text(reader, button_font, CONFIG_TEXT_SIZE);
    } else if (wordcmp(tag, "button_font_size")) {
      read_int(reader, button_font_size);
    } else if (wordcmp(tag, "popup_window_list")) {
      load_popup_list(reader, *this);
    } else if (wordcmp(tag, "use_new_layout")) {
      int value = 0;
      if (reader.read_data(&value))
        current_layout = value ? 1 : 0;
    } else if (wordcmp(tag, "bright_color_display") || wordcmp(tag, "zmud_color_display") ||
               wordcmp(tag, "gmud_color_display")) {
      int palette = wordcmp(tag, "bright_color_display") ? 1 : wordcmp(tag, "zmud_color_display") ? 2 : 3;
      int value = 0;
      if (reader.read_data(&value) && value)
        font_colors_setting = palette;
    } else {
      const option_info *found = nullptr;
      for (const option_info &o : OPTIONS) {
        if (wordcmp(tag, o.name)) {
          found = &o;
          break;
        }
      }
      if (found)
        read_int(reader, this->*found->field);
      else
        reader.skip_data();
    }
  }
  sanity_check_system_config();
}

void character_config::save_config_xml(vesk_xml_writer &writer) const
{
  writer.start_tag("single_config", 1);
  writer.write_value("name", name.c_str());
  writer.write_value("font", font.c_str());
  writer.write_value("font_size", font_size);
  writer.write_value("button_font", button_font.c_str());
  writer.write_value("button_font_size", button_font_size);
  for (const option_info &o : OPTIONS)
    writer.write_value(o.name, this->*o.field);
  writer.start_tag("popup_window_list", 1);
  for (const popup_data &p : popup_window_list) {
    writer.start_tag("single_popup_window", 1);
    writer.write_value("name", p.name);
    writer.write_value("x", p.x);
    writer.write_value("y", p.y);
    writer.write_value("width", p.width);
    writer.write_value("height", p.height);
    writer.end_tag("single_popup_window", 1);
  }
  writer.end_tag("popup_window_list", 1);
  writer.end_tag("single_config", 1);
}

int character_config::save_config_xml() const
{
  if (!name_usable_as_file(name.c_str(), "character_config::save_config_xml()", 2))
    return 0;
  std::string path = char_file_path(name);
  std::string dir = config_dir_file(CHAR_DIR_NAME);
  if (!vesk_client_get_config_directory_path() || !vesk_client_verify_config_directory_path(dir.c_str())) {
    VESK_LOG(2, "Unable to create directory for config file '%s'.\n", path.c_str());
    return 0;
  }
  vesk_safe_file_save save(path.c_str());
  FILE *file = save.open();
  if (!file) {
    VESK_LOG(1, "Unable to save config file '%s'.\n", path.c_str());
    return 0;
  }
  int written;
  {
    vesk_xml_file_writer writer(file);
    save_config_xml(writer);
    written = !writer.write_failed();
  }
  if (!written || !save.commit()) {
    if (written)
      VESK_LOG(1, "Unable to save config file '%s' (%s); the previous file is kept.\n", path.c_str(),
               save.error_text());
    else
      VESK_LOG(1, "Unable to save config file '%s' (write failed); the previous file is kept.\n", path.c_str());
    save.abandon();
    std::fflush(nullptr);
    return 0;
  }
  std::fflush(nullptr);
  return 1;
}

// ---------------------------------------------------------------- MConfig

MConfig::MConfig() : current_char_cfg(nullptr), system_audio_enable(1), installed_hook(&empty_hook) {}

MConfig *MConfig::Instance()
{
  if (!instance)
    instance = new MConfig();
  return instance;
}

void MConfig::set_hook(config_hook *h) { Instance()->installed_hook = h ? h : &empty_hook; }

config_hook &MConfig::hook() { return *Instance()->installed_hook; }

void MConfig::clear()
{
  MConfig *m = Instance();
  m->configs.clear();
  m->current_char_cfg = nullptr;
  m->system_audio_enable = 1;
  global_uuid[0] = 0;
  global_uuid_create_time = 0;
  global_last_voting_time = 0;
  global_last_voting_reminder_time = 0;
  global_voting_reminder_enable = 1;
  for (voting_url &v : voting_urls)
    v = voting_url();
  connect_address = "localhost";
  connect_port = DEFAULT_CONNECT_PORT;
  connect_target_in_file = false;
}

character_config *MConfig::add(const character_config &config)
{
  if (character_config *existing = get_only(config.name.c_str())) {
    VESK_LOG(3, "MConfig::add(), replacing config for %s.\n", config.name.c_str());
    if (existing != &config)
      *existing = config;
    return existing;
  }
  Instance()->configs.push_back(std::unique_ptr<character_config>(new character_config(config)));
  return Instance()->configs.back().get();
}

character_config *MConfig::get_only(const char *name)
{
  for (auto &c : Instance()->configs)
    if (c->is_name(name))
      return c.get();
  return nullptr;
}

character_config *MConfig::get_or_load(const char *name)
{
  if (!name)
    name = "";
  if (character_config *found = get_only(name))
    return found;
  VESK_LOG(2, "MConfig::get_or_load() - trying load of config '%s'.\n", name);
  if (!*name || !name_usable_as_file(name, "MConfig::get_or_load()", 1) || !vesk_client_get_config_directory_path())
    return nullptr;

  // Older clients kept the file directly in the configuration directory. The
  // system file is never taken for one.
  std::string old_path = config_dir_file((std::string(name) + ".cfg").c_str());
  bool old_style = false;
  FILE *file = nullptr;
  if (std::strcmp(name, "ombrith") != 0)
    file = open_config_file(old_path);
  if (file) {
    old_style = true;
    VESK_LOG(1, "MConfig::get_or_load() - got old style per-char config file '%s'.\n", old_path.c_str());
  } else {
    file = open_config_file(char_file_path(name));
    if (!file) {
      VESK_LOG(2, "MConfig::get_or_load() - no config file for '%s'.\n", name);
      return nullptr;
    }
  }
  {
    vesk_xml_file_reader reader(file);
    char tag[TAG_SIZE];
    while (reader.read_tag(tag, sizeof(tag))) {
      if (wordcmp(tag, "single_config"))
        load_xml_single_system_config(reader, name);
      else
        reader.skip_data();
    }
  }
  std::fclose(file);

  character_config *result = get_only(name);
  // Move an old file to its new place; it is deleted only once the new one
  // is safely written.
  if (result && old_style && result->save_config_xml())
    unlink(old_path.c_str());
  VESK_LOG(2, "MConfig::get_or_load() - load of config '%s' success.\n", name);
  return result;
}

character_config *MConfig::load_xml_single_system_config(vesk_xml_reader &reader, const char *expected_name)
{
  character_config config;
  config.load_config_xml(reader);
  if (config.name.empty()) {
    VESK_LOG(1, "Error in MConfig::load_xml_single_system_config(), missing name for loaded config.  Ignoring.\n");
    return nullptr;
  }
  if (expected_name && config.name != expected_name) {
    VESK_LOG(1, "Error in MConfig::load_xml_single_system_config(), got bad name '%s' for loaded config '%s'.\n",
             config.name.c_str(), expected_name);
    return nullptr;
  }
  character_config *added = add(config);
  VESK_LOG(3, "MConfig::load_xml_single_system_config() - Font size %d, '%s'.\n", added->font_size,
           added->font.c_str());
  VESK_LOG(3, "MConfig::load_xml_single_system_config() - Button font size %d, '%s'.\n", added->button_font_size,
           added->button_font.c_str());
  return added;
}

void MConfig::setup_default_config(const char *name)
{
  if (name && *name) {
    VESK_LOG(3, "MConfig::setup_default_config() - trying to use previous config '%s'.\n", name);
    if (character_config *found = get_or_load(name)) {
      Instance()->current_char_cfg = found;
      return;
    }
    VESK_LOG(3, "MConfig::setup_default_config() - unable to load or find previous config, using default.\n");
  } else {
    VESK_LOG(3, "MConfig::setup_default_config() - no previous config specified, using default.\n");
  }
  character_config unnamed;
  Instance()->current_char_cfg = add(unnamed);
}

character_config *MConfig::create_new_config(const char *name, character_config *old_config)
{
  if (!name)
    name = "";
  if (!old_config) {
    VESK_LOG(1, "Error in MConfig::create_new_config(), NULL old config?  Creating new.\n");
    character_config fresh;
    return add(fresh);
  }
  if (old_config->name.empty()) {
    VESK_LOG(3, "MConfig::create_new_config() - attaching name '%s' to current blank config.\n", name);
    old_config->set_name(name);
    return old_config;
  }
  VESK_LOG(3, "MConfig::create_new_config() - making a copy of current config '%s' to create config '%s'.\n",
           old_config->name.c_str(), name);
  character_config copy = *old_config;
  copy.set_name(name);
  return add(copy);
}

void MConfig::UseConfig(const char *name)
{
  character_config *config = get_or_load(name);
  if (!config)
    config = create_new_config(name, Instance()->current_char_cfg);
  Instance()->current_char_cfg = config;
  RefreshThemes();
  RefreshPrefs();
  apply_font();
  hook().fonts_changed();
}

// ---------------------------------------------------------------- system file

void MConfig::load_system_config_file()
{
  const char *dir = vesk_client_get_config_directory_path();
  if (!dir) {
    VESK_LOG(1, "Unable to load system config - no config file directory.\n");
    return;
  }
  std::string sound_version = config_dir_file("sound_version.cfg");
  if (vesk_filename_is_regular_file(sound_version.c_str()))
    unlink(sound_version.c_str());

  Buffer curr_config;
  std::string path = config_dir_file(SYSTEM_FILE_NAME);
  FILE *file = open_config_file(path);
  VESK_LOG(3, "load_system_config_file() - using core config file name '%s'.\n", path.c_str());
  if (!file) {
    VESK_LOG(1, "Unable to load system config - cannot open config file '%s'.\n", path.c_str());
  } else {
    vesk_xml_file_reader reader(file);
    std::vector<char> line(10000);
    line[0] = 0;
    fget_line(file, line.data(), (int)line.size());
    if (!reader.check_xml_header_string(line.data())) {
      VESK_LOG(1, "Warning in load_system_config_file() - bad XML header, bailing.\n");
    } else {
      char tag[TAG_SIZE];
      while (reader.read_tag(tag, sizeof(tag))) {
        if (wordcmp(tag, "system_config_list")) {
          load_xml_system_config(reader, curr_config);
        } else {
          VESK_LOG(1, "MConfig::load_system_config_file() got unknown tag '%s'\n", tag);
          reader.skip_data();
        }
      }
    }
    std::fclose(file);
  }
  if (!global_uuid[0]) {
    create_default_uuid();
    VESK_LOG(3, "load_system_config_file() - created default uuid '%s'.\n", global_uuid);
  }
  setup_default_config(curr_config.text);
  apply_font();
}

void MConfig::load_xml_system_config(vesk_xml_reader &reader, Buffer &curr_config)
{
  char tag[TAG_SIZE];
  std::string text;
  int slot;
  bool is_name;
  while (reader.read_tag(tag, sizeof(tag))) {
    if (wordcmp(tag, "uuid")) {
      if (read_text(reader, text, SYSTEM_TEXT_SIZE)) {
        copy_text(global_uuid, 33, text.c_str());
        VESK_LOG(3, "load_xml_system_config() - loaded uuid '%s'.\n", global_uuid);
      }
    } else if (wordcmp(tag, "uuid_create_time")) {
      read_int(reader, global_uuid_create_time);
    } else if (wordcmp(tag, "curr_config")) {
      if (read_text(reader, text, SYSTEM_TEXT_SIZE)) {
        curr_config.clear();
        curr_config.append(text.c_str());
      }
    } else if (wordcmp(tag, "system_audio_enable")) {
      read_int(reader, Instance()->system_audio_enable);
    } else if (wordcmp(tag, "last_voting_time")) {
      read_int(reader, global_last_voting_time);
    } else if (wordcmp(tag, "last_voting_reminder_time")) {
      read_int(reader, global_last_voting_reminder_time);
    } else if (wordcmp(tag, "voting_reminders")) {
      read_int(reader, global_voting_reminder_enable);
    } else if (parse_vote_tag(tag, &slot, &is_name)) {
      if (read_text(reader, text, SYSTEM_TEXT_SIZE))
        (is_name ? voting_urls[slot].name : voting_urls[slot].url) = text;
    } else if (wordcmp(tag, "bootloader_version")) {
      read_text(reader, text, SYSTEM_TEXT_SIZE);
    } else if (wordcmp(tag, "autoupdate_executable1_state") || wordcmp(tag, "autoupdate_executable2_state")) {
      int ignored = 0;
      read_int(reader, ignored);
    } else if (wordcmp(tag, "connect_address")) {
      if (read_text(reader, text, SYSTEM_TEXT_SIZE)) {
        connect_address = text.empty() ? "localhost" : text;
        connect_target_in_file = true;
      }
    } else if (wordcmp(tag, "connect_port")) {
      int port = connect_port;
      if (reader.read_data(&port)) {
        connect_port = (port >= 1 && port <= 65535) ? port : (int)DEFAULT_CONNECT_PORT;
        connect_target_in_file = true;
      }
    } else if (wordcmp(tag, "single_config")) {
      load_xml_single_system_config(reader, nullptr);
    } else {
      reader.skip_data();
    }
  }
}

void MConfig::save_xml_system_config(vesk_xml_writer &writer)
{
  MConfig *m = Instance();
  writer.start_tag("system_config_list", 1);
  writer.write_value("uuid", global_uuid);
  writer.write_value("uuid_create_time", global_uuid_create_time);
  if (m->current_char_cfg && !m->current_char_cfg->name.empty())
    writer.write_value("curr_config", m->current_char_cfg->name.c_str());
  writer.write_value("system_audio_enable", m->system_audio_enable);
  writer.write_value("last_voting_time", global_last_voting_time);
  writer.write_value("last_voting_reminder_time", global_last_voting_reminder_time);
  writer.write_value("voting_reminders", global_voting_reminder_enable);
  for (int k = 0; k < VOTING_URL_SLOTS; ++k) {
    if (voting_urls[k].name.empty())
      continue;
    char key[40];
    std::snprintf(key, sizeof(key), "vote_menu%d_name", k);
    writer.write_value(key, voting_urls[k].name.c_str());
    std::snprintf(key, sizeof(key), "vote_menu%d_url", k);
    writer.write_value(key, voting_urls[k].url.c_str());
  }
  if (connect_target_in_file || connect_address != "localhost" || connect_port != DEFAULT_CONNECT_PORT) {
    writer.write_value("connect_address", connect_address.c_str());
    writer.write_value("connect_port", connect_port);
  }
  for (auto &c : m->configs)
    if (!c->name.empty())
      c->save_config_xml();
  writer.end_tag("system_config_list", 1);
}

int MConfig::save_system_config_file()
{
  if (!vesk_client_get_config_directory_path()) {
    VESK_LOG(1, "Unable to save system config - no config file directory.\n");
    return 0;
  }
  std::string path = config_dir_file(SYSTEM_FILE_NAME);
  vesk_safe_file_save save(path.c_str());
  FILE *file = save.open();
  if (!file) {
    VESK_LOG(1, "Unable to save system config - cannot open config file '%s'.\n", path.c_str());
    return 0;
  }
  bool written;
  {
    vesk_xml_file_writer writer(file);
    if (writer.print_standard_header() <= 0) {
      VESK_LOG(1, "Error in MConfig::save_system_config_file(), unable to write to system config file '%s'.\n",
               path.c_str());
      return 0;
    }
    save_xml_system_config(writer);
    writer.print_blank_line();
    written = !writer.write_failed();
  }
  if (!written || !save.commit()) {
    VESK_LOG(1, "Error in MConfig::save_system_config_file(), unable to write to system config file '%s'.\n",
             path.c_str());
    VESK_LOG(1, "MConfig::save_system_config_file() - %s; the previous file is kept.\n",
             written ? save.error_text() : "write failed");
    save.abandon();
    std::fflush(nullptr);
    return 0;
  }
  std::fflush(nullptr);
  return 1;
}

// ---------------------------------------------------------------- fonts

void MConfig::apply_font()
{
  character_config *c = Instance()->current_char_cfg;
  if (!c) {
    VESK_LOG(1, "Error in MConfig::apply_font(), null current_char_cfg.\n");
    return;
  }
  global_font_size = c->font_size;
  apply_one_font(global_font, c->font, c->font_size);
  apply_one_font(global_button_small_font, c->button_font, c->button_font_size);
  apply_one_font(global_button_large_font, c->button_font, c->button_font_size + 2);
}

void MConfig::SetFont(const wxFont &font) { SetFont(describe_font(&font).c_str(), font.GetPointSize()); }

void MConfig::SetButtonFont(const wxFont &font) { SetButtonFont(describe_font(&font).c_str(), font.GetPointSize()); }

void MConfig::SetFont(const char *description, int size)
{
  if (character_config *c = current())
    c->set_font(description, size);
}

void MConfig::SetButtonFont(const char *description, int size)
{
  if (character_config *c = current())
    c->set_button_font(description, size);
}

const char *MConfig::GetFontName() { return current() ? current()->font.c_str() : "junk"; }
const char *MConfig::GetButtonFontName() { return current() ? current()->button_font.c_str() : "junk"; }
int MConfig::GetFontSize() { return current() ? current()->font_size : 0; }
int MConfig::GetButtonFontSize() { return current() ? current()->button_font_size : 0; }

// ---------------------------------------------------------------- audio, popups, refresh

int MConfig::GetSystemAudio() { return Instance()->system_audio_enable; }

void MConfig::SetSystemAudio(int value)
{
  MConfig *m = Instance();
  if (value == m->system_audio_enable)
    return;
  m->system_audio_enable = value;
  hook().report_settings();
  if (value == 0) {
    hook().stop_audio();
  } else if (!hook().start_audio()) {
    VESK_LOG(1, "MConfig::SetSystemAudio() - unable to start audio.  Disabling.\n");
    m->system_audio_enable = 0;
    hook().report_settings();
    hook().stop_audio();
  }
  hook().option_changed(PREF_SYSTEM_AUDIO, m->system_audio_enable);
}

popup_data MConfig::GetPopupData(const char *name)
{
  popup_data fresh(name);
  if (character_config *c = current()) {
    for (const popup_data &p : c->popup_window_list)
      if (std::strcmp(p.name, fresh.name) == 0)
        return p;
  }
  return fresh;
}

void MConfig::SavePopupData(const popup_data &data)
{
  character_config *c = current();
  if (!c)
    return;
  for (popup_data &p : c->popup_window_list) {
    if (std::strcmp(p.name, data.name) == 0) {
      p.x = data.x;
      p.y = data.y;
      p.text_columns = data.text_columns;
      p.text_rows = data.text_rows;
      p.width = data.width;
      p.height = data.height;
      return;
    }
  }
  popup_data entry = data;
  entry.name[sizeof(entry.name) - 1] = 0;
  c->popup_window_list.insert(c->popup_window_list.begin(), entry);
}

void MConfig::UseDefaultPrefs()
{
  character_config *c = current();
  if (!c)
    return;
  c->load_defaults();
  // Through the setters, so that the menu items follow the restored values.
  SetCommandPushthrough(c->cmd_pushthrough);
  SetLocalEcho(c->local_echo);
  SetCommandSeparator(c->cmd_separator);
  SetKeypadWalking(c->keypad_walking);
  SetLockingScrollback(c->locking_scrollback_enable);
  SetUrlHotlinking(c->url_hotlinking);
  c->channel_window_dupe = config_key_default(PREF_CHANNEL_WINDOW_DUPE);
  hook().report_settings();
  SetColorFlash(c->colorflash_enable);
  RefreshPrefs();
}

void MConfig::RefreshPrefs()
{
  hook().refresh_prefs();
  hook().report_settings();
}

void MConfig::RefreshThemes()
{
  hook().refresh_themes();
  hook().report_settings();
}

// ---------------------------------------------------------------- accessors

int MConfig::get_option(config_key key)
{
  character_config *c = current();
  return c ? c->option(key) : 0;
}

void MConfig::set_option(config_key key, int value)
{
  character_config *c = current();
  if (!c)
    return;
  const option_info &o = OPTIONS[key];
  int &field = c->option(key);
  if ((o.effects & SAME_DOES_NOTHING) && field == value)
    return;
  field = value;
  if (o.effects & NOTIFY)
    hook().option_changed(key, value);
  if (o.effects & RELAYOUT)
    hook().relayout();
  if (o.effects & REPORT)
    hook().report_settings();
}

#define VESK_CONFIG_ACCESSORS(getter, setter, key)                                                                    \
  int MConfig::getter() { return get_option(key); }                                                                   \
  void MConfig::setter(int value) { set_option(key, value); }

VESK_CONFIG_ACCESSORS(GetKeypadWalking, SetKeypadWalking, PREF_KEYPAD_WALKING)
VESK_CONFIG_ACCESSORS(GetUrlHotlinking, SetUrlHotlinking, PREF_URL_HOTLINKING)
VESK_CONFIG_ACCESSORS(GetCompactMode, SetCompactMode, PREF_COMPACT_MODE)
VESK_CONFIG_ACCESSORS(GetCommandPushthrough, SetCommandPushthrough, PREF_CMD_PUSHTHROUGH)
VESK_CONFIG_ACCESSORS(GetLocalEcho, SetLocalEcho, PREF_LOCAL_ECHO)
VESK_CONFIG_ACCESSORS(GetCommandSeparator, SetCommandSeparator, PREF_CMD_SEPARATOR)
VESK_CONFIG_ACCESSORS(GetButtonTooltips, SetButtonTooltips, PREF_BUTTON_TOOLTIPS)
VESK_CONFIG_ACCESSORS(GetDirectionButton, SetDirectionButton, PREF_DIRECTION_BUTTON_ENABLE)
VESK_CONFIG_ACCESSORS(GetHintButton, SetHintButton, PREF_HINT_BUTTON_ENABLE)
VESK_CONFIG_ACCESSORS(GetFkeyButton, SetFkeyButton, PREF_FKEY_BUTTON_DISPLAY)
VESK_CONFIG_ACCESSORS(GetStatusBar, SetStatusBar, PREF_STATUS_BAR)
VESK_CONFIG_ACCESSORS(GetSkyBar, SetSkyBar, PREF_SKY_BAR)
VESK_CONFIG_ACCESSORS(GetExpDisplay, SetExpDisplay, PREF_EXP_DISPLAY)
VESK_CONFIG_ACCESSORS(GetHpbarEnable, SetHpbarEnable, PREF_HPBAR_ENABLE)
VESK_CONFIG_ACCESSORS(GetEnemyHpbarEnable, SetEnemyHpbarEnable, PREF_ENEMY_HPBAR_ENABLE)
VESK_CONFIG_ACCESSORS(GetPopupDisplay, SetPopupDisplay, PREF_POPUP_DISPLAY)
VESK_CONFIG_ACCESSORS(GetMwScrollbar, SetMwScrollbar, PREF_MW_SCROLLBAR_ENABLE)
VESK_CONFIG_ACCESSORS(GetLockingScrollback, SetLockingScrollback, PREF_LOCKING_SCROLLBACK_ENABLE)
VESK_CONFIG_ACCESSORS(GetGroupStatus, SetGroupStatus, PREF_GROUP_STATUS_DISPLAY)
VESK_CONFIG_ACCESSORS(UseGroupStatusInvertedBars, SetGroupStatusInvertedBars, PREF_GROUP_STATUS_INVERTED_BARS)
VESK_CONFIG_ACCESSORS(GetLayout, SetLayout, PREF_CURRENT_LAYOUT)
VESK_CONFIG_ACCESSORS(GetButtonTheme, SetButtonTheme, PREF_CURRENT_THEME)
VESK_CONFIG_ACCESSORS(GetBackgroundColor, SetBackgroundColor, PREF_CURRENT_BACKGROUND_THEME)
VESK_CONFIG_ACCESSORS(GetFontColors, SetFontColors, PREF_FONT_COLORS_SETTING)
VESK_CONFIG_ACCESSORS(GetBackgroundStyle, SetBackgroundStyle, PREF_THEME_BG_SETTING)
VESK_CONFIG_ACCESSORS(GetAutomapDocked, SetAutomapDocked, PREF_AUTOMAP_DOCKED)
VESK_CONFIG_ACCESSORS(GetAutomapEnable, SetAutomapEnable, PREF_AUTOMAP_DISPLAY)
VESK_CONFIG_ACCESSORS(GetAutomapSize, SetAutomapSize, PREF_AUTOMAP_SIZE)
VESK_CONFIG_ACCESSORS(GetInputHeight, SetInputHeight, PREF_INPUT_HEIGHT)
VESK_CONFIG_ACCESSORS(GetChannelWindow, SetChannelWindow, PREF_CHANNEL_WINDOW_ENABLE)
VESK_CONFIG_ACCESSORS(GetChannelHeight, SetChannelHeight, PREF_CHANNEL_WINDOW_HEIGHT)
VESK_CONFIG_ACCESSORS(GetChannelDupe, SetChannelDupe, PREF_CHANNEL_WINDOW_DUPE)
VESK_CONFIG_ACCESSORS(GetColorFlash, SetColorFlash, PREF_COLORFLASH_ENABLE)

#undef VESK_CONFIG_ACCESSORS

// ---------------------------------------------------------------- free functions

void load_system_config()
{
  MConfig::load_system_config_file();
  VESK_LOG(3, "load_system_config() - finished\n");
  VESK_LOG(3, "\n");
  std::string bootname = config_dir_file("bootname.txt");
  if (vesk_client_get_config_directory_path() && vesk_filename_is_regular_file(bootname.c_str()))
    unlink(bootname.c_str());
}

void save_system_config() { MConfig::save_system_config_file(); }

void create_default_uuid()
{
  char digits[33];
  for (int i = 0; i < 4; ++i)
    std::snprintf(digits + 8 * i, 9, "%08x", (unsigned)xrand());
  std::memcpy(digits, "DFLT", 4);
  copy_text(global_uuid, sizeof(global_uuid), digits);
  VESK_LOG(3, "create_default_uuid() - created default uuid '%s'.\n", global_uuid);
}

void set_uuid(const char *text)
{
  if (!text || !*text) {
    VESK_LOG(1, "Error in set_uuid(), null string?\n");
    create_default_uuid();
    return;
  }
  safe_strcpy(global_uuid, text, sizeof(global_uuid));
  VESK_LOG(3, "Changed uuid to '%s'.\n", global_uuid);
  int now = (int)std::time(nullptr);
  global_uuid_create_time = now;
  global_last_voting_reminder_time = now;
  global_last_voting_time = now;
  MConfig::save_system_config_file();
}
