#include "text/textctrl.h"

#include <climits>
#include <cstring>
#include <string>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/log.h>

#include "app/debug_log.h"
#include "app/gui_app.h"
#include "app/main_window.h"
#include "config/config_store.h"
#include "input/transliterate.h"
#include "text/ansi_display.h"
#include "util/strings.h"

wxBEGIN_EVENT_TABLE(vesk_textctrl, vesk_embedded_window)
  EVT_MOUSE_EVENTS(vesk_textctrl::mouse_event_handler)
  EVT_MOUSE_CAPTURE_LOST(vesk_textctrl::mouse_capture_lost_handler)
  EVT_SET_FOCUS(vesk_textctrl::OnFocusGot)
wxEND_EVENT_TABLE()

vesk_textctrl::vesk_textctrl(wxWindow *parent, wxWindowID id, const wxString &name)
    : vesk_embedded_window(parent, id, name), owner_display(nullptr), display_font(nullptr)
{
  view_width = bitmap->GetWidth();
  view_height = bitmap->GetHeight();
  if (global_font)
    set_display_font(global_font);
}

vesk_textctrl::~vesk_textctrl() { release_capture(); }

void vesk_textctrl::set_display_font(vesk_font *font)
{
  display_font = font;
  int widths[256];
  for (int b = 0; b < 256; ++b) {
    widths[b] = 0;
    if (font)
      font->GetCharacterSize(b, &widths[b], nullptr);
  }
  int height = 0;
  if (font)
    font->GetCharacterSize('f', nullptr, &height);
  if (MConfig::GetCompactMode())
    height -= 1;
  set_char_metrics(widths, height);
}

void vesk_textctrl::resize(int)
{
  view_width = bitmap->GetWidth();
  view_height = bitmap->GetHeight();
  if (view_width != last_width) {
    recalc_line_sizes();
    last_width = view_width;
  }
  repaint();
}

// ---------------------------------------------------------------------------
// Drawing

void vesk_textctrl::repaint_dc(vesk_bitmap &bmp)
{
  bmp.Clear(background_color);
  const int h = line_height;
  if (h <= 0) {
    VESK_LOG(2, "Error in vesk_textctrl::repaint_internal(), font height %d.\n", h);
    return;
  }
  const int H = bmp.GetHeight();
  std::lock_guard<std::mutex> lock(store_mutex);
  if (!top_anchored) {
    int y = H - h - 1;
    for (int i = bottom_line; i >= 0 && y > -h; --i, y -= h)
      render_line(bmp, i, y);
  } else if (H > 0) {
    int y = 0;
    for (int i = bottom_line > 0 ? bottom_line : 0; i <= last_line && y < H; ++i, y += h)
      render_line(bmp, i, y);
  }
}

void vesk_textctrl::render_line(vesk_bitmap &bmp, int index, int y)
{
  if (index < 0 || index >= line_capacity || !lines[index] || !display_font)
    return;
  const vesk_textctrl_line *line = lines[index];

  // Selected characters of this line: [sel_from, sel_to], inclusive.
  int sel_from = INT_MAX, sel_to = -1;
  if (selection_active) {
    if (index > sel_start_line && index < sel_end_line) {
      sel_from = 0;
      sel_to = INT_MAX;
    } else if (index == sel_start_line && index != sel_end_line) {
      sel_from = sel_start_offset;
      sel_to = INT_MAX;
    } else if (index == sel_end_line && index != sel_start_line) {
      sel_from = 0;
      sel_to = sel_end_offset;
    } else if (index == sel_start_line && index == sel_end_line) {
      sel_from = sel_start_offset;
      sel_to = sel_end_offset;
      if (sel_from >= line_length(index))
        VESK_LOG(2, "Error in vesk_textctrl::render_partially_selected_nsn_line(), offset < start offset?\n");
    }
  }

  const int W = bmp.GetWidth();
  int x = 1;
  int start = 0;  // character index of the chunk's first character
  char piece[max_run + 1];
  for (const vesk_textctrl_chunk *c = line->first; c && x < W; c = c->next) {
    int length = (int)std::strlen(c->text);
    int a = sel_from - start, b = sel_to == INT_MAX ? INT_MAX : sel_to - start;
    if (a < 0)
      a = 0;
    if (b >= length)
      b = length - 1;
    if (a > b || a >= length) {
      bmp.RenderTextTransparent(*display_font, c->text, x, y, c->color);
      x += c->width;
    } else {
      // Up to three pieces: before, selected, after.
      const int cuts[4] = {0, a, b + 1, length};
      for (int k = 0; k < 3; ++k) {
        int n = cuts[k + 1] - cuts[k];
        if (n <= 0)
          continue;
        std::memcpy(piece, c->text + cuts[k], (size_t)n);
        piece[n] = 0;
        if (k == 1)
          bmp.RenderText(*display_font, piece, x, y, c->color, selected_background_color);
        else
          bmp.RenderTextTransparent(*display_font, piece, x, y, c->color);
        int w = 0;
        display_font->GetTextSize(piece, &w, nullptr);
        x += w;
      }
    }
    start += length;
  }
}

// ---------------------------------------------------------------------------
// Selection, clipboard and URLs

void vesk_textctrl::copy_selection_to_clipboard()
{
  std::string text;
  if (build_selection_text(text))
    set_clipboard_data(text.c_str());
}

namespace {

// Puts one copy of the text into the clipboard or the primary selection.
bool put_clipboard_text(const wxString &text, bool primary)
{
  wxTheClipboard->UsePrimarySelection(primary);
  bool ok = wxTheClipboard->Open();
  if (ok) {
    wxTheClipboard->SetData(new wxTextDataObject(text));
    wxTheClipboard->Close();
  }
  wxTheClipboard->UsePrimarySelection(false);
  return ok;
}

}  // namespace

int set_clipboard_data(const char *text)
{
  wxLogNull no_toolkit_log;
  // The transliteration of the bytes themselves: 8-bit text that is not
  // valid UTF-8 still arrives (a toolkit string made from it would be empty).
  std::string ascii;
  utf8_transliterate(text ? text : "", ascii);
  wxString converted = wxString::FromAscii(ascii.c_str());
  bool ok = put_clipboard_text(converted, false);
#ifdef __WXGTK__
  // X11 keeps a second, independent selection for middle-click pasting.
  ok = put_clipboard_text(converted, true) && ok;
#endif
  if (!ok) {
    VESK_LOG(2, "Error in set_clipboard_data(), unable to open clipboard.\n");
    return 0;
  }
  return 1;
}

int get_clipboard_data(wxString &text)
{
  wxLogNull no_toolkit_log;
  wxTheClipboard->UsePrimarySelection(false);
  if (!wxTheClipboard->Open()) {
    VESK_LOG(2, "Error in get_clipboard_data(), unable to open clipboard.\n");
    return 0;
  }
  int result = 0;
  if (wxTheClipboard->IsSupported(wxDF_TEXT) || wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) {
    wxTextDataObject data;
    if (wxTheClipboard->GetData(data)) {
      text = wx_unicode_destroy(data.GetText());
      result = 1;
    }
  }
  wxTheClipboard->Close();
  return result;
}

int vesk_textctrl::url_clicked_on(int line, int offset)
{
  if (!MConfig::GetUrlHotlinking())
    return 0;
  Buffer text;
  if (!get_line_text(line, text)) {
    if (line != 0)
      VESK_LOG(2, "Error in url_clicked_on(), null line %d.\n", line);
    return 0;
  }
  Buffer url;
  int first = 0, last = 0;
  if (!vesk_extract_url_from_string(url, text.text, offset, &first, &last))
    return 0;
  if (main_window)
    main_window->open_url(url.text);
  anchor_line = cursor_line = sel_start_line = sel_end_line = line;
  anchor_offset = sel_start_offset = first;
  cursor_offset = sel_end_offset = last;
  selection_active = 1;
  copy_selection_to_clipboard();
  repaint();
  url_latch = 1;
  return 1;
}

// ---------------------------------------------------------------------------
// Mouse

void vesk_textctrl::release_capture()
{
  if (HasCapture())
    ReleaseMouse();
}

void vesk_textctrl::arm_drag_scroll()
{
  if (anim_steps == 0) {
    anim_shown = 0;
    anim_steps = 15;
    anim_elapsed_ms = 0;
    anim_period_ms = 15;
    start_animation();
  } else if (anim_steps < 15) {
    anim_shown = 0;
    anim_steps = 15;
    anim_elapsed_ms = 0;
    anim_period_ms = 15;
  }
}

void vesk_textctrl::mouse_event_handler(wxMouseEvent &event)
{
  drag_scroll_speed = 0;
  const wxEventType type = event.GetEventType();
  const bool any_button = event.LeftIsDown() || event.MiddleIsDown() || event.RightIsDown();
  const int rotation = event.GetWheelRotation();
  if (!any_button && rotation == 0 && type != wxEVT_LEFT_UP)
    return;

  if (url_latch) {
    if (type == wxEVT_LEFT_UP)
      url_latch = 0;
    return;
  }

  if (rotation != 0) {
    if (owner_display) {
      owner_display->disable_scrolling();
      if (rotation > 0)
        owner_display->scroll_up(3);
      else
        owner_display->scroll_down(3);
    }
    return;
  }

  if (event.RightIsDown() || event.MiddleIsDown()) {
    if (owner_display)
      owner_display->enable_scrolling();
    return;
  }

  if (!event.LeftIsDown() && type != wxEVT_LEFT_UP)
    return;

  const int h = line_height;
  int x = event.GetX(), y = event.GetY();
  if (x < 0) {
    // Left of the view: select to the end of the line above.
    x = view_width;
    y -= h;
  }
  int line = 0, offset = 0;
  translate_xy_to_line_and_offset(x, y, &line, &offset);

  if (type == wxEVT_LEFT_DOWN) {
    if (url_clicked_on(line, offset))
      return;
    selection_active = 0;
    anchor_line = cursor_line = line;
    anchor_offset = cursor_offset = offset;
    if (!mouse_captured) {
      if (!HasCapture())
        CaptureMouse();
      mouse_captured = 1;
    }
    repaint();
  } else if (type == wxEVT_MOTION) {
    cursor_line = line;
    cursor_offset = offset;
    const int H = view_height;
    if (y < 0) {
      drag_scroll_speed = H > 0 ? y * h * 2 / H : -1;
      arm_drag_scroll();
      translate_xy_to_line_and_offset(0, 0, &cursor_line, &cursor_offset);
    } else if (y > H) {
      drag_scroll_speed = H > 0 ? (y - H) * h * 2 / H : 1;
      arm_drag_scroll();
      translate_xy_to_line_and_offset(0, 2 * H, &cursor_line, &cursor_offset);
    } else if ((anchor_line != cursor_line || anchor_offset != cursor_offset) && owner_display) {
      owner_display->disable_scrolling();
    }
  } else if (type == wxEVT_LEFT_UP && mouse_captured == 1) {
    mouse_captured = 0;
    cursor_line = line;
    cursor_offset = offset;
    release_capture();
  }

  if (anchor_line != cursor_line || anchor_offset != cursor_offset)
    selection_active = 1;
  else if (!selection_active)
    return;
  set_ordered_selection();
  copy_selection_to_clipboard();
  repaint();
}

void vesk_textctrl::mouse_capture_lost_handler(wxMouseCaptureLostEvent &)
{
  VESK_LOG(2, "vesk_textctrl::mouse_event_handler()\n");
  if (selection_active) {
    set_ordered_selection();
    copy_selection_to_clipboard();
    repaint();
    selection_active = 0;
  }
  // The capture is gone either way; a stale flag would keep the next drag
  // from capturing the mouse.
  mouse_captured = 0;
}

void vesk_textctrl::OnFocusGot(wxFocusEvent &event)
{
  if (!transfer_focus_main(this))
    event.Skip();
}

// ---------------------------------------------------------------------------
// Colour flash and drag-scroll steps

void vesk_textctrl::parse_colorflash(const char *text)
{
  if (!MConfig::GetColorFlash())
    return;
  int total = 0;
  if (!add_colorflash(text, &total))
    return;
  background_color = calc_colorflash_color();
  if (anim_steps == 0) {
    anim_shown = 0;
    anim_steps = total;
    anim_elapsed_ms = 0;
    anim_period_ms = 15;
    start_animation();
  } else if (anim_steps > 0 && anim_steps < total) {
    anim_shown = 0;
    anim_steps = total;
    anim_elapsed_ms = 0;
    anim_period_ms = 15;
  }
  if (anim_steps != anim_shown) {
    anim_shown = anim_steps;
    repaint();
  }
}

int vesk_textctrl::animation_callback(int elapsed_ms)
{
  anim_elapsed_ms += elapsed_ms;
  if (anim_elapsed_ms >= anim_period_ms) {
    anim_elapsed_ms = elapsed_ms < anim_period_ms ? anim_elapsed_ms - anim_period_ms : 0;
    --anim_steps;
  }
  bool stepped = false;
  if (flash_list) {
    background_color = calc_colorflash_color();
    stepped = true;
  }
  if (drag_scroll_speed != 0 && anim_steps % 4 == 1) {
    if (anim_steps <= 3) {
      anim_steps = 4;
      anim_shown = 0;
      anim_elapsed_ms = 0;
      anim_period_ms = 15;
    }
    if (owner_display) {
      owner_display->disable_scrolling();
      if (drag_scroll_speed < 0) {
        owner_display->scroll_up(-drag_scroll_speed);
        translate_xy_to_line_and_offset(0, 0, &cursor_line, &cursor_offset);
      } else {
        owner_display->scroll_down(drag_scroll_speed);
        translate_xy_to_line_and_offset(0, 4 * view_height, &cursor_line, &cursor_offset);
      }
    }
    set_ordered_selection();
    copy_selection_to_clipboard();
    repaint();
    stepped = true;
  }
  if (stepped && anim_steps != anim_shown) {
    anim_shown = anim_steps;
    repaint();
  }
  return anim_steps > 0;
}
