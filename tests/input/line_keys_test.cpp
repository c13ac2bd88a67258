// Key decisions of the command line: walking, shortcuts, function keys,
// auto-repeat, and the wheel's notch counting.
#include <gtest/gtest.h>

#include <wx/defs.h>

#include "input/line_keys.h"

namespace {

line_key_event key(int code, bool ctrl = false, bool shift = false, bool alt = false, bool meta = false)
{
  line_key_event k;
  k.key_code = code;
  k.ctrl = ctrl;
  k.shift = shift;
  k.alt = alt;
  k.meta = meta;
  return k;
}

// One fresh key press (no key held before it).
line_key_action press(const line_key_event &k, const line_key_context &c = line_key_context())
{
  line_key_state s;
  return decide_line_key(s, k, c);
}

line_key_context logged_in()
{
  line_key_context c;
  c.logged_in = true;
  return c;
}

} // namespace

TEST(LineKeys, NumberPadWalksWithAndWithoutNumLock)
{
  struct row {
    int digit_code;  // keypad digit, Num Lock on
    int other_code;  // the same key with Num Lock off (0: none)
    const char *command;
  };
  const row rows[] = {
      {325, WXK_NUMPAD_END, "southwest"},
      {326, WXK_NUMPAD_DOWN, "south"},
      {327, WXK_NUMPAD_PAGEDOWN, "southeast"},
      {328, WXK_NUMPAD_LEFT, "west"},
      {329, WXK_NUMPAD_BEGIN, "scan -mc"},
      {330, WXK_NUMPAD_RIGHT, "east"},
      {331, WXK_NUMPAD_HOME, "northwest"},
      {332, WXK_NUMPAD_UP, "north"},
      {333, WXK_NUMPAD_PAGEUP, "northeast"},
      {388, 0, "up"},
      {390, 0, "down"},
      {370, 0, "down"},
  };
  for (const row &r : rows) {
    for (int code : {r.digit_code, r.other_code}) {
      if (!code)
        continue;
      SCOPED_TRACE(code);
      line_key_action a = press(key(code));
      EXPECT_EQ(a.kind, KEY_WALK);
      EXPECT_EQ(a.command, r.command);
      // Alt does not stop walking; Ctrl and Shift do.
      EXPECT_EQ(press(key(code, false, false, true)).kind, KEY_WALK);
      EXPECT_NE(press(key(code, true)).kind, KEY_WALK);
      EXPECT_NE(press(key(code, false, true)).kind, KEY_WALK);
    }
  }
  EXPECT_EQ(keypad_walking_command(WXK_NUMPAD0), nullptr);
  EXPECT_EQ(keypad_walking_command(WXK_NUMPAD_INSERT), nullptr);
  EXPECT_EQ(keypad_walking_command(WXK_UP), nullptr);
}

TEST(LineKeys, WithoutWalkingTheNumberPadEditsAndTypes)
{
  line_key_context c;
  c.keypad_walking = false;
  EXPECT_EQ(press(key(WXK_NUMPAD8), c).kind, KEY_DEFAULT);
  EXPECT_EQ(press(key(WXK_NUMPAD_ENTER), c).kind, KEY_SUBMIT);
  EXPECT_EQ(press(key(WXK_NUMPAD_HOME), c).kind, KEY_HOME);
  EXPECT_EQ(press(key(WXK_NUMPAD_END), c).kind, KEY_END);
  EXPECT_EQ(press(key(WXK_NUMPAD_UP), c).kind, KEY_HISTORY_UP);
  EXPECT_EQ(press(key(WXK_NUMPAD_DOWN), c).kind, KEY_HISTORY_DOWN);
}

TEST(LineKeys, AHeldWalkingKeySendsOnce)
{
  line_key_state s;
  line_key_context c;
  EXPECT_EQ(decide_line_key(s, key(WXK_NUMPAD8), c).kind, KEY_WALK);
  EXPECT_EQ(decide_line_key(s, key(WXK_NUMPAD8), c).kind, KEY_IGNORE);
  EXPECT_EQ(decide_line_key(s, key(WXK_NUMPAD8), c).kind, KEY_IGNORE);
  note_line_key_up(s);
  EXPECT_EQ(decide_line_key(s, key(WXK_NUMPAD8), c).kind, KEY_WALK);
  // Another key pressed before this one is released still walks, and so
  // does a key pressed while a modifier is held.
  EXPECT_EQ(decide_line_key(s, key(WXK_NUMPAD6), c).kind, KEY_WALK);
  note_line_key_up(s);
  decide_line_key(s, key(WXK_ALT), c);
  EXPECT_EQ(decide_line_key(s, key(WXK_NUMPAD8, false, false, true), c).kind, KEY_WALK);
  // Ordinary keys repeat as usual.
  EXPECT_EQ(decide_line_key(s, key('a'), c).kind, KEY_DEFAULT);
  EXPECT_EQ(decide_line_key(s, key('a'), c).kind, KEY_DEFAULT);
}

TEST(LineKeys, AHeldCtrlKeyActsOnceExceptBackspace)
{
  line_key_state s;
  line_key_context c;
  EXPECT_EQ(decide_line_key(s, key('D', true), c).kind, KEY_CLEAR_BREAK);
  EXPECT_EQ(decide_line_key(s, key('D', true), c).kind, KEY_IGNORE);
  note_line_key_up(s);
  EXPECT_EQ(decide_line_key(s, key('D', true), c).kind, KEY_CLEAR_BREAK);
  // The same key without Ctrl before it is not a repeat.
  note_line_key_up(s);
  decide_line_key(s, key('D'), c);
  EXPECT_EQ(decide_line_key(s, key('D', true), c).kind, KEY_CLEAR_BREAK);

  EXPECT_EQ(decide_line_key(s, key(WXK_BACK, true), c).kind, KEY_DEFAULT);
  EXPECT_EQ(decide_line_key(s, key(WXK_BACK, true), c).kind, KEY_DEFAULT);
}

TEST(LineKeys, FunctionKeysWithTheirPrefixes)
{
  struct row {
    line_key_event k;
    bool logged_in;
    const char *command;  // null: the key goes on as typed
  };
  const row rows[] = {
      {key(WXK_F3), true, "f03"},
      {key(WXK_F3, false, true), true, "sf03"},
      {key(WXK_F3, true), true, "cf03"},
      {key(WXK_F3, true, true), true, "cf03"},
      {key(WXK_F3, false, false, false, true), true, "cf03"},
      {key(WXK_F3, false, true, true), true, nullptr},
      {key(WXK_F3), false, nullptr},
      {key(WXK_F1), true, "f01"},
      {key(WXK_F12), true, "f12"},
      {key(WXK_F13), true, nullptr},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(r.command ? r.command : "(none)");
    line_key_context c;
    c.logged_in = r.logged_in;
    line_key_action a = press(r.k, c);
    if (r.command) {
      EXPECT_EQ(a.kind, KEY_FUNCTION);
      EXPECT_EQ(a.command, r.command);
    } else {
      EXPECT_EQ(a.kind, KEY_DEFAULT);
    }
  }
  EXPECT_EQ(WXK_F1, 340);
  EXPECT_EQ(WXK_F12, 351);
}

TEST(LineKeys, CtrlAndCtrlShiftShortcuts)
{
  struct row {
    int code;
    line_key_action_kind ctrl;
    line_key_action_kind ctrl_shift;
  };
  const row rows[] = {
      {'+', KEY_ZOOM_IN, KEY_CHANNEL_TALLER},
      {'=', KEY_ZOOM_IN, KEY_CHANNEL_TALLER},
      {WXK_NUMPAD_ADD, KEY_ZOOM_IN, KEY_CHANNEL_TALLER},
      {'-', KEY_ZOOM_OUT, KEY_CHANNEL_LOWER},
      {'_', KEY_ZOOM_OUT, KEY_CHANNEL_LOWER},
      {WXK_NUMPAD_SUBTRACT, KEY_ZOOM_OUT, KEY_CHANNEL_LOWER},
      {'P', KEY_TOGGLE_OPTION, KEY_TOGGLE_OPTION},
      {'M', KEY_TOGGLE_AUTOMAP, KEY_TOGGLE_AUTOMAP},
      {'C', KEY_COPY_OR_BREAK, KEY_COPY_OR_BREAK},
      {'D', KEY_CLEAR_BREAK, KEY_CLEAR_BREAK},
      {'\\', KEY_CLEAR_ABORT, KEY_CLEAR_ABORT},
      {'K', KEY_CLEAR, KEY_CLEAR},
      {'Q', KEY_UNFREEZE, KEY_UNFREEZE},
      {'S', KEY_FREEZE, KEY_FREEZE},
      {'Z', KEY_FREEZE, KEY_FREEZE},
      {'V', KEY_PASTE, KEY_PASTE},
      {'[', KEY_AUTOMAP_SMALLER, KEY_INPUT_LOWER},
      {']', KEY_AUTOMAP_LARGER, KEY_INPUT_TALLER},
      {WXK_ESCAPE, KEY_ESCAPE, KEY_ESCAPE},
      {WXK_RETURN, KEY_PASS, KEY_PASS},
      {WXK_NUMPAD_ENTER, KEY_PASS, KEY_PASS},
      {WXK_END, KEY_END, KEY_END},
      {WXK_HOME, KEY_HOME, KEY_HOME},
      {WXK_UP, KEY_HOLD_SCROLL_UP, KEY_HOLD_SCROLL_UP},
      {WXK_PAGEUP, KEY_HOLD_SCROLL_UP, KEY_HOLD_SCROLL_UP},
      {WXK_DOWN, KEY_HOLD_SCROLL_DOWN, KEY_HOLD_SCROLL_DOWN},
      {WXK_PAGEDOWN, KEY_SCROLL_DOWN, KEY_SCROLL_DOWN},
      {'A', KEY_DEFAULT, KEY_DEFAULT},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(r.code);
    EXPECT_EQ(press(key(r.code, true)).kind, r.ctrl);
    EXPECT_EQ(press(key(r.code, true, true)).kind, r.ctrl_shift);
  }
  EXPECT_EQ(press(key('P', true)).option, OPTION_HPBAR);
}

TEST(LineKeys, CtrlDigitsTogglePopupsAndCtrlShiftDigitsTheBars)
{
  struct row {
    int digit;
    line_key_action_kind kind;
    line_key_option option;
  };
  const row shifted[] = {
      {1, KEY_TOGGLE_AUTOMAP, OPTION_NONE},    {2, KEY_TOGGLE_OPTION, OPTION_GROUP_STATUS},
      {3, KEY_TOGGLE_OPTION, OPTION_HPBAR},    {4, KEY_TOGGLE_OPTION, OPTION_ENEMY_HPBAR},
      {5, KEY_TOGGLE_OPTION, OPTION_EXP_DISPLAY}, {6, KEY_IGNORE, OPTION_NONE},
      {7, KEY_TOGGLE_OPTION, OPTION_FKEY_BUTTONS}, {8, KEY_TOGGLE_OPTION, OPTION_POPUP_BUTTONS},
      {9, KEY_TOGGLE_OPTION, OPTION_MAIN_SCROLLBAR}, {0, KEY_IGNORE, OPTION_NONE},
  };
  for (const row &r : shifted) {
    SCOPED_TRACE(r.digit);
    line_key_action plain = press(key('0' + r.digit, true));
    EXPECT_EQ(plain.kind, KEY_TOGGLE_POPUP);
    EXPECT_EQ(plain.number, r.digit == 0 ? 10 : r.digit);
    line_key_action s = press(key('0' + r.digit, true, true));
    EXPECT_EQ(s.kind, r.kind);
    EXPECT_EQ(s.option, r.option);
  }
}

TEST(LineKeys, PlainKeys)
{
  struct row {
    int code;
    line_key_action_kind kind;
  };
  const row rows[] = {
      {WXK_RETURN, KEY_SUBMIT},       {WXK_END, KEY_END},
      {WXK_HOME, KEY_HOME},           {WXK_UP, KEY_HISTORY_UP},
      {WXK_DOWN, KEY_HISTORY_DOWN},   {WXK_PAGEUP, KEY_HOLD_SCROLL_UP},
      {WXK_PAGEDOWN, KEY_SCROLL_DOWN}, {WXK_ESCAPE, KEY_ESCAPE},
      {'a', KEY_DEFAULT},             {WXK_LEFT, KEY_DEFAULT},
      {WXK_F13, KEY_DEFAULT},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(r.code);
    EXPECT_EQ(press(key(r.code), logged_in()).kind, r.kind);
  }
}

TEST(LineKeys, WholeTextSelectedAfterPushthrough)
{
  line_key_context c = logged_in();
  c.whole_text_selected = true;
  EXPECT_EQ(press(key(WXK_UP), c).kind, KEY_SELECTED_UP);
  EXPECT_EQ(press(key(WXK_UP, false, true), c).kind, KEY_HISTORY_UP);
  EXPECT_EQ(press(key(WXK_HOME), c).kind, KEY_HOME);  // pushthrough off
  EXPECT_EQ(press(key(WXK_LEFT), c).kind, KEY_DEFAULT);
  c.cmd_pushthrough = true;
  for (int code : {WXK_HOME, WXK_LEFT}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(press(key(code), c).kind, KEY_SELECTED_HOME);
  }
  c.keypad_walking = false;
  EXPECT_EQ(press(key(WXK_NUMPAD_HOME), c).kind, KEY_SELECTED_HOME);
}

TEST(LineKeys, WheelCountsWholeNotches)
{
  int accum = 0;
  EXPECT_EQ(wheel_notch_step(accum, 0, 120), 0);
  EXPECT_EQ(wheel_notch_step(accum, 120, 120), 1);
  EXPECT_EQ(wheel_notch_step(accum, -120, 120), -1);
  // A smooth wheel sends parts of a notch: only a whole notch scrolls.
  EXPECT_EQ(wheel_notch_step(accum, 50, 120), 0);
  EXPECT_EQ(wheel_notch_step(accum, 50, 120), 0);
  EXPECT_EQ(wheel_notch_step(accum, 50, 120), 1);
  EXPECT_EQ(accum, 150);
  // A zero delta counts as 1.
  accum = 0;
  EXPECT_EQ(wheel_notch_step(accum, -1, 0), -1);
}
