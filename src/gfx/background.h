// The main window's background: a bitmap at least as large as the client
// area, painted in one of six styles from a fixed-seed generator, and the
// placement of the clickable logo on it.
#ifndef OMBRITH_GFX_BACKGROUND_H
#define OMBRITH_GFX_BACKGROUND_H

#include "gfx/bitmap.h"
#include "util/random.h"

// The game's web site: the host shown under the logo; a click on the logo
// opens "http://" + host + "/?mc".
extern const char *const ombrith_web_host;

// Used only for painting backgrounds; reset and stirred before every row so
// that a cell's look depends only on its position and the style.
extern Random background_prng;

// The next multiple of 256 strictly above the value (1000 -> 1024,
// 1024 -> 1280, 0 -> 256).
int background_bitmap_side(int client_side);

// The painters, in the colours of the current background theme. Each covers
// the whole bitmap.
void background_paint_maze1(vesk_bitmap &bitmap, int width, int height);
void background_paint_maze2(vesk_bitmap &bitmap, int width, int height);
void background_paint_maze3(vesk_bitmap &bitmap, int width, int height);
void background_paint_circles(vesk_bitmap &bitmap, int width, int height);
// One of the six styles (BG_STYLE_*; anything else is Maze2).
void background_paint_style(vesk_bitmap &bitmap, int style);

// Brings a background bitmap up to date for a client area of
// client_width x client_height. Without `force`, an existing bitmap that
// covers the area and was painted with the same style and background theme
// number is kept. Otherwise it is replaced by one whose sides are the client
// sides rounded up to the next multiple of 256, and painted. Returns 1 when
// the bitmap was re-created.
struct background_cache {
  vesk_bitmap *bitmap = nullptr;
  int width = -1;
  int height = -1;
  int prev_style = -1;
  int prev_colour = -1;
};
int background_update(background_cache &cache, int client_width, int client_height, int force, int style,
                      int colour_number);

// Where the logo picture (lw x lh) and the host name under it (tw x th) go in
// a client area of W x H, and the clickable rectangle, for a window layout
// (2 top left, 1 bottom left, anything else bottom right).
struct logo_placement {
  int logo_x, logo_y, logo_width, logo_height; // clickable rectangle
  int picture_x, picture_y;
  int text_x, text_y;
};
logo_placement place_logo(int layout, int W, int H, int lw, int lh, int tw, int th);

// Strictly inside the rectangle: its edges do not count.
bool inside_logo(int x, int y, int logo_x, int logo_y, int logo_width, int logo_height);

#endif
