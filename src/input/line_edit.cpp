#include "input/line_edit.h"

#include <cstring>

#include "app/debug_log.h"
#include "app/gui_app.h"
#include "gfx/bitmap.h"
#include "gfx/font.h"
#include "input/transliterate.h"
#include "util/buffer.h"

namespace {

const wxColour editor_background(64, 64, 64);
const wxColour editor_text(255, 255, 255);

} // namespace

wxBEGIN_EVENT_TABLE(vesk_line_edit, wxTextCtrl)
  EVT_KEY_DOWN(vesk_line_edit::keyDownEvent)
  EVT_KEY_UP(vesk_line_edit::keyUpEvent)
  EVT_MOUSEWHEEL(vesk_line_edit::mouseWheelEvent)
  EVT_TEXT_PASTE(wxID_ANY, vesk_line_edit::pasteEvent)
wxEND_EVENT_TABLE()

vesk_line_edit::vesk_line_edit(wxWindow *parent, wxWindowID id, const wxString &name)
    : wxTextCtrl(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, line_edit_style, wxDefaultValidator,
                 name),
      wheel_accum(0), host_(&main_window_line_edit_host())
{
  force_set_color();
}

// ---------------------------------------------------------------------------
// The text as the history rules see it.

wxString vesk_line_edit::view_text() const { return GetValue(); }

long vesk_line_edit::view_insertion_point() const { return GetInsertionPoint(); }

void vesk_line_edit::view_set_insertion_point(long pos) { SetInsertionPoint(pos); }

void vesk_line_edit::view_show(const wxString &text)
{
  force_set_color();
  ChangeValue(wxEmptyString);
  WriteText(text);
  SetInsertionPointEnd();
  force_set_color();
}

void vesk_line_edit::view_clear() { clear_line(); }

void vesk_line_edit::clear_line()
{
  force_set_color();
  ChangeValue(wxEmptyString);
  force_set_color();
}

bool vesk_line_edit::whole_text_selected() const
{
  long from = 0, to = 0;
  GetSelection(&from, &to);
  return from == 0 && to > 0 && to == GetLastPosition();
}

// ---------------------------------------------------------------------------
// Colours and font.

void vesk_line_edit::force_set_color()
{
  // While the server has echo off the text takes the background's colour,
  // whatever changed the text, so a password never shows.
  const wxColour &foreground = state.echo_disabled ? editor_background : editor_text;
  SetBackgroundColour(editor_background);
  SetForegroundColour(foreground);
  wxTextAttr style(foreground, editor_background);
  if (global_font)
    style.SetFont(*global_font);
  SetDefaultStyle(style);
}

void vesk_line_edit::set_initial_font(vesk_font *) { change_font(nullptr); }

void vesk_line_edit::change_font(vesk_font *)
{
  // The editor always uses the shared text font.
  force_set_color();
  if (global_font)
    SetFont(*global_font);
  force_set_color();
}

void vesk_line_edit::enable_echo()
{
  state.echo_disabled = 0;
  force_set_color();
}

void vesk_line_edit::disable_echo()
{
  state.echo_disabled = 1;
  force_set_color();
}

// ---------------------------------------------------------------------------
// Submitting and listing.

void vesk_line_edit::handle_line_input()
{
  Buffer line;
  wx_utf8_buffer_print(GetValue(), line);
  if (std::strlen(line.text) > LINE_EDIT_MAX_LINE)
    line.text[LINE_EDIT_MAX_LINE] = 0;

  // With pushthrough the command stays selected, so that typing replaces it
  // and Enter sends it again. Hidden input is never left in the editor.
  if (host_->logged_in() && host_->cmd_pushthrough() && !state.echo_disabled)
    SetSelection(-1, -1);
  else
    clear_line();

  if (line.text[0])
    history_store(wxString::FromUTF8(line.text));

  host_->handle_async_control_command(line.text, 1);
  force_set_color();
}

void vesk_line_edit::history_display()
{
  std::string listing = state.history_listing();
  host_->display_set_default_colors();
  host_->display_write(listing.c_str());
  host_->display_refresh();
}

// ---------------------------------------------------------------------------
// Clipboard.

void vesk_line_edit::manual_clipboard_paste()
{
  VESK_LOG(2, "vesk_line_edit::manual_clipboard_paste()\n");
  wxString text;
  if (!host_->get_clipboard_data(text) || text.empty())
    return;
  long from = 0, to = 0;
  GetSelection(&from, &to);
  force_set_color();
  if (from == to)
    WriteText(text);
  else
    Replace(from, to, text);
  force_set_color();
}

void vesk_line_edit::pasteEvent(wxClipboardTextEvent &)
{
  // The toolkit's own paste would insert text that is not transliterated.
  VESK_LOG(2, "vesk_line_edit::pasteEvent()\n");
  manual_clipboard_paste();
}

// ---------------------------------------------------------------------------
// Keys and the wheel.

bool vesk_line_edit::process_function_key_press(const wxKeyEvent &event)
{
  line_key_event key;
  key.key_code = event.GetKeyCode();
  key.ctrl = event.ControlDown() || event.RawControlDown();
  key.shift = event.ShiftDown();
  key.alt = event.AltDown();
  key.meta = event.MetaDown();
  std::string command = function_key_command(key);
  if (command.empty())
    return false;
  host_->handle_async_control_command(command.c_str(), 0);
  host_->handle_async_tty_start();
  return true;
}

bool vesk_line_edit::release_held_display()
{
  if (!host_->scrolling_enabled()) {
    host_->handle_async_tty_start();
    return true;
  }
  if (!host_->channel_window_scrolling_enabled()) {
    host_->set_channel_window_scrolling(1);
    return true;
  }
  return false;
}

void vesk_line_edit::keyDownEvent(wxKeyEvent &event)
{
  line_key_event key;
  key.key_code = event.GetKeyCode();
  key.ctrl = event.ControlDown() || event.RawControlDown();
  key.shift = event.ShiftDown();
  key.alt = event.AltDown();
  key.meta = event.MetaDown();

  line_key_context context;
  context.keypad_walking = host_->keypad_walking() != 0;
  context.cmd_pushthrough = host_->cmd_pushthrough() != 0;
  context.logged_in = host_->logged_in() != 0;
  context.whole_text_selected = whole_text_selected();

  line_key_action action = decide_line_key(keys, key, context);
  if (!run_key_action(action))
    event.Skip();
}

bool vesk_line_edit::run_key_action(const line_key_action &action)
{
  switch (action.kind) {
  case KEY_DEFAULT:
    // Any other key lets a held display follow again, unless the player
    // wants scrollback to stay locked.
    if (!host_->scrolling_enabled() && !host_->locking_scrollback())
      host_->handle_async_tty_start();
    return false;
  case KEY_PASS:
    return false;
  case KEY_IGNORE:
    return true;
  case KEY_WALK:
    if (!host_->scrolling_enabled())
      host_->handle_async_tty_start();
    host_->handle_async_control_command(action.command.c_str(), 1);
    return true;
  case KEY_SELECTED_HOME:
    SetInsertionPoint(0);
    return true;
  case KEY_SELECTED_UP:
    // The first step lands on the command just sent.
    SetInsertionPointEnd();
    history_up();
    history_up();
    return true;
  case KEY_SUBMIT:
    if (!host_->scrolling_enabled())
      host_->handle_async_tty_start();
    handle_line_input();
    return true;
  case KEY_END:
    SetInsertionPointEnd();
    return true;
  case KEY_HOME:
    SetInsertionPoint(0);
    return true;
  case KEY_HISTORY_UP:
    history_up();
    return true;
  case KEY_HISTORY_DOWN:
    history_down();
    return true;
  case KEY_HOLD_SCROLL_UP:
    host_->handle_async_tty_stop();
    host_->scroll_up();
    return true;
  case KEY_SCROLL_DOWN:
    host_->scroll_down();
    return true;
  case KEY_HOLD_SCROLL_DOWN:
    host_->handle_async_tty_stop();
    host_->scroll_down();
    return true;
  case KEY_FUNCTION:
    host_->handle_async_control_command(action.command.c_str(), 0);
    host_->handle_async_tty_start();
    return true;
  case KEY_ESCAPE:
    if (!release_held_display()) {
      clear_line();
      host_->clear_mouse_selection();
      host_->clear_channel_window_selection();
    }
    return true;
  case KEY_COPY_OR_BREAK: {
    long from = 0, to = 0;
    GetSelection(&from, &to);
    if (from != to) {
      host_->set_clipboard_data(GetStringSelection());
      SetInsertionPoint(GetInsertionPoint());
      return true;
    }
    clear_line();
    if (host_->has_mouse_selection())
      host_->clear_mouse_selection();
    else
      host_->handle_async_control_break();
    return true;
  }
  case KEY_CLEAR_BREAK:
    clear_line();
    host_->handle_async_control_break();
    return true;
  case KEY_CLEAR_ABORT:
    clear_line();
    host_->handle_async_control_abort();
    return true;
  case KEY_CLEAR:
    clear_line();
    return true;
  case KEY_UNFREEZE:
    release_held_display();
    return true;
  case KEY_FREEZE:
    host_->handle_async_tty_stop();
    return true;
  case KEY_PASTE:
    manual_clipboard_paste();
    return true;
  case KEY_ZOOM_IN:
  case KEY_ZOOM_OUT:
  case KEY_CHANNEL_TALLER:
  case KEY_CHANNEL_LOWER:
  case KEY_TOGGLE_POPUP:
  case KEY_TOGGLE_AUTOMAP:
  case KEY_TOGGLE_OPTION:
  case KEY_AUTOMAP_SMALLER:
  case KEY_AUTOMAP_LARGER:
  case KEY_INPUT_LOWER:
  case KEY_INPUT_TALLER:
    host_->window_shortcut(action);
    return true;
  }
  return false;
}

void vesk_line_edit::keyUpEvent(wxKeyEvent &event)
{
  note_line_key_up(keys);
  event.Skip();
}

void vesk_line_edit::mouseWheelEvent(wxMouseEvent &event)
{
  int step = wheel_notch_step(wheel_accum, event.GetWheelRotation(), event.GetWheelDelta());
  if (step == 0)
    return;
  host_->disable_scrolling();
  if (step > 0)
    host_->scroll_up(3);
  else
    host_->scroll_down(3);
}

// ---------------------------------------------------------------------------
// The frame panel.

vesk_input_window::vesk_input_window(wxWindow *parent, wxWindowID id, const wxString &name)
    : vesk_embedded_window(parent, id, name, wxDefaultPosition, wxSize(20, 20), wxBORDER_NONE), edit(nullptr)
{
  edit = new vesk_line_edit(this, id, name + " input window");
  resize(0);
}

void vesk_input_window::resize(int)
{
  if (!edit)
    return;
  int w = 0, h = 0;
  GetSize(&w, &h);
  int ew = w - 4, eh = h - 2;
  edit->SetSize(2, 1, ew < 1 ? 1 : ew, eh < 1 ? 1 : eh);
}

void vesk_input_window::repaint_dc(vesk_bitmap &b)
{
  b.Clear(vesk_BLACK);
  int w = b.GetWidth(), h = b.GetHeight();
  if (attention_flash_active()) {
    vesk_color c = attention_flash_colour();
    draw_strong_border(b, w, h, BORDER_ALL, &c);
  } else {
    draw_strong_border(b, w, h, BORDER_ALL, nullptr);
  }
}

int vesk_input_window::animation_callback(int elapsed_ms) { return animation_step(elapsed_ms); }

void vesk_input_window::SetFocus()
{
  if (edit)
    edit->SetFocus();
}
