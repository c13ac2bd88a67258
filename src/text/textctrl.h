// The text view: a custom-drawn window showing the lines of its store, with
// mouse selection (copied to the system clipboard at once), drag scrolling,
// URL clicks and the colour flash. Scrolling policy belongs to the display
// that contains the control (owner_display).
#ifndef OMBRITH_TEXT_TEXTCTRL_H
#define OMBRITH_TEXT_TEXTCTRL_H

#include <wx/event.h>
#include <wx/string.h>

#include "gfx/embedded_window.h"
#include "gfx/font.h"
#include "text/text_store.h"

class vesk_ansi_display;

class vesk_textctrl : public vesk_embedded_window, public vesk_textctrl_store {
public:
  vesk_textctrl(wxWindow *parent, wxWindowID id, const wxString &name);
  ~vesk_textctrl() override;

  // Takes the font's glyph widths and height and lays everything out again.
  void set_display_font(vesk_font *font);

  void resize(int bitmap_replaced) override;
  void repaint_dc(vesk_bitmap &bitmap) override;
  int animation_callback(int elapsed_ms) override;
  void request_repaint() override { repaint(); }

  void render_line(vesk_bitmap &bitmap, int index, int y);

  void copy_selection_to_clipboard();
  // 1 if a URL under (line, offset) was opened.
  int url_clicked_on(int line, int offset);
  // The payload of a colour-flash request (when colour flashes are on).
  void parse_colorflash(const char *text);
  using vesk_textctrl_store::GetColorFromHexString;
  using vesk_textctrl_store::calc_colorflash_color;

  void mouse_event_handler(wxMouseEvent &event);
  void mouse_capture_lost_handler(wxMouseCaptureLostEvent &event);
  void OnFocusGot(wxFocusEvent &event);

  vesk_ansi_display *owner_display;
  vesk_font *display_font;

private:
  void arm_drag_scroll();
  void release_capture();

  wxDECLARE_EVENT_TABLE();
};

// The system clipboard as plain 8-bit text. Setting fills both the CLIPBOARD
// and, on X11, the PRIMARY selection (so that Ctrl+V and a middle click both
// paste it elsewhere); reading takes the CLIPBOARD. 1 on success.
int set_clipboard_data(const char *text);
int get_clipboard_data(wxString &text);

#endif
