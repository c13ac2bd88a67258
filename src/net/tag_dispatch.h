// Decisions of the record dispatcher that need no window: which handler a
// record name selects, the "dirs" and "event" payloads, the ping time, the
// server's configuration commands and the settings status line.
#ifndef OMBRITH_NET_TAG_DISPATCH_H
#define OMBRITH_NET_TAG_DISPATCH_H

#include <cstdint>

#include "util/buffer.h"

enum record_kind {
  REC_LOGIN,
  REC_MAP,
  REC_WALKFAIL,
  REC_DIRS,
  REC_AREANAME,
  REC_COMBAT,
  REC_NCOMBAT,
  REC_UUID,
  REC_ENEMYHP,
  REC_GROUP,
  REC_XPP,
  REC_EVENT,
  REC_HP,
  REC_SOUND,
  REC_BCLEAR,
  REC_WINDOW_CREATE,
  REC_APPEND,
  REC_UNAPPEND,
  REC_CHDIV,
  REC_CHUDIV,
  REC_DIVERT,
  REC_UNDIVERT,
  REC_CONFIG,
  REC_SKYSTATE,
  REC_ICONS,
  REC_FKEY_BUTTON,  // "bf" + number above 0
  REC_HINT_BUTTON,  // "b" + number above 0
  REC_UNKNOWN,
};

// Exact, case-sensitive lookup of a record name; *button gets the number of
// the "bf"/"b" records.
record_kind classify_record(const char *name, int *button = nullptr);

// The "dirs" payload: first word "on"/"off" (any case), then two letters
// giving the exits value.
struct dirs_record {
  int switch_state;  // 1 on, 0 off, -1 neither (a bad word)
  bool has_exits;
  int exits;
};
dirs_record parse_dirs_record(const char *data);

enum event_kind { EVENT_COLORFLASH, EVENT_MCPONG, EVENT_NEWCREATE, EVENT_LOGOFF, EVENT_UNKNOWN };
// *rest gets the text after the first word of a colour flash event.
event_kind classify_event(const char *data, const char **rest);

// Milliseconds between the ping and its answer.
int64_t ping_time_ms(int64_t now_usec, int64_t sent_usec);

// The server's configuration commands.
enum config_target {
  CFG_AUTOMAP,
  CFG_HINT_BUTTONS,
  CFG_FKEY_BUTTONS,
  CFG_STATUS_BAR,
  CFG_POPUP_BUTTONS,
  CFG_MAIN_WINDOW,
  CFG_INPUT_WINDOW,
  CFG_DIRECTION_BUTTONS,
  CFG_EXP_BAR,
  CFG_NULL,     // empty or missing command
  CFG_UNKNOWN,  // unknown command word
};
enum config_action { CFG_NONE, CFG_ENABLE, CFG_DISABLE, CFG_FLASH, CFG_BAD_ARGUMENT };

struct config_command {
  config_target target;
  config_action action;
  const char *argument;  // the argument word (for the bad-argument message)
};
config_command parse_config_command(const char *command);
// The message logged for a bad argument of that target ("%s" is the argument).
const char *config_bad_argument_format(config_target target);

// The options reported in the status line.
struct reported_options {
  int sound = 0, command_separator = 0, direction_buttons = 0, hint_buttons = 0, fkey_buttons = 0;
  int status_bar = 0, sky_bar = 0, experience_bar = 0, health_bar = 0, enemy_bar = 0, popup_buttons = 0;
  int group_display = 0, layout = 0;
  int automap_enabled = 0, automap_docked = 0, channel_window = 0, channel_duplicate = 0, color_flash = 0;
  int font_colors = 0, voting_reminders = 0;
  int button_theme = 0, background_color = 0, background_style = 0;
};
void build_status_line(Buffer &out, const reported_options &o);

#endif
