// What a key pressed in the command line does: number-pad walking, the
// Ctrl and Ctrl+Shift shortcuts, the function keys, history and scrolling
// keys. The decision is a plain function of the key, its modifiers and the
// editor's state; the editor widget carries the action out.
#ifndef OMBRITH_INPUT_LINE_KEYS_H
#define OMBRITH_INPUT_LINE_KEYS_H

#include <string>

// The previous key-down, to recognise auto-repeat (a key held down sends
// repeated key-downs with no key-up between them).
struct line_key_state {
  int key_down = 0;
  int last_key_ctrl = -1;
  int last_key_code = -1;
};

struct line_key_event {
  int key_code = 0;
  bool ctrl = false;   // either of the toolkit's control flags
  bool shift = false;
  bool alt = false;
  bool meta = false;
};

// What the editor knows when a key arrives.
struct line_key_context {
  bool keypad_walking = true;
  bool cmd_pushthrough = false;
  bool logged_in = false;
  // The whole non-empty text is selected, as after a submit with pushthrough.
  bool whole_text_selected = false;
};

enum line_key_action_kind {
  KEY_DEFAULT,          // the main display follows again unless scrollback locks; the key is typed
  KEY_PASS,             // the control gets the key unchanged
  KEY_IGNORE,           // consumed, nothing happens
  KEY_WALK,             // the display follows again; `command` goes out with echo
  KEY_SELECTED_HOME,    // the selection goes, insertion point to 0
  KEY_SELECTED_UP,      // the selection goes, insertion point to the end, history up twice
  KEY_SUBMIT,           // the display follows again; the line is submitted
  KEY_END,
  KEY_HOME,
  KEY_HISTORY_UP,
  KEY_HISTORY_DOWN,
  KEY_HOLD_SCROLL_UP,   // the display holds and scrolls up half a page
  KEY_SCROLL_DOWN,      // the display scrolls down half a page
  KEY_HOLD_SCROLL_DOWN, // the display holds and scrolls down half a page
  KEY_FUNCTION,         // `command` goes out without echo; the display follows again
  KEY_ESCAPE,
  KEY_ZOOM_IN,
  KEY_ZOOM_OUT,
  KEY_CHANNEL_TALLER,
  KEY_CHANNEL_LOWER,
  KEY_TOGGLE_POPUP,     // popup window `number` (1 to 10)
  KEY_TOGGLE_AUTOMAP,
  KEY_TOGGLE_OPTION,    // the on/off option `option`
  KEY_COPY_OR_BREAK,
  KEY_CLEAR_BREAK,
  KEY_CLEAR_ABORT,
  KEY_CLEAR,
  KEY_UNFREEZE,
  KEY_FREEZE,
  KEY_PASTE,
  KEY_AUTOMAP_SMALLER,
  KEY_AUTOMAP_LARGER,
  KEY_INPUT_LOWER,
  KEY_INPUT_TALLER,
};

// The options that Ctrl+Shift+digit and Ctrl+P switch.
enum line_key_option {
  OPTION_NONE,
  OPTION_GROUP_STATUS,   // group_status_display
  OPTION_HPBAR,          // hpbar_enable
  OPTION_ENEMY_HPBAR,    // enemy_hpbar_enable
  OPTION_EXP_DISPLAY,    // exp_display
  OPTION_FKEY_BUTTONS,   // fkey_button_display
  OPTION_POPUP_BUTTONS,  // popup_display
  OPTION_MAIN_SCROLLBAR, // mw_scrollbar_enable
};

struct line_key_action {
  line_key_action_kind kind = KEY_DEFAULT;
  std::string command;  // KEY_WALK, KEY_FUNCTION
  int number = 0;       // KEY_TOGGLE_POPUP
  line_key_option option = OPTION_NONE;
};

// The walking command of a number-pad key, or null. The digits and, for a
// number pad with Num Lock off, the arrow, Home, End, Page and Begin keys in
// the same places give the same commands.
const char *keypad_walking_command(int key_code);

// Records the key in `state` and decides what it does.
line_key_action decide_line_key(line_key_state &state, const line_key_event &key, const line_key_context &context);

// Key-up: the next key-down is not an auto-repeat.
void note_line_key_up(line_key_state &state);

// The command of F1-F12 ("f01" to "f12", with "c" for Ctrl or Meta, "s" for
// Shift); empty when the key is not handled (not a function key, or Alt).
std::string function_key_command(const line_key_event &key);

// Mouse wheel: adds the rotation and returns 1 when the notch count rose
// (scroll up), -1 when it fell (scroll down), 0 when no notch was crossed.
int wheel_notch_step(int &wheel_accum, int rotation, int wheel_delta);

#endif
