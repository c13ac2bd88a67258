#include "input/line_keys.h"

#include <cstdio>

#include <wx/defs.h>

const char *keypad_walking_command(int key_code)
{
  switch (key_code) {
  case WXK_NUMPAD1:
  case WXK_NUMPAD_END:
    return "southwest";
  case WXK_NUMPAD2:
  case WXK_NUMPAD_DOWN:
    return "south";
  case WXK_NUMPAD3:
  case WXK_NUMPAD_PAGEDOWN:
    return "southeast";
  case WXK_NUMPAD4:
  case WXK_NUMPAD_LEFT:
    return "west";
  case WXK_NUMPAD5:
  case WXK_NUMPAD_BEGIN:
    return "scan -mc";
  case WXK_NUMPAD6:
  case WXK_NUMPAD_RIGHT:
    return "east";
  case WXK_NUMPAD7:
  case WXK_NUMPAD_HOME:
    return "northwest";
  case WXK_NUMPAD8:
  case WXK_NUMPAD_UP:
    return "north";
  case WXK_NUMPAD9:
  case WXK_NUMPAD_PAGEUP:
    return "northeast";
  case WXK_NUMPAD_ADD:
    return "up";
  case WXK_NUMPAD_SUBTRACT:
  case WXK_NUMPAD_ENTER:
    return "down";
  default:
    return nullptr;
  }
}

void note_line_key_up(line_key_state &state) { state.key_down = 0; }

std::string function_key_command(const line_key_event &key)
{
  if (key.key_code < WXK_F1 || key.key_code > WXK_F12)
    return std::string();
  const char *prefix = "";
  if (key.ctrl || key.meta)
    prefix = "c";
  else if (key.alt)
    return std::string();
  else if (key.shift)
    prefix = "s";
  char command[16];
  std::snprintf(command, sizeof(command), "%sf%02d", prefix, key.key_code - WXK_F1 + 1);
  return command;
}

int wheel_notch_step(int &wheel_accum, int rotation, int wheel_delta)
{
  if (rotation == 0)
    return 0;
  int d = wheel_delta < 1 ? 1 : wheel_delta;
  int before = wheel_accum / d;
  wheel_accum += rotation;
  int after = wheel_accum / d;
  if (after > before)
    return 1;
  if (after < before)
    return -1;
  return 0;
}

namespace {

line_key_action make(line_key_action_kind kind)
{
  line_key_action a;
  a.kind = kind;
  return a;
}

line_key_action toggle_option(line_key_option option)
{
  line_key_action a;
  a.kind = KEY_TOGGLE_OPTION;
  a.option = option;
  return a;
}

line_key_action function_key(const line_key_event &key, const line_key_context &context)
{
  if (!context.logged_in)
    return make(KEY_DEFAULT);
  std::string command = function_key_command(key);
  if (command.empty())
    return make(KEY_DEFAULT);
  line_key_action a;
  a.kind = KEY_FUNCTION;
  a.command = command;
  return a;
}

bool is_function_key(int code) { return code >= WXK_F1 && code <= WXK_F12; }

// Ctrl+Shift with a digit: switches of the panels and bars.
line_key_action ctrl_shift_digit(int digit)
{
  switch (digit) {
  case 1:
    return make(KEY_TOGGLE_AUTOMAP);
  case 2:
    return toggle_option(OPTION_GROUP_STATUS);
  case 3:
    return toggle_option(OPTION_HPBAR);
  case 4:
    return toggle_option(OPTION_ENEMY_HPBAR);
  case 5:
    return toggle_option(OPTION_EXP_DISPLAY);
  case 7:
    return toggle_option(OPTION_FKEY_BUTTONS);
  case 8:
    return toggle_option(OPTION_POPUP_BUTTONS);
  case 9:
    return toggle_option(OPTION_MAIN_SCROLLBAR);
  default:
    return make(KEY_IGNORE);
  }
}

line_key_action with_ctrl(const line_key_event &key, const line_key_context &context)
{
  int code = key.key_code;
  switch (code) {
  case WXK_RETURN:
  case WXK_NUMPAD_ENTER:
    return make(KEY_PASS);
  case WXK_ESCAPE:
    return make(KEY_ESCAPE);
  case '+':
  case '=':
  case WXK_NUMPAD_ADD:
    return make(key.shift ? KEY_CHANNEL_TALLER : KEY_ZOOM_IN);
  case '-':
  case '_':
  case WXK_NUMPAD_SUBTRACT:
    return make(key.shift ? KEY_CHANNEL_LOWER : KEY_ZOOM_OUT);
  case 'P':
    return toggle_option(OPTION_HPBAR);
  case 'M':
    return make(KEY_TOGGLE_AUTOMAP);
  case 'C':
    return make(KEY_COPY_OR_BREAK);
  case 'D':
    return make(KEY_CLEAR_BREAK);
  case '\\':
    return make(KEY_CLEAR_ABORT);
  case 'K':
    return make(KEY_CLEAR);
  case 'Q':
    return make(KEY_UNFREEZE);
  case 'S':
  case 'Z':
    return make(KEY_FREEZE);
  case 'V':
    return make(KEY_PASTE);
  case '[':
    return make(key.shift ? KEY_INPUT_LOWER : KEY_AUTOMAP_SMALLER);
  case ']':
    return make(key.shift ? KEY_INPUT_TALLER : KEY_AUTOMAP_LARGER);
  case WXK_END:
  case WXK_NUMPAD_END:
    return make(KEY_END);
  case WXK_HOME:
  case WXK_NUMPAD_HOME:
    return make(KEY_HOME);
  case WXK_UP:
  case WXK_PAGEUP:
  case WXK_NUMPAD_UP:
  case WXK_NUMPAD_PAGEUP:
    return make(KEY_HOLD_SCROLL_UP);
  case WXK_DOWN:
  case WXK_NUMPAD_DOWN:
    return make(KEY_HOLD_SCROLL_DOWN);
  case WXK_PAGEDOWN:
  case WXK_NUMPAD_PAGEDOWN:
    return make(KEY_SCROLL_DOWN);
  default:
    break;
  }
  if (code >= '0' && code <= '9') {
    int digit = code - '0';
    if (key.shift)
      return ctrl_shift_digit(digit);
    line_key_action a;
    a.kind = KEY_TOGGLE_POPUP;
    a.number = digit == 0 ? 10 : digit;
    return a;
  }
  if (is_function_key(code))
    return function_key(key, context);
  return make(KEY_DEFAULT);
}

line_key_action without_ctrl(const line_key_event &key, const line_key_context &context)
{
  switch (key.key_code) {
  case WXK_RETURN:
  case WXK_NUMPAD_ENTER:
    return make(KEY_SUBMIT);
  case WXK_END:
  case WXK_NUMPAD_END:
    return make(KEY_END);
  case WXK_HOME:
  case WXK_NUMPAD_HOME:
    return make(KEY_HOME);
  case WXK_UP:
  case WXK_NUMPAD_UP:
    return make(KEY_HISTORY_UP);
  case WXK_DOWN:
  case WXK_NUMPAD_DOWN:
    return make(KEY_HISTORY_DOWN);
  case WXK_PAGEUP:
  case WXK_NUMPAD_PAGEUP:
    return make(KEY_HOLD_SCROLL_UP);
  case WXK_PAGEDOWN:
  case WXK_NUMPAD_PAGEDOWN:
    return make(KEY_SCROLL_DOWN);
  case WXK_ESCAPE:
    return make(KEY_ESCAPE);
  default:
    break;
  }
  if (is_function_key(key.key_code))
    return function_key(key, context);
  return make(KEY_DEFAULT);
}

} // namespace

line_key_action decide_line_key(line_key_state &state, const line_key_event &key, const line_key_context &context)
{
  line_key_state previous = state;
  state.key_down = 1;
  state.last_key_ctrl = key.ctrl ? 1 : 0;
  state.last_key_code = key.key_code;

  // Number-pad walking; a held key sends once. Only the same key repeats:
  // a modifier held down (or a second key pressed before the first is
  // released) must not swallow the step.
  if (context.keypad_walking && !key.ctrl && !key.shift) {
    if (const char *command = keypad_walking_command(key.key_code)) {
      if (previous.key_down && previous.last_key_code == key.key_code)
        return make(KEY_IGNORE);
      line_key_action a;
      a.kind = KEY_WALK;
      a.command = command;
      return a;
    }
  }

  // The whole text selected after a submit: Home and Left start editing it,
  // Up goes past the command just sent.
  if (context.whole_text_selected) {
    bool home = key.key_code == WXK_HOME || key.key_code == WXK_LEFT || key.key_code == WXK_NUMPAD_HOME;
    if (home && context.cmd_pushthrough)
      return make(KEY_SELECTED_HOME);
    bool up = key.key_code == WXK_UP || key.key_code == WXK_NUMPAD_UP;
    if (up && !key.ctrl && !key.shift)
      return make(KEY_SELECTED_UP);
  }

  if (!key.ctrl)
    return without_ctrl(key, context);

  // A Ctrl key held down acts once (Ctrl+Backspace may repeat).
  if (previous.key_down && previous.last_key_ctrl == 1 && previous.last_key_code == key.key_code &&
      key.key_code != WXK_BACK)
    return make(KEY_IGNORE);
  return with_ctrl(key, context);
}
