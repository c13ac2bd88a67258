#include "gfx/background.h"

#include <cstdint>

#include "gfx/themes.h"

const char *const ombrith_web_host = "www.ombrith.com";

Random background_prng;

int background_bitmap_side(int client_side)
{
  if (client_side < 0)
    client_side = 0;
  return (client_side + 256) & ~255;
}

namespace {

// Puts the generator back to its constructed state and stirs in the row.
void start_row(int stir_value)
{
  background_prng.reset();
  background_prng.stir(stir_value);
}

// A line of 5 pixels from (x, y) in the direction d: right, down, left, up.
void maze_step(vesk_bitmap &b, int x, int y, uint32_t d, const vesk_color &c)
{
  switch (d & 3) {
  case 0: b.DrawLine(x, y, x + 5, y, c); break;
  case 1: b.DrawLine(x, y, x, y + 5, c); break;
  case 2: b.DrawLine(x, y, x - 5, y, c); break;
  default: b.DrawLine(x, y, x, y - 5, c); break;
  }
}

// Cells are visited a little beyond the right and bottom edges as well:
// a line or ring of a cell just outside reaches into the bitmap, and
// leaving it out would make the pixels near the edges depend on the
// bitmap's size.
const int maze_reach = 5;
const int ring_reach = 5; // the largest ring radius

} // namespace

void background_paint_maze1(vesk_bitmap &b, int width, int height)
{
  b.Clear(vesk_BLACK);
  const vesk_color line = background_theme_colour(1);
  for (int y = 0; y < height + maze_reach; y += 5) {
    start_row(y);
    for (int x = 0; x < width + maze_reach; x += 5)
      maze_step(b, x, y, background_prng.rnd(), line);
  }
}

void background_paint_maze2(vesk_bitmap &b, int width, int height)
{
  b.Clear(vesk_BLACK);
  const vesk_color bright = background_theme_colour(0);
  const vesk_color line = background_theme_colour(1);
  for (int y = 0; y < height + maze_reach; y += 5) {
    start_row(y);
    for (int x = 0; x < width + maze_reach; x += 5) {
      uint32_t r = background_prng.rnd();
      maze_step(b, x, y, r, (r & 0x1C) == 0 ? bright : line);
    }
  }
}

void background_paint_maze3(vesk_bitmap &b, int width, int height)
{
  b.Clear(vesk_BLACK);
  const vesk_color bright = background_theme_colour(0);
  const vesk_color line = background_theme_colour(1);
  for (int y = 0; y < height; y += 5) {
    start_row(y);
    for (int x = 0; x < width; x += 5) {
      uint32_t r = background_prng.rnd();
      const vesk_color &c = (r & 2) == 0 ? bright : line;
      if (r & 1)
        b.DrawLine(x, y, x + 5, y + 5, c);
      else
        b.DrawLine(x + 5, y, x, y + 5, c);
    }
  }
}

void background_paint_circles(vesk_bitmap &b, int width, int height)
{
  b.Clear(vesk_color(0, 0, 0));
  for (int pass = 0; pass < 4; ++pass) {
    const vesk_color ring = background_theme_colour(pass < 2 ? 2 : (pass == 2 ? 1 : 0));
    for (int y0 = 0; y0 < height + ring_reach; y0 += 16) {
      // 32-bit signed arithmetic with wrap-around.
      start_row((int)((uint32_t)(y0 + 137) * (uint32_t)(pass + 1234567)));
      for (int x0 = -16; x0 < width + ring_reach; x0 += 16) {
        int dx = (int)(background_prng.rnd() & 15);
        int dy = (int)(background_prng.rnd() & 15);
        uint32_t q = background_prng.rnd();
        int k = (int)((q >> 2) & 3);
        b.DrawFilledCircle(x0 + dx, y0 + dy, k + 2, ring);
        b.DrawFilledCircle(x0 + dx, y0 + dy, k + 1, vesk_BLACK);
      }
    }
  }
}

void background_paint_style(vesk_bitmap &b, int style)
{
  int w = b.GetWidth(), h = b.GetHeight();
  switch (style) {
  case BG_STYLE_NONE: b.Clear(vesk_BLACK); break;
  case BG_STYLE_SOLID: b.Clear(background_theme_colour(2)); break;
  case BG_STYLE_MAZE1: background_paint_maze1(b, w, h); break;
  case BG_STYLE_BUBBLES: background_paint_circles(b, w, h); break;
  case BG_STYLE_MAZE3: background_paint_maze3(b, w, h); break;
  default: background_paint_maze2(b, w, h); break;
  }
}

int background_update(background_cache &c, int client_width, int client_height, int force, int style,
                      int colour_number)
{
  if (!force && c.bitmap && client_width <= c.width && client_height <= c.height && style == c.prev_style &&
      colour_number == c.prev_colour)
    return 0;

  // The new bitmap covers the client area rounded up to whole 256-pixel
  // blocks. It is not rounded up from the old bitmap's size as well: that
  // would add 256 pixels per side at every forced redraw of an unchanged
  // window (each theme or style change), without limit.
  delete c.bitmap;
  c.bitmap = new vesk_bitmap(background_bitmap_side(client_width), background_bitmap_side(client_height));
  c.width = c.bitmap->GetWidth();
  c.height = c.bitmap->GetHeight();
  background_paint_style(*c.bitmap, style);
  c.prev_style = style;
  c.prev_colour = colour_number;
  return 1;
}

logo_placement place_logo(int layout, int W, int H, int lw, int lh, int tw, int th)
{
  logo_placement p;
  p.logo_width = lw > tw ? lw : tw;
  p.logo_height = th + lh - 5;
  int m = p.logo_width / 2;
  if (layout == 2) {
    p.picture_x = m - lw / 2;
    p.picture_y = 0;
    p.text_x = m - tw / 2;
    p.text_y = lh - 5;
    p.logo_x = 0;
    p.logo_y = 0;
  } else if (layout == 1) {
    p.picture_x = m - lw / 2;
    p.picture_y = H - th - lh + 10;
    p.text_x = m - tw / 2;
    p.text_y = H - th;
    p.logo_x = 0;
    p.logo_y = H - p.logo_height;
  } else {
    p.picture_x = W - m - lw / 2;
    p.picture_y = H - th - lh + 10;
    p.text_x = W - m - tw / 2;
    p.text_y = H - th;
    p.logo_x = W - p.logo_width;
    p.logo_y = H - p.logo_height;
  }
  return p;
}

bool inside_logo(int x, int y, int logo_x, int logo_y, int logo_width, int logo_height)
{
  return logo_x < x && x < logo_x + logo_width && logo_y < y && y < logo_y + logo_height;
}
