#include "net/tag_dispatch.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "util/strings.h"

namespace {

struct named_record {
  const char *name;
  record_kind kind;
};

// Checked in this order; the first exact match wins.
const named_record record_table[] = {
    {"login", REC_LOGIN},       {"map", REC_MAP},
    {"walkfail", REC_WALKFAIL}, {"dirs", REC_DIRS},
    {"areaname", REC_AREANAME}, {"combat", REC_COMBAT},
    {"ncombat", REC_NCOMBAT},   {"uuid", REC_UUID},
    {"enemyhp", REC_ENEMYHP},   {"group", REC_GROUP},
    {"xpp", REC_XPP},           {"event", REC_EVENT},
    {"hp", REC_HP},             {"sound", REC_SOUND},
    {"bclear", REC_BCLEAR},     {"window_create", REC_WINDOW_CREATE},
    {"append", REC_APPEND},     {"unappend", REC_UNAPPEND},
    {"chdiv", REC_CHDIV},       {"chudiv", REC_CHUDIV},
    {"divert", REC_DIVERT},     {"undivert", REC_UNDIVERT},
    {"config", REC_CONFIG},     {"skystate", REC_SKYSTATE},
    {"icons", REC_ICONS},
};

// The number after a "b"/"bf" prefix as the standard conversion reads it.
int leading_number(const char *text) { return (int)std::strtol(text, nullptr, 10); }

} // namespace

record_kind classify_record(const char *name, int *button)
{
  if (!name)
    return REC_UNKNOWN;
  for (const named_record &r : record_table)
    if (std::strcmp(name, r.name) == 0)
      return r.kind;
  if (name[0] == 'b' && name[1] == 'f') {
    int n = leading_number(name + 2);
    if (n > 0) {
      if (button)
        *button = n;
      return REC_FKEY_BUTTON;
    }
  }
  if (name[0] == 'b') {
    int n = leading_number(name + 1);
    if (n > 0) {
      if (button)
        *button = n;
      return REC_HINT_BUTTON;
    }
  }
  return REC_UNKNOWN;
}

dirs_record parse_dirs_record(const char *data)
{
  dirs_record d{-1, false, 0};
  if (!data)
    return d;
  if (wordcmp(data, "on"))
    d.switch_state = 1;
  else if (wordcmp(data, "off"))
    d.switch_state = 0;
  const char *second = next_arg(data);
  if (second) {
    d.has_exits = true;
    // A one-letter word gives whatever its terminator makes of it; the
    // receivers treat such a value as meaningless.
    int c0 = (unsigned char)second[0];
    int c1 = (unsigned char)second[1];
    d.exits = ((c0 - 'A') * 32) | (c1 - 'A');
  }
  return d;
}

event_kind classify_event(const char *data, const char **rest)
{
  if (!data)
    return EVENT_UNKNOWN;
  if (wordcmp(data, "colorflash")) {
    if (rest) {
      const char *r = next_arg(data);
      *rest = r ? r : "";
    }
    return EVENT_COLORFLASH;
  }
  if (std::strcmp(data, "mcpong") == 0)
    return EVENT_MCPONG;
  if (std::strcmp(data, "newcreate") == 0)
    return EVENT_NEWCREATE;
  if (std::strcmp(data, "logoff") == 0)
    return EVENT_LOGOFF;
  return EVENT_UNKNOWN;
}

int64_t ping_time_ms(int64_t now_usec, int64_t sent_usec) { return (now_usec - sent_usec) / 1000; }

namespace {

struct config_word {
  const char *word;
  config_target target;
  bool enable_disable;
  bool flash;
  const char *bad_format;
};

const config_word config_table[] = {
    {"automap", CFG_AUTOMAP, true, true, "Error in vesk_mw::parse_cmd_automap(), bad command '%s'.\n"},
    {"hint_buttons", CFG_HINT_BUTTONS, true, true, "Error in vesk_mw::parse_cmd_hint_buttons(), bad command '%s'.\n"},
    {"fkey_buttons", CFG_FKEY_BUTTONS, true, false,
     "Error in vesk_mw::parse_cmd_fkey_buttons(), bad command '%s'.\n"},
    {"status_bar", CFG_STATUS_BAR, true, true, "Error in vesk_mw::parse_cmd_status_bar(), bad command '%s'.\n"},
    {"popup_buttons", CFG_POPUP_BUTTONS, true, true,
     "Error in vesk_mw::parse_cmd_popup_display(), bad command '%s'.\n"},
    {"main_window", CFG_MAIN_WINDOW, false, true, "Error in vesk_mw::parse_cmd_main_display(), bad command '%s'.\n"},
    {"input_window", CFG_INPUT_WINDOW, false, true,
     "Error in vesk_mw::parse_cmd_input_window(), bad command '%s'.\n"},
    {"direction_buttons", CFG_DIRECTION_BUTTONS, true, false,
     "Error in vesk_mw::parse_cmd_direction_buttons(), bad command '%s'.\n"},
    {"exp_bar", CFG_EXP_BAR, true, false, "Error in vesk_mw::parse_cmd_exp_bar(), bad command '%s'.\n"},
};

} // namespace

config_command parse_config_command(const char *command)
{
  config_command c{CFG_NULL, CFG_NONE, nullptr};
  if (!command || !*command)
    return c;
  c.target = CFG_UNKNOWN;
  for (const config_word &w : config_table) {
    if (!wordcmp(command, w.word))
      continue;
    c.target = w.target;
    c.argument = next_arg(command);
    if (!c.argument)
      c.action = CFG_NONE;
    else if (w.enable_disable && wordcmp(c.argument, "enable"))
      c.action = CFG_ENABLE;
    else if (w.enable_disable && wordcmp(c.argument, "disable"))
      c.action = CFG_DISABLE;
    else if (w.flash && wordcmp(c.argument, "flash"))
      c.action = CFG_FLASH;
    else
      c.action = CFG_BAD_ARGUMENT;
    return c;
  }
  return c;
}

const char *config_bad_argument_format(config_target target)
{
  for (const config_word &w : config_table)
    if (w.target == target)
      return w.bad_format;
  return "";
}

void build_status_line(Buffer &out, const reported_options &o)
{
  auto flag = [&out](int v) { out.append(v ? "1" : "0"); };
  auto one_two = [&out](int v) { out.append(v == 1 ? "1" : v == 2 ? "2" : "0"); };
  out.append("mclstatus ");
  flag(o.sound);
  flag(o.command_separator);
  flag(o.direction_buttons);
  flag(o.hint_buttons);
  flag(o.fkey_buttons);
  flag(o.status_bar);
  flag(o.sky_bar);
  flag(o.experience_bar);
  flag(o.health_bar);
  flag(o.enemy_bar);
  flag(o.popup_buttons);
  one_two(o.group_display);
  one_two(o.layout);
  flag(o.automap_enabled);
  flag(o.automap_docked);
  flag(o.channel_window);
  flag(o.channel_duplicate);
  flag(o.color_flash);
  if (o.font_colors >= 0 && o.font_colors <= 3) {
    char digit[2] = {(char)('0' + o.font_colors), 0};
    out.append(digit);
  } else {
    out.append("9");
  }
  flag(o.voting_reminders);
  char numbers[64];
  std::snprintf(numbers, sizeof(numbers), " %2d %2d %2d", o.button_theme, o.background_color, o.background_style);
  out.append(numbers);
}
