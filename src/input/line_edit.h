// The command line at the bottom of the main window: a native multi-line
// text control (vesk_line_edit) inside a custom-drawn frame panel
// (vesk_input_window). The editor submits lines, keeps the command
// histories, walks with the number pad, carries the keyboard shortcuts,
// hides typed text while the server asks for a password and pastes only
// plain text.
#ifndef OMBRITH_INPUT_LINE_EDIT_H
#define OMBRITH_INPUT_LINE_EDIT_H

#include <wx/textctrl.h>

#include "gfx/embedded_window.h"
#include "input/line_edit_host.h"
#include "input/line_history.h"
#include "input/line_keys.h"

class vesk_font;

// Longest line the editor submits.
enum { LINE_EDIT_MAX_LINE = 4999 };

class vesk_line_edit : public wxTextCtrl, public line_edit_view {
public:
  // Multi-line, rich, Enter handled here, selection kept visible, no border.
  static const long line_edit_style = wxTE_MULTILINE | wxTE_RICH | wxTE_PROCESS_ENTER | wxTE_NOHIDESEL | wxBORDER_NONE;

  vesk_line_edit(wxWindow *parent, wxWindowID id, const wxString &name);

  // Where the editor's actions go; the main window unless a test sets another.
  void set_host(line_edit_host *host) { host_ = host; }
  line_edit_host &host() { return *host_; }

  // Submits the current text (on Enter).
  void handle_line_input();

  void history_up() { state.history_up(*this); }
  void history_down() { state.history_down(*this); }
  void history_store(const wxString &text) { state.history_store(text); }
  void swap_history(int set) { state.swap_history(set); }
  // Lists the recent commands of the current set in the main text display.
  void history_display();

  void enable_echo();
  void disable_echo();
  int local_echo_enabled() const { return state.echo_disabled ? 0 : 1; }

  // The editor's colours and font: white on dark grey, or dark grey on dark
  // grey while echo is off. Runs around every change of the text made here,
  // so that typed text keeps the style.
  void force_set_color();
  void set_initial_font(vesk_font *font);
  void change_font(vesk_font *font);

  void manual_clipboard_paste();
  // Sends the F1-F12 command; false when the key is not handled.
  bool process_function_key_press(const wxKeyEvent &event);

  // Event handlers.
  void keyDownEvent(wxKeyEvent &event);
  void keyUpEvent(wxKeyEvent &event);
  void mouseWheelEvent(wxMouseEvent &event);
  void pasteEvent(wxClipboardTextEvent &event);

  // Carries out a decided key action; false when the key goes on to the control.
  bool run_key_action(const line_key_action &action);

  // line_edit_view
  wxString view_text() const override;
  long view_insertion_point() const override;
  void view_set_insertion_point(long pos) override;
  void view_show(const wxString &text) override;
  void view_clear() override;

  // Histories and echo state.
  vesk_line_history state;
  line_key_state keys;
  int wheel_accum;

private:
  void clear_line();
  bool whole_text_selected() const;
  // Escape, Ctrl+Q: the held main display, else the held channel window,
  // follows again; returns false when neither was held.
  bool release_held_display();

  line_edit_host *host_;

  wxDECLARE_EVENT_TABLE();
};

class vesk_input_window : public vesk_embedded_window {
public:
  // A 20 x 20 borderless panel; the editor is its child with the same id,
  // named `name` followed by " input window".
  vesk_input_window(wxWindow *parent, wxWindowID id, const wxString &name);

  void resize(int bitmap_replaced) override;
  void repaint_dc(vesk_bitmap &bitmap) override;
  int animation_callback(int elapsed_ms) override;
  void SetFocus() override;

  vesk_line_edit *edit;
};

#endif
