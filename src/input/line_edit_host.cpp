// The command line's host in the client: every request goes to the main
// window and, for options, to the settings.
#include "input/line_edit_host.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/log.h>

#include "app/debug_log.h"
#include "app/main_window.h"
#include "input/transliterate.h"

namespace {

// The options the editor reads. A fresh configuration walks with the number
// pad and has pushthrough and locking scrollback off.
int option_keypad_walking() { return 1; }
int option_cmd_pushthrough() { return 0; }
int option_locking_scrollback() { return 0; }
void toggle_option(line_key_option) {}

class main_window_host : public line_edit_host {
public:
  int keypad_walking() override { return option_keypad_walking(); }
  int cmd_pushthrough() override { return option_cmd_pushthrough(); }
  int locking_scrollback() override { return option_locking_scrollback(); }
  int logged_in() override { return main_window && main_window->login_state == 2; }

  void handle_async_control_command(const char *line, int echo) override
  {
    if (main_window)
      main_window->handle_async_control_command(line, echo);
  }
  void handle_async_control_break() override
  {
    if (main_window)
      main_window->handle_async_control_break();
  }
  void handle_async_control_abort() override
  {
    if (main_window)
      main_window->handle_async_control_abort();
  }
  void handle_async_tty_stop() override
  {
    if (main_window)
      main_window->handle_async_tty_stop();
  }
  void handle_async_tty_start() override
  {
    if (main_window)
      main_window->handle_async_tty_start();
  }

  int scrolling_enabled() override { return main_window ? main_window->scrolling_enabled() : 1; }
  void disable_scrolling() override
  {
    if (main_window)
      main_window->disable_scrolling();
  }
  void scroll_up() override
  {
    if (main_window)
      main_window->scroll_up();
  }
  void scroll_down() override
  {
    if (main_window)
      main_window->scroll_down();
  }
  void scroll_up(int lines) override
  {
    if (main_window)
      main_window->scroll_up(lines);
  }
  void scroll_down(int lines) override
  {
    if (main_window)
      main_window->scroll_down(lines);
  }
  int has_mouse_selection() override { return main_window ? main_window->has_mouse_selection() : 0; }
  void clear_mouse_selection() override
  {
    if (main_window)
      main_window->clear_mouse_selection();
  }
  void display_set_default_colors() override
  {
    if (main_window)
      main_window->display_set_default_colors();
  }
  void display_write(const char *text) override
  {
    if (main_window)
      main_window->display_write(text);
  }
  void display_refresh() override
  {
    if (main_window)
      main_window->display_refresh();
  }

  int channel_window_scrolling_enabled() override
  {
    return main_window ? main_window->channel_window_scrolling_enabled() : 1;
  }
  void set_channel_window_scrolling(int enable) override
  {
    if (main_window)
      main_window->set_channel_window_scrolling(enable);
  }
  void clear_channel_window_selection() override
  {
    if (main_window)
      main_window->clear_channel_window_selection();
  }

  void window_shortcut(const line_key_action &action) override
  {
    if (!main_window)
      return;
    vesk_mw &mw = *main_window;
    switch (action.kind) {
    case KEY_ZOOM_IN:
      mw.zoom_in();
      break;
    case KEY_ZOOM_OUT:
      mw.zoom_out();
      break;
    case KEY_CHANNEL_TALLER:
      mw.incr_chan_window_size();
      break;
    case KEY_CHANNEL_LOWER:
      mw.decr_chan_window_size();
      break;
    case KEY_TOGGLE_POPUP:
      mw.toggle_popup_window(action.number);
      break;
    case KEY_TOGGLE_AUTOMAP:
      mw.toggle_automap_display();
      break;
    case KEY_TOGGLE_OPTION:
      toggle_option(action.option);
      break;
    case KEY_AUTOMAP_SMALLER:
      mw.decr_automap_size();
      break;
    case KEY_AUTOMAP_LARGER:
      mw.incr_automap_size();
      break;
    case KEY_INPUT_LOWER:
      mw.decr_input_window_size();
      break;
    case KEY_INPUT_TALLER:
      mw.incr_input_window_size();
      break;
    default:
      break;
    }
  }

  int get_clipboard_data(wxString &text) override
  {
    wxLogNull quiet;
    text.clear();
    wxClipboard *clipboard = wxTheClipboard;
    clipboard->UsePrimarySelection(true);
    if (!clipboard->Open()) {
      VESK_LOG(2, "Error in get_clipboard_data(), unable to open clipboard.\n");
      clipboard->UsePrimarySelection(false);
      return 0;
    }
    int ok = 0;
    if (clipboard->IsSupported(wxDF_TEXT) || clipboard->IsSupported(wxDF_UNICODETEXT)) {
      wxTextDataObject data;
      if (clipboard->GetData(data)) {
        text = wx_unicode_destroy(data.GetText());
        ok = 1;
      }
    }
    clipboard->Close();
    clipboard->UsePrimarySelection(false);
    return ok;
  }

  void set_clipboard_data(const wxString &text) override
  {
    wxLogNull quiet;
    wxString plain = wx_unicode_destroy(text);
    wxClipboard *clipboard = wxTheClipboard;
    clipboard->UsePrimarySelection(true);
    if (!clipboard->Open()) {
      VESK_LOG(2, "Error in set_clipboard_data(), unable to open clipboard.\n");
      clipboard->UsePrimarySelection(false);
      return;
    }
    clipboard->SetData(new wxTextDataObject(plain));
    clipboard->Close();
    clipboard->UsePrimarySelection(false);
  }
};

} // namespace

line_edit_host &main_window_line_edit_host()
{
  static main_window_host host;
  return host;
}
