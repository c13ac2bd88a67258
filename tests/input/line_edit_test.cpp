// The command line widget under a real X display: submitting, hidden input,
// pushthrough, key actions carried out, paste, the wheel and the frame panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/frame.h>
#include <wx/log.h>

#include "app/debug_log.h"
#include "gfx/bitmap.h"
#include "input/line_edit.h"
#include "process_util.h"
#include "test_support.h"

#define REQUIRE_DISPLAY()                                                                                    \
  do {                                                                                                       \
    if (!test_have_display())                                                                                \
      GTEST_SKIP() << "needs an X display (run under xvfb-run)";                                             \
  } while (0)

namespace {

// Records what the editor asks for, as short strings.
class recording_host : public line_edit_host {
public:
  int keypad_walking() override { return walking; }
  int cmd_pushthrough() override { return pushthrough; }
  int locking_scrollback() override { return locking; }
  int logged_in() override { return login; }

  void handle_async_control_command(const char *line, int echo) override
  {
    calls.push_back((echo ? "cmd+echo " : "cmd ") + std::string(line));
  }
  void handle_async_control_break() override { calls.push_back("break"); }
  void handle_async_control_abort() override { calls.push_back("abort"); }
  void handle_async_tty_stop() override
  {
    main_follows = 0;
    calls.push_back("hold");
  }
  void handle_async_tty_start() override
  {
    main_follows = 1;
    calls.push_back("follow");
  }

  int scrolling_enabled() override { return main_follows; }
  void disable_scrolling() override { main_follows = 0; }
  void scroll_up() override { calls.push_back("up half"); }
  void scroll_down() override { calls.push_back("down half"); }
  void scroll_up(int n) override { calls.push_back("up " + std::to_string(n)); }
  void scroll_down(int n) override { calls.push_back("down " + std::to_string(n)); }
  int has_mouse_selection() override { return mouse_selection; }
  void clear_mouse_selection() override
  {
    mouse_selection = 0;
    calls.push_back("clear selection");
  }
  void display_set_default_colors() override { calls.push_back("default colors"); }
  void display_write(const char *text) override { written += text; }
  void display_refresh() override {}

  int channel_window_scrolling_enabled() override { return channel_follows; }
  void set_channel_window_scrolling(int enable) override
  {
    channel_follows = enable;
    calls.push_back("channel follow");
  }
  void clear_channel_window_selection() override { calls.push_back("clear channel selection"); }

  void window_shortcut(const line_key_action &action) override
  {
    calls.push_back("shortcut " + std::to_string((int)action.kind) + " " + std::to_string(action.number) + " " +
                    std::to_string((int)action.option));
  }

  int get_clipboard_data(wxString &text) override
  {
    if (!clipboard_readable)
      return 0;
    text = clipboard;
    return 1;
  }
  void set_clipboard_data(const wxString &text) override { clipboard = text; }

  int walking = 1, pushthrough = 0, locking = 0, login = 0;
  int main_follows = 1, channel_follows = 1, mouse_selection = 0;
  bool clipboard_readable = true;
  wxString clipboard;
  std::vector<std::string> calls;
  std::string written;
};

wxFrame *test_frame()
{
  static wxFrame *frame = new wxFrame(nullptr, wxID_ANY, "input");
  return frame;
}

class LineEdit : public ::testing::Test {
protected:
  void SetUp() override
  {
    if (!test_have_display())
      return;
    panel = new vesk_input_window(test_frame(), wxID_ANY, "main input window");
    panel->SetSize(0, 0, 400, 40);
    edit = panel->edit;
    edit->set_host(&host);
  }
  void TearDown() override
  {
    if (panel)
      panel->Destroy();
  }

  // A key-down as the toolkit delivers it; returns whether the key went on
  // to the control.
  bool key_down(int code, bool ctrl = false, bool shift = false)
  {
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = code;
    event.SetControlDown(ctrl);
    event.SetRawControlDown(ctrl);
    event.SetShiftDown(shift);
    event.SetEventObject(edit);
    edit->keyDownEvent(event);
    return event.GetSkipped();
  }
  void key_up(int code)
  {
    wxKeyEvent event(wxEVT_KEY_UP);
    event.m_keyCode = code;
    edit->keyUpEvent(event);
  }
  void press(int code, bool ctrl = false, bool shift = false)
  {
    key_down(code, ctrl, shift);
    key_up(code);
  }
  void type_and_enter(const wxString &text)
  {
    edit->ChangeValue(text);
    edit->SetInsertionPointEnd();
    press(WXK_RETURN);
  }

  recording_host host;
  vesk_input_window *panel = nullptr;
  vesk_line_edit *edit = nullptr;
};

const wxColour grey(64, 64, 64);

} // namespace

TEST_F(LineEdit, EnterSubmitsTheTransliteratedLineAndStoresIt)
{
  REQUIRE_DISPLAY();
  type_and_enter(wxString::FromUTF8("say caf\xC3\xA9 \xE2\x80\x9Chi\xE2\x80\x9D"));
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0], "cmd+echo say cafe \"hi\"");
  EXPECT_EQ(edit->GetValue(), "");
  EXPECT_EQ(*edit->state.entry(0, 2), "say cafe \"hi\"");

  // An empty line goes to the command path too, and is not stored.
  host.calls.clear();
  press(WXK_RETURN);
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0], "cmd+echo ");
  EXPECT_EQ(*edit->state.entry(0, 2), "say cafe \"hi\"");

  // Over-long lines are cut at 4999 characters.
  host.calls.clear();
  type_and_enter(wxString('x', 6000));
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0].size(), std::string("cmd+echo ").size() + 4999);
}

TEST_F(LineEdit, HiddenInputWhileEchoIsOff)
{
  REQUIRE_DISPLAY();
  edit->swap_history(HISTORY_CONNECTED);
  type_and_enter("look");
  edit->disable_echo();
  EXPECT_EQ(edit->local_echo_enabled(), 0);
  EXPECT_EQ(edit->GetForegroundColour(), grey);
  EXPECT_EQ(edit->GetBackgroundColour(), grey);
  EXPECT_EQ(edit->GetDefaultStyle().GetTextColour(), grey);

  // Even while logged in with pushthrough the password leaves the editor.
  host.login = 1;
  host.pushthrough = 1;
  type_and_enter("secret");
  EXPECT_EQ(host.calls.back(), "cmd+echo secret");
  EXPECT_EQ(edit->GetValue(), "");
  // Still hidden after the program changed the text.
  EXPECT_EQ(edit->GetForegroundColour(), grey);
  EXPECT_EQ(edit->GetDefaultStyle().GetTextColour(), grey);

  edit->enable_echo();
  EXPECT_EQ(edit->GetForegroundColour(), *wxWHITE);
  EXPECT_EQ(edit->GetDefaultStyle().GetTextColour(), *wxWHITE);
  press(WXK_UP);
  EXPECT_EQ(edit->GetValue(), "look");
  press(WXK_UP);
  EXPECT_EQ(edit->GetValue(), "look");
}

TEST_F(LineEdit, PushthroughKeepsTheCommandSelected)
{
  REQUIRE_DISPLAY();
  host.login = 1;
  host.pushthrough = 1;
  edit->swap_history(HISTORY_LOGGED_IN);
  type_and_enter("look");
  type_and_enter("north");
  EXPECT_EQ(edit->GetValue(), "north");
  long from = -1, to = -1;
  edit->GetSelection(&from, &to);
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 5);

  // Enter again resends it without storing it twice.
  press(WXK_RETURN);
  EXPECT_EQ(host.calls.back(), "cmd+echo north");
  EXPECT_EQ(*edit->state.entry(2, 3), "look");

  // Up goes past the command just sent.
  press(WXK_UP);
  EXPECT_EQ(edit->GetValue(), "look");

  // Home starts editing the selected command.
  type_and_enter("west");
  press(WXK_HOME);
  edit->GetSelection(&from, &to);
  EXPECT_EQ(from, to);
  EXPECT_EQ(edit->GetInsertionPoint(), 0);
}

TEST_F(LineEdit, NumberPadWalksOncePerPress)
{
  REQUIRE_DISPLAY();
  host.main_follows = 0;
  EXPECT_FALSE(key_down(WXK_NUMPAD8));
  EXPECT_FALSE(key_down(WXK_NUMPAD8));  // auto-repeat
  key_up(WXK_NUMPAD8);
  press(WXK_NUMPAD_BEGIN);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"follow", "cmd+echo north", "cmd+echo scan -mc"}));
  EXPECT_EQ(edit->GetValue(), "");

  host.calls.clear();
  host.walking = 0;
  EXPECT_TRUE(key_down(WXK_NUMPAD8));  // typed as a digit
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(LineEdit, FunctionKeysSendWithoutEcho)
{
  REQUIRE_DISPLAY();
  EXPECT_TRUE(key_down(WXK_F5));  // not logged in: the control has it
  key_up(WXK_F5);
  host.login = 1;
  press(WXK_F5, false, true);
  press(WXK_F5, true);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"cmd sf05", "follow", "cmd cf05", "follow"}));
}

TEST_F(LineEdit, CtrlCCopiesClearsOrBreaks)
{
  REQUIRE_DISPLAY();
  edit->ChangeValue("kill rat");
  edit->SetSelection(5, 8);
  press('C', true);
  EXPECT_EQ(host.clipboard, "rat");
  EXPECT_EQ(edit->GetValue(), "kill rat");
  long from, to;
  edit->GetSelection(&from, &to);
  EXPECT_EQ(from, to);
  EXPECT_TRUE(host.calls.empty());

  // With a mouse selection in the main display only that is cleared.
  host.mouse_selection = 1;
  press('C', true);
  EXPECT_EQ(edit->GetValue(), "");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"clear selection"}));

  host.calls.clear();
  edit->ChangeValue("flee");
  press('C', true);
  EXPECT_EQ(edit->GetValue(), "");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"break"}));

  host.calls.clear();
  edit->ChangeValue("flee");
  press('\\', true);
  EXPECT_EQ(edit->GetValue(), "");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"abort"}));
}

TEST_F(LineEdit, EscapeReleasesAHeldDisplayBeforeItClears)
{
  REQUIRE_DISPLAY();
  edit->ChangeValue("typed");
  host.main_follows = 0;
  host.channel_follows = 0;
  press(WXK_ESCAPE);
  press(WXK_ESCAPE);
  EXPECT_EQ(edit->GetValue(), "typed");
  press(WXK_ESCAPE);
  EXPECT_EQ(edit->GetValue(), "");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"follow", "channel follow", "clear selection",
                                                  "clear channel selection"}));
}

TEST_F(LineEdit, ScrollKeysAndTheLock)
{
  REQUIRE_DISPLAY();
  press(WXK_PAGEUP);
  EXPECT_EQ(host.main_follows, 0);
  // Any other key lets the display follow again, unless scrollback locks.
  host.locking = 1;
  EXPECT_TRUE(key_down('a'));
  EXPECT_EQ(host.main_follows, 0);
  host.locking = 0;
  EXPECT_TRUE(key_down('a'));
  EXPECT_EQ(host.main_follows, 1);
  press(WXK_PAGEDOWN);
  press(WXK_DOWN, true);
  press('S', true);
  press('Q', true);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hold", "up half", "follow", "down half", "hold", "down half",
                                                  "hold", "follow"}));
}

TEST_F(LineEdit, PasteInsertsOrReplacesTheSelection)
{
  REQUIRE_DISPLAY();
  host.clipboard = "get";
  edit->ChangeValue("sword");
  edit->SetInsertionPoint(0);
  press('V', true);
  EXPECT_EQ(edit->GetValue(), "getsword");
  edit->SetSelection(0, 3);
  host.clipboard = "wield ";
  press('V', true);
  EXPECT_EQ(edit->GetValue(), "wield sword");
  host.clipboard_readable = false;
  press('V', true);
  EXPECT_EQ(edit->GetValue(), "wield sword");
}

TEST_F(LineEdit, PasteFromTheSystemClipboardIsPlainText)
{
  REQUIRE_DISPLAY();
  // The client's own clipboard functions, through the system clipboard.
  line_edit_host &client = main_window_line_edit_host();
  {
    wxLogNull quiet;
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8("say \xE2\x80\x9Chi\xE2\x80\x9D, it\xE2\x80\x99s")));
    wxTheClipboard->Close();
  }
  wxString text;
  ASSERT_EQ(client.get_clipboard_data(text), 1);
  host.clipboard = text;
  press('V', true);
  EXPECT_EQ(edit->GetValue(), "say \"hi\", it's");
}

TEST_F(LineEdit, WheelScrollsThreeLinesPerNotch)
{
  REQUIRE_DISPLAY();
  for (int rotation : {120, -120, 40}) {
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.m_wheelRotation = rotation;
    event.m_wheelDelta = 120;
    edit->mouseWheelEvent(event);
  }
  EXPECT_EQ(host.calls, (std::vector<std::string>{"up 3", "down 3"}));
  EXPECT_EQ(host.main_follows, 0);
}

TEST_F(LineEdit, HistoryListingGoesToTheMainDisplay)
{
  REQUIRE_DISPLAY();
  edit->history_display();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"default colors"}));
  EXPECT_EQ(host.written, "\nRecent Command History:\n 1 - connect\n");
}

TEST_F(LineEdit, FramePanelPlacesTheEditorAndDrawsItsBorder)
{
  REQUIRE_DISPLAY();
  EXPECT_EQ(edit->GetName(), "main input window input window");
  EXPECT_EQ(edit->GetWindowStyleFlag() & 0x2024A0, 0x2024A0);
  EXPECT_EQ(edit->GetPosition(), wxPoint(2, 1));
  EXPECT_EQ(edit->GetSize(), wxSize(396, 38));
  panel->SetSize(0, 0, 3, 2);
  EXPECT_EQ(edit->GetSize(), wxSize(1, 1));

  panel->SetSize(0, 0, 60, 30);
  vesk_bitmap normal(60, 30);
  panel->repaint_dc(normal);
  vesk_bitmap expected_normal(60, 30);
  draw_strong_border(expected_normal, 60, 30, BORDER_ALL, nullptr);

  panel->start_newbie_demo_mode_flashing();  // 16 steps: even, black
  vesk_bitmap flash(60, 30);
  panel->repaint_dc(flash);
  panel->stop_animation();

  wxImage a = normal.ConvertToImage(), b = expected_normal.ConvertToImage(), f = flash.ConvertToImage();
  EXPECT_EQ(a.GetRed(0, 0), b.GetRed(0, 0));
  EXPECT_EQ(a.GetRed(30, 0), 255);  // top border in white
  EXPECT_EQ(a.GetRed(30, 15), 0);   // inside is black
  EXPECT_EQ(f.GetRed(30, 0), 0);    // the flash's even step is black
}

// Real key presses through the X server (xdotool) into the editor: the
// toolkit's own key codes for the number pad with Num Lock on and off, and
// the server's auto-repeat of a held key.
class LineEditTyping : public LineEdit {
protected:
  void SetUp() override
  {
    if (!test_have_display() || run_capture("command -v xdotool").empty())
      return;
    LineEdit::SetUp();
    static int frames = 0;
    title = "ombrith-typing-test-" + std::to_string(++frames);
    frame = new wxFrame(nullptr, wxID_ANY, title);
    panel->Reparent(frame);
    frame->SetClientSize(420, 60);
    panel->SetSize(0, 0, 400, 40);
    frame->Show();
    for (int i = 0; i < 200 && window_id.empty(); ++i) {
      wxYield();
      window_id = run_capture("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | head -1");
    }
    while (!window_id.empty() && window_id.back() == '\n')
      window_id.pop_back();
    run_capture("xdotool windowfocus --sync " + window_id + " 2>&1");
    edit->SetFocus();
    // Counts the key-downs the editor receives, before it handles them.
    edit->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent &event) {
      key_downs.push_back(event.GetKeyCode());
      event.Skip();
    });
    wxYield();
  }
  void TearDown() override
  {
    if (frame) {
      panel->Reparent(test_frame());
      frame->Destroy();
    }
    LineEdit::TearDown();
  }
  void xdotool(const std::string &args) { run_capture("xdotool " + args + " 2>&1"); }
  // Pumps the toolkit until the condition holds or a deadline passes.
  bool pump_until(const std::function<bool()> &condition)
  {
    return wait_until(
        [&] {
          wxYield();
          return condition();
        },
        10);
  }
  bool wait_calls(size_t n)
  {
    return pump_until([&] { return host.calls.size() >= n; });
  }
  int downs_of(int code) { return (int)std::count(key_downs.begin(), key_downs.end(), code); }

  std::string title;
  wxFrame *frame = nullptr;
  std::string window_id;
  std::vector<int> key_downs;
};

TEST_F(LineEditTyping, NumberPadWalksWithNumLockOnAndOffAndOncePerPress)
{
  if (!frame || window_id.empty())
    GTEST_SKIP() << "needs an X display and xdotool";
  // Num Lock off: the keys send arrows, Begin and so on.
  xdotool("key KP_Up");
  ASSERT_TRUE(wait_calls(1));
  xdotool("key KP_Begin");
  ASSERT_TRUE(wait_calls(2));
  // Num Lock on: the same key sends the digit.
  xdotool("key Num_Lock");
  xdotool("key KP_Up");
  ASSERT_TRUE(wait_calls(3));
  xdotool("key Num_Lock");
  EXPECT_EQ(downs_of(WXK_NUMPAD_UP), 1);
  EXPECT_EQ(downs_of(WXK_NUMPAD8), 1);

  // Held down, the key repeats; it walks once.
  xdotool("keydown KP_Home");
  bool repeated = pump_until([&] { return downs_of(WXK_NUMPAD_HOME) >= 3; });
  xdotool("keyup KP_Home");
  ASSERT_TRUE(repeated) << "the X server did not repeat the held key";

  xdotool("type --delay 10 look");
  xdotool("key Return");
  ASSERT_TRUE(wait_calls(5));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"cmd+echo north", "cmd+echo scan -mc", "cmd+echo north",
                                                  "cmd+echo northwest", "cmd+echo look"}));
}

TEST_F(LineEditTyping, CtrlShortcutsArriveWithTheirKeys)
{
  if (!frame || window_id.empty())
    GTEST_SKIP() << "needs an X display and xdotool";
  auto shortcut = [](line_key_action_kind kind, int number = 0, line_key_option option = OPTION_NONE) {
    return "shortcut " + std::to_string((int)kind) + " " + std::to_string(number) + " " +
           std::to_string((int)option);
  };
  const char *keys[] = {"ctrl+3", "ctrl+shift+3", "ctrl+equal", "ctrl+bracketleft", "ctrl+shift+bracketleft",
                        "ctrl+backslash"};
  for (const char *k : keys)
    xdotool(std::string("key ") + k);
  ASSERT_TRUE(wait_calls(6));
  EXPECT_EQ(host.calls, (std::vector<std::string>{shortcut(KEY_TOGGLE_POPUP, 3),
                                                  shortcut(KEY_TOGGLE_OPTION, 0, OPTION_HPBAR),
                                                  shortcut(KEY_ZOOM_IN), shortcut(KEY_AUTOMAP_SMALLER),
                                                  shortcut(KEY_INPUT_LOWER), "abort"}));
}
