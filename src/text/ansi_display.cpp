#include "text/ansi_display.h"

#include <cstdio>
#include <cstring>

#include "app/debug_log.h"
#include "app/gui_app.h"
#include "app/main_window.h"
#include "config/config_store.h"
#include "util/random.h"

// ---------------------------------------------------------------------------
// Scroll bar

wxBEGIN_EVENT_TABLE(vesk_ansi_scrollbar, wxScrollBar)
  EVT_SET_FOCUS(vesk_ansi_scrollbar::OnFocusGot)
wxEND_EVENT_TABLE()

vesk_ansi_scrollbar::vesk_ansi_scrollbar(wxWindow *parent, wxWindowID id)
    : wxScrollBar(parent, id, wxDefaultPosition, wxDefaultSize, wxSB_VERTICAL, wxDefaultValidator, "scrollBar")
{
}

void vesk_ansi_scrollbar::OnFocusGot(wxFocusEvent &event)
{
  if (!transfer_focus_main(this))
    event.Skip();
}

// ---------------------------------------------------------------------------
// Display

wxBEGIN_EVENT_TABLE(vesk_ansi_display, vesk_embedded_window)
  EVT_MOUSEWHEEL(vesk_ansi_display::mouseWheelEvent)
  EVT_SET_FOCUS(vesk_ansi_display::OnFocusGot)
wxEND_EVENT_TABLE()

vesk_ansi_display::vesk_ansi_display(wxWindow *parent, wxWindowID id, const wxString &name)
    : vesk_embedded_window(parent, id, name, wxDefaultPosition, wxSize(20, 20), wxBORDER_NONE),
      vesk_ansi_interpreter(nullptr), text_control(nullptr), scroll_bar(nullptr)
{
  text_control = new vesk_textctrl(this, id, name);
  text_control->owner_display = this;
  text_store = text_control;
  scroll_bar = new vesk_ansi_scrollbar(this, wxID_ANY);
  for (const auto &type : {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP, wxEVT_SCROLL_LINEDOWN,
                           wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN, wxEVT_SCROLL_THUMBTRACK,
                           wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED})
    scroll_bar->Bind(type, &vesk_ansi_display::handle_scroll_event, this);
  reset_colors();
}

vesk_ansi_display::~vesk_ansi_display()
{
  // The children go with the window; the interpreter must not reach the
  // text control after this point.
  text_store = nullptr;
}

void vesk_ansi_display::resize(int)
{
  const int cw = bitmap->GetWidth(), ch = bitmap->GetHeight();
  const int sbw = scroll_bar->GetSize().GetWidth();
  scroll_bar->SetSize(cw - sbw, 0, sbw, ch);
  scroll_bar->Show(scrollbar_enabled != 0);
  if (!following)
    enable_scrolling();
  const int inset = framed ? 2 : 0;
  int tw = cw - 2 * inset - (scrollbar_enabled ? sbw : 0);
  int th = ch - 2 * inset;
  text_control->SetSize(inset, inset, tw < 1 ? 1 : tw, th < 1 ? 1 : th);
  set_scrollbar();
}

void vesk_ansi_display::repaint_dc(vesk_bitmap &bmp)
{
  const int W = bmp.GetWidth() - get_scrollbar_width();
  const int H = bmp.GetHeight();
  vesk_color inner(128, 128, 128), outer(255, 255, 255);
  if (attention_flash_active()) {
    inner = outer = attention_flash_colour();
  } else if (!following) {
    inner = vesk_color(192, 0, 0);
    outer = vesk_color(255, 0, 0);
  }
  bmp.DrawLine(1, 1, W - 1, 1, inner);
  bmp.DrawLine(1, 1, 1, H - 1, inner);
  bmp.DrawLine(1, H - 2, W - 1, H - 2, inner);
  bmp.DrawLine(W - 2, 1, W - 2, H - 1, inner);
  bmp.DrawLine(0, 0, W, 0, outer);
  bmp.DrawLine(0, 0, 0, H, outer);
  bmp.DrawLine(0, H - 1, W, H - 1, outer);
  bmp.DrawLine(W - 1, 0, W - 1, H, outer);
}

int vesk_ansi_display::animation_callback(int elapsed_ms)
{
  int more = animation_step(elapsed_ms);
  set_scrollbar();
  return more;
}

void vesk_ansi_display::set_scrollbar()
{
  if (!text_control || !scroll_bar)
    return;
  int position = 0, range = 0, thumb = 0;
  text_control->get_scrollbar_data(&position, &range, &thumb);
  // Setting a different position first makes the toolkit redraw the thumb
  // even when the position did not change.
  scroll_bar->SetScrollbar(position - 1, thumb, range, thumb);
  scroll_bar->SetScrollbar(position, thumb, range, thumb);
}

void vesk_ansi_display::refresh()
{
  repaint();
  if (text_control)
    text_control->repaint();
}

void vesk_ansi_display::refresh_text()
{
  text_control->repaint();
  set_scrollbar();
}

void vesk_ansi_display::repaint_status_bar()
{
  if (main_window)
    main_window->repaint_status_bar();
}

int vesk_ansi_display::get_scroll_position() { return scroll_bar->GetThumbPosition(); }

void vesk_ansi_display::set_initial_font(vesk_font *font) { text_control->set_display_font(font); }

void vesk_ansi_display::change_font(vesk_font *font)
{
  text_control->set_display_font(font);
  applied_flags = -1;
  process_ansi_color();
  set_scrollbar();
  refresh();
}

void vesk_ansi_display::set_scrollbar_enable(int enable)
{
  if (enable == scrollbar_enabled)
    return;
  scrollbar_enabled = enable;
  resize(0);
}

int vesk_ansi_display::get_scrollbar_width() const
{
  return scrollbar_enabled && scroll_bar ? scroll_bar->GetSize().GetWidth() : 0;
}

void vesk_ansi_display::mouseWheelEvent(wxMouseEvent &event) { wheel_scroll(event.GetWheelRotation()); }

void vesk_ansi_display::OnFocusGot(wxFocusEvent &event)
{
  if (!transfer_focus_main(this))
    event.Skip();
}

void vesk_ansi_display::handle_scroll_event(wxScrollEvent &event)
{
  disable_and_set_scroll_position_i(event.GetPosition());
  if (!transfer_focus_main(this))
    SetFocus();
}

void vesk_ansi_display::generate_debug_fill_data()
{
  vesk_textctrl *tc = text_control;
  long characters = 0;
  char word[16];
  for (int line = 0; line < 100000; ++line) {
    int words = xrand(50);
    for (int w = 0; w < words; ++w) {
      int letters = 1 + xrand(10);
      for (int k = 0; k < letters; ++k)
        word[k] = (char)('a' + xrand(26));
      word[letters] = ' ';
      word[letters + 1] = 0;
      vesk_color foreground(xrand(256), xrand(256), xrand(256));
      vesk_color background(xrand(256), xrand(256), xrand(256));
      tc->SetTextColor(foreground, background);
      tc->AppendRawText(word);
      characters += letters + 1;
    }
    tc->AppendRawText("\n");
    characters += 1;
  }
  char summary[128];
  std::snprintf(summary, sizeof(summary), "%ld characters written (%ld kb).\n", characters, characters / 1000);
  tc->AppendRawText(summary);

  std::printf("size of vesk_textctrl_chunk %5d\n", (int)sizeof(vesk_textctrl_chunk));
  std::printf("size of vesk_textctrl_line  %5d\n", (int)sizeof(vesk_textctrl_line));
  std::printf("size of wxString            %5d\n", (int)sizeof(wxString));
  std::printf("size of vesk_render_list    %5d\n", (int)sizeof(vesk_render_list));
  std::printf("entries in render list   %8d\n", (int)render_list_length());
  std::fflush(stdout);

  scroll_to_bottom();
  refresh();
}

// ---------------------------------------------------------------------------
// Main text display

vesk_main_window::vesk_main_window(wxWindow *parent, wxWindowID id, const wxString &name)
    : vesk_ansi_display(parent, id, name), docked_automap(nullptr), docked_group(nullptr)
{
}

void vesk_main_window::resize(int bitmap_replaced)
{
  const int wanted = MConfig::GetMwScrollbar();
  if (scrollbar_enabled != wanted || bitmap_replaced != 0) {
    set_scrollbar_enable(wanted);
    vesk_ansi_display::resize(bitmap_replaced);
  }
  // The docked automap and group display are placed here (upper right of the
  // text, automap first) once those panels exist; until then neither is set.
}

// Client-side triggers hang here. At the verbose debug level every completed
// line of the main display goes to the debug log, which shows what the
// player saw.
void vesk_main_window::single_line_trigger(Buffer &line)
{
  VESK_LOG(3, "vesk_main_window::single_line_trigger() - '%s'\n", line.text);
}
