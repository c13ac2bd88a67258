// What the command line editor asks of the rest of the client: the command
// path, the main text display's scrolling and selection, the channel window,
// the window's size and panel switches, the options it reads and the
// clipboard. The client's implementation forwards to the main window; tests
// install a recording one.
#ifndef OMBRITH_INPUT_LINE_EDIT_HOST_H
#define OMBRITH_INPUT_LINE_EDIT_HOST_H

#include <wx/string.h>

#include "input/line_keys.h"

class line_edit_host {
public:
  virtual ~line_edit_host() {}

  // Options.
  virtual int keypad_walking() = 0;
  virtual int cmd_pushthrough() = 0;
  virtual int locking_scrollback() = 0;
  virtual int logged_in() = 0;

  // The command path.
  virtual void handle_async_control_command(const char *line, int echo) = 0;
  virtual void handle_async_control_break() = 0;
  virtual void handle_async_control_abort() = 0;
  virtual void handle_async_tty_stop() = 0;
  virtual void handle_async_tty_start() = 0;

  // The main text display.
  virtual int scrolling_enabled() = 0;
  virtual void disable_scrolling() = 0;
  virtual void scroll_up() = 0;  // half a page
  virtual void scroll_down() = 0;
  virtual void scroll_up(int lines) = 0;
  virtual void scroll_down(int lines) = 0;
  virtual int has_mouse_selection() = 0;
  virtual void clear_mouse_selection() = 0;
  virtual void display_set_default_colors() = 0;
  virtual void display_write(const char *text) = 0;
  virtual void display_refresh() = 0;

  // The channel window.
  virtual int channel_window_scrolling_enabled() = 0;
  virtual void set_channel_window_scrolling(int enable) = 0;
  virtual void clear_channel_window_selection() = 0;

  // Font and window sizes, panel and option switches (KEY_ZOOM_IN to
  // KEY_INPUT_TALLER other than the editing and clipboard ones).
  virtual void window_shortcut(const line_key_action &action) = 0;

  // The clipboard, as plain transliterated text. get returns 1 when text was read.
  virtual int get_clipboard_data(wxString &text) = 0;
  virtual void set_clipboard_data(const wxString &text) = 0;
};

// The client's host: everything goes to the main window.
line_edit_host &main_window_line_edit_host();

#endif
