// The main window's own surface: the background bitmap, the logo with the
// web host under it, the two-line border, and the click on the logo.
#include <wx/dcclient.h>
#include <wx/font.h>
#include <wx/graphics.h>

#include "app/debug_log.h"
#include "app/main_window.h"
#include "gfx/background.h"
#include "gfx/images.h"
#include "gfx/theme_settings.h"
#include "gfx/themes.h"

namespace {

// The style and background theme number the bitmap was last painted with.
int prev_bgstyle = -1;
int prev_bgcolor = -1;

wxFont *background_small_font = nullptr;

wxColour toolkit_colour(const vesk_color &c)
{
  return wxColour((unsigned char)c.red, (unsigned char)c.green, (unsigned char)c.blue);
}

} // namespace

void vesk_mw::redraw_background(int force)
{
  int w = 0, h = 0;
  GetClientSize(&w, &h);
  background_cache cache;
  cache.bitmap = background_bitmap;
  cache.width = background_width;
  cache.height = background_height;
  cache.prev_style = prev_bgstyle;
  cache.prev_colour = prev_bgcolor;
  background_update(cache, w, h, force, configured_background_style(), configured_background_theme());
  background_bitmap = cache.bitmap;
  background_width = cache.width;
  background_height = cache.height;
  prev_bgstyle = cache.prev_style;
  prev_bgcolor = cache.prev_colour;
}

void vesk_mw::paint_maze1_background(vesk_bitmap *bitmap, int width, int height)
{
  if (bitmap)
    background_paint_maze1(*bitmap, width, height);
}

void vesk_mw::paint_maze2_background(vesk_bitmap *bitmap, int width, int height)
{
  if (bitmap)
    background_paint_maze2(*bitmap, width, height);
}

void vesk_mw::paint_maze3_background(vesk_bitmap *bitmap, int width, int height)
{
  if (bitmap)
    background_paint_maze3(*bitmap, width, height);
}

void vesk_mw::paint_circles_background(vesk_bitmap *bitmap, int width, int height)
{
  if (bitmap)
    background_paint_circles(*bitmap, width, height);
}

void vesk_mw::repaint_handler(wxPaintEvent &)
{
  wxPaintDC dc(this);
  paint_surface(dc);
}

void vesk_mw::paint_surface(wxDC &dc)
{
  if (!background_bitmap) {
    VESK_LOG(2, "Error in vesk_mw::repaint_handler() - no background image?\n");
    return;
  }
  dc.DrawBitmap(*background_bitmap, 0, 0, false);

  if (!background_small_font)
    background_small_font = new wxFont(9, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, true,
                                       wxEmptyString, wxFONTENCODING_DEFAULT);
  int W = 0, H = 0;
  GetClientSize(&W, &H);
  dc.SetTextForeground(*wxWHITE);
  dc.SetTextBackground(*wxBLACK);
  dc.SetFont(*background_small_font);
  wxString host(ombrith_web_host);
  wxCoord tw = 0, th = 0;
  dc.GetTextExtent(host, &tw, &th);
  int lw = ombrith_logo_bitmap ? ombrith_logo_bitmap->GetWidth() : 0;
  int lh = ombrith_logo_bitmap ? ombrith_logo_bitmap->GetHeight() : 0;

  logo_placement p = place_logo(configured_layout(), W, H, lw, lh, tw, th);
  logo_x = p.logo_x;
  logo_y = p.logo_y;
  logo_width = p.logo_width;
  logo_height = p.logo_height;
  // Drawn without a mask: the picture's own alpha blends it over the background.
  if (ombrith_logo_bitmap)
    dc.DrawBitmap(*ombrith_logo_bitmap, p.picture_x, p.picture_y, false);
  dc.DrawText(host, p.text_x, p.text_y);

  // Two border lines left, right and at the bottom; none at the top. They
  // are exact pixels, not smoothed.
  if (wxGraphicsContext *gc = dc.GetGraphicsContext())
    gc->SetAntialiasMode(wxANTIALIAS_NONE);
  dc.SetPen(wxPen(toolkit_colour(button_theme_colour(3)), 1, wxPENSTYLE_SOLID));
  dc.DrawLine(1, 0, 1, H);
  dc.DrawLine(W - 2, 0, W - 2, H);
  dc.DrawLine(0, H - 2, W, H - 2);
  dc.SetPen(wxPen(toolkit_colour(button_theme_colour(0)), 1, wxPENSTYLE_SOLID));
  dc.DrawLine(0, 0, 0, H);
  dc.DrawLine(W - 1, 0, W - 1, H);
  dc.DrawLine(0, H - 1, W, H - 1);
  dc.SetPen(wxNullPen);
  dc.SetFont(wxNullFont);
}

void vesk_mw::mouse_event_handler(wxMouseEvent &event)
{
  // Only while the left button is held: a press, or a drag onto the logo.
  if (!event.LeftIsDown()) {
    logo_press_handled = 0;
    return;
  }
  if (!inside_logo(event.GetX(), event.GetY(), logo_x, logo_y, logo_width, logo_height))
    return;
  // One press opens the page once, however far the pointer moves with the
  // button held; otherwise every motion event would start another browser.
  if (logo_press_handled)
    return;
  logo_press_handled = 1;

  Buffer url;
  url.append("http://");
  url.append(ombrith_web_host);
  url.append("/?mc");
  if (http_fork(url.text)) {
    display_set_default_colors();
    display_write("\n");
    display_write("\nOpening the main Ombrith web page in your browser...");
    display_write("\n");
  }
}
