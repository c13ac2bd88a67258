// The main window's record dispatcher: every complete record from the
// server arrives here by name and goes to the panel or state it concerns.
// Also the redirections of received text, the server's configuration
// commands and the settings status line.
#include <cstdio>
#include <cstring>
#include <ctime>

#include <wx/string.h>

#include "app/debug_log.h"
#include "app/main_window.h"
#include "config/config_store.h"
#include "input/line_edit.h"
#include "net/tag_dispatch.h"
#include "text/ansi_display.h"
#include "util/platform.h"
#include "util/strings.h"

wxString vesk_title_safe_name(const char *name)
{
  // The name comes from the server: escape sequences and control characters
  // are dropped so that nothing but the name's letters reach the title bar.
  std::string kept;
  for (const unsigned char *p = (const unsigned char *)(name ? name : ""); *p; ++p) {
    if (*p == 0x1B) {
      if (p[1] == '[') {
        // ESC [ parameters, up to the final byte.
        p += 2;
        while (*p && !(*p >= 0x40 && *p <= 0x7E))
          ++p;
      } else if (p[1] == ']') {
        // ESC ] text, up to BEL or ESC backslash (a terminal title request).
        p += 2;
        while (*p && *p != 0x07 && !(*p == 0x1B && p[1] == '\\'))
          ++p;
        if (*p == 0x1B)
          ++p;
      } else if (p[1]) {
        ++p;
      }
      if (!*p)
        break;
      continue;
    }
    if (*p < 0x20 || *p == 0x7F || (*p >= 0x80 && *p < 0xA0))
      continue;
    kept.push_back((char)*p);
  }
  return wxString(kept.c_str(), wxConvISO8859_1);
}

void vesk_mw::process_tagged_data(const char *name, const char *data, int length)
{
  if (!data) {
    data = "";
    length = 0;
  }
  (void)length;
  int button = 0;
  switch (classify_record(name, &button)) {
  case REC_LOGIN:
    handle_login_record(data);
    break;
  case REC_DIRS:
    handle_dirs_record(data);
    break;
  case REC_UUID:
    set_uuid(data);
    break;
  case REC_EVENT:
    handle_event_record(data);
    break;
  case REC_APPEND:
    mc_append(data);
    break;
  case REC_UNAPPEND:
    mc_unappend();
    break;
  case REC_CHDIV:
    channel_divert(data);
    break;
  case REC_CHUDIV:
    channel_undivert();
    break;
  case REC_DIVERT:
    mc_divert(data);
    break;
  case REC_UNDIVERT:
    mc_undivert();
    break;
  case REC_CONFIG:
    config_cmd_process(data);
    break;
  case REC_MAP:
  case REC_WALKFAIL:
  case REC_AREANAME:
  case REC_COMBAT:
  case REC_NCOMBAT:
  case REC_ENEMYHP:
  case REC_GROUP:
  case REC_XPP:
  case REC_HP:
  case REC_SOUND:
  case REC_BCLEAR:
  case REC_WINDOW_CREATE:
  case REC_SKYSTATE:
  case REC_ICONS:
  case REC_FKEY_BUTTON:
  case REC_HINT_BUTTON:
    // Payloads of the panels: each panel parses its own.
    break;
  case REC_UNKNOWN:
    VESK_LOG(2, "Warning in vesk_mw::process_tagged_data(), no handler for tag '%s'.\n", name ? name : "(null)");
    break;
  }
}

void vesk_mw::handle_login_record(const char *data)
{
  if (data && *data) {
    Buffer name;
    for (const char *p = data; *p && *p != '\n'; ++p)
      name.append_char(*p);
    SetTitle(wxString("Ombrith - Player ") + vesk_title_safe_name(name.text));
    MConfig::UseConfig(name.text);
  }
  last_login_time = std::time(nullptr);
  login_state = 2;
  swap_history(2);
  enable_local_echo();
  resize();
  Refresh();
  config_update_pending = 1;
}

void vesk_mw::handle_dirs_record(const char *data)
{
  dirs_record d = parse_dirs_record(data);
  if (d.switch_state < 0)
    VESK_LOG(2, "Warning in vesk_mw::process_tagged_data(), bad dirs string '%s'.\n", data);
  if (d.has_exits)
    last_exits_value = d.exits;
}

void vesk_mw::handle_event_record(const char *data)
{
  const char *rest = "";
  switch (classify_event(data, &rest)) {
  case EVENT_COLORFLASH:
    if (MConfig::GetColorFlash() && current_output_display)
      current_output_display->text_control->parse_colorflash(rest);
    break;
  case EVENT_MCPONG:
    last_ping_ms = (int)ping_time_ms(vesk_gettimeofday_useconds(), ping_sent_usec);
    VESK_LOG(3, "vesk_mw - ping time %d ms.\n", last_ping_ms);
    repaint_status_bar();
    break;
  case EVENT_NEWCREATE:
    login_state = 1;
    break;
  case EVENT_LOGOFF:
    login_state = 3;
    break;
  case EVENT_UNKNOWN:
    VESK_LOG(2, "Warning in vesk_mw::process_tagged_data(), got unhandled event '%s'.\n", data ? data : "(null)");
    break;
  }
}

// A popup window's display by name, or null when there is none.
vesk_ansi_display *vesk_mw::find_popup_display(const char *) { return nullptr; }

void vesk_mw::redirect_to_unknown_popup()
{
  current_output_display = main_text_display;
  main_text_display->reset_colors();
  main_text_display->write("\n");
  main_text_display->write("Sorry, no popup window by that name has been defined.\n");
  main_text_display->write("\n");
  main_text_display->refresh_text();
}

void vesk_mw::mc_divert(const char *name)
{
  vesk_ansi_display *target = find_popup_display(name);
  if (!target) {
    redirect_to_unknown_popup();
    return;
  }
  current_output_display = target;
  target->suspend_updates();
  target->clear_scrollback();
}

void vesk_mw::mc_append(const char *name)
{
  vesk_ansi_display *target = find_popup_display(name);
  if (!target) {
    redirect_to_unknown_popup();
    return;
  }
  current_output_display = target;
}

void vesk_mw::mc_undivert()
{
  // Without an active diversion the main display keeps following its text.
  if (current_output_display && current_output_display != main_text_display) {
    vesk_ansi_display *target = current_output_display;
    target->refresh();
    divert_saved_scroll_pos = target->get_scroll_position();
    target->resume_updates();
    target->disable_and_set_scroll_position(divert_saved_scroll_pos);
  }
  current_output_display = main_text_display;
}

void vesk_mw::mc_unappend()
{
  if (current_output_display && current_output_display != main_text_display) {
    current_output_display->refresh();
    current_output_display->scroll_to_bottom();
  }
  current_output_display = main_text_display;
}

void vesk_mw::channel_divert(const char *) { channel_divert_flag = 1; }

void vesk_mw::channel_undivert() { channel_divert_flag = 0; }

void vesk_mw::set_automap_display_enable(int enable)
{
  MConfig::SetAutomapEnable(enable ? 1 : 0);
  resize();
}

namespace {

void log_bad_config_argument(config_target target, const char *argument)
{
  VESK_LOG(2, config_bad_argument_format(target), argument ? argument : "(null)");
}

} // namespace

void vesk_mw::config_cmd_process(const char *command)
{
  config_command c = parse_config_command(command);
  if (c.target == CFG_NULL) {
    VESK_LOG(2, "Warning in vesk_mw::config_cmd_process() - got null string?\n");
    return;
  }
  if (c.target == CFG_UNKNOWN) {
    VESK_LOG(2, "Warning in vesk_mw::config_cmd_process() - got unknown command '%s'.\n", command);
    return;
  }
  if (c.action == CFG_NONE)
    return;
  if (c.action == CFG_BAD_ARGUMENT) {
    log_bad_config_argument(c.target, c.argument);
    return;
  }
  const int on = c.action == CFG_DISABLE ? 0 : 1;
  switch (c.target) {
  case CFG_AUTOMAP:
    if (MConfig::GetAutomapEnable() != on)
      set_automap_display_enable(on);
    break;
  case CFG_HINT_BUTTONS:
    MConfig::SetHintButton(on);
    break;
  case CFG_FKEY_BUTTONS:
    MConfig::SetFkeyButton(on);
    break;
  case CFG_STATUS_BAR:
    MConfig::SetHpbarEnable(on);
    break;
  case CFG_POPUP_BUTTONS:
    MConfig::SetPopupDisplay(on);
    break;
  case CFG_MAIN_WINDOW:
    main_text_display->start_newbie_demo_mode_flashing();
    break;
  case CFG_INPUT_WINDOW:
    if (input_window)
      input_window->start_newbie_demo_mode_flashing();
    break;
  case CFG_DIRECTION_BUTTONS:
    MConfig::SetDirectionButton(on);
    break;
  case CFG_EXP_BAR:
    MConfig::SetExpDisplay(on);
    break;
  case CFG_NULL:
  case CFG_UNKNOWN:
    break;
  }
}

reported_options vesk_reported_options()
{
  reported_options o;
  o.sound = MConfig::GetSystemAudio();
  o.command_separator = MConfig::GetCommandSeparator();
  o.direction_buttons = MConfig::GetDirectionButton();
  o.hint_buttons = MConfig::GetHintButton();
  o.fkey_buttons = MConfig::GetFkeyButton();
  o.status_bar = MConfig::GetStatusBar();
  o.sky_bar = MConfig::GetSkyBar();
  o.experience_bar = MConfig::GetExpDisplay();
  o.health_bar = MConfig::GetHpbarEnable();
  o.enemy_bar = MConfig::GetEnemyHpbarEnable();
  o.popup_buttons = MConfig::GetPopupDisplay();
  o.group_display = MConfig::GetGroupStatus();
  o.layout = MConfig::GetLayout();
  o.automap_enabled = MConfig::GetAutomapEnable();
  o.automap_docked = MConfig::GetAutomapDocked();
  o.channel_window = MConfig::GetChannelWindow();
  o.channel_duplicate = MConfig::GetChannelDupe();
  o.color_flash = MConfig::GetColorFlash();
  o.font_colors = MConfig::GetFontColors();
  o.voting_reminders = global_voting_reminder_enable;
  o.button_theme = MConfig::GetButtonTheme();
  o.background_color = MConfig::GetBackgroundColor();
  o.background_style = MConfig::GetBackgroundStyle();
  return o;
}

void vesk_mw::send_config_update_to_server()
{
  config_update_pending = 0;
  Buffer line;
  build_status_line(line, vesk_reported_options());
  handle_async_control_command(line.text, 0);
}
