// The scrolling coloured text panel used by the main text display, the
// channel tabs and the popups: the interpreter and scrolling policy of
// vesk_ansi_interpreter inside a custom-drawn window with a two-pixel frame
// (red while the view is held), a vertical scroll bar and a text control.
#ifndef OMBRITH_TEXT_ANSI_DISPLAY_H
#define OMBRITH_TEXT_ANSI_DISPLAY_H

#include <wx/scrolbar.h>

#include "gfx/embedded_window.h"
#include "gfx/font.h"
#include "text/ansi_interpreter.h"
#include "text/textctrl.h"

// A vertical scroll bar that passes the keyboard focus on to the command line.
class vesk_ansi_scrollbar : public wxScrollBar {
public:
  vesk_ansi_scrollbar(wxWindow *parent, wxWindowID id);
  void OnFocusGot(wxFocusEvent &event);

private:
  wxDECLARE_EVENT_TABLE();
};

class vesk_ansi_display : public vesk_embedded_window, public vesk_ansi_interpreter {
public:
  vesk_ansi_display(wxWindow *parent, wxWindowID id, const wxString &name);
  ~vesk_ansi_display() override;

  void resize(int bitmap_replaced) override;
  void repaint_dc(vesk_bitmap &bitmap) override;
  int animation_callback(int elapsed_ms) override;

  // Interpreter hooks.
  void set_scrollbar() override;
  void refresh() override;
  void repaint_status_bar() override;
  int get_scroll_position() override;

  // Repaints the text and updates the scroll bar.
  void refresh_text();

  void set_initial_font(vesk_font *font);
  void change_font(vesk_font *font);
  void set_scrollbar_enable(int enable);
  int get_scrollbar_width() const;

  // Stress filler: 100000 lines of random coloured words straight into the
  // text control.
  void generate_debug_fill_data();

  void mouseWheelEvent(wxMouseEvent &event);
  void OnFocusGot(wxFocusEvent &event);
  void handle_scroll_event(wxScrollEvent &event);

  vesk_textctrl *text_control;
  vesk_ansi_scrollbar *scroll_bar;

private:
  wxDECLARE_EVENT_TABLE();
};

// The main text display. Once the automap and group panels exist and are
// docked inside its text area (Embedded layout), it places them in the
// upper right corner of the text.
class vesk_main_window : public vesk_ansi_display {
public:
  vesk_main_window(wxWindow *parent, wxWindowID id, const wxString &name);

  void resize(int bitmap_replaced) override;
  void single_line_trigger(Buffer &line) override;

  wxWindow *docked_automap;
  wxWindow *docked_group;
};

#endif
