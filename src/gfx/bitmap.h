// The client's software bitmap: a 32-bit toolkit bitmap (alpha, red, green,
// blue) with drawing operations that write the pixels directly. Every
// operation clips to the bitmap; none fails because its arguments lie partly
// or wholly outside. Drawing writes red, green and blue and leaves a pixel's
// alpha as it was, except where an operation says otherwise.
#ifndef OMBRITH_GFX_BITMAP_H
#define OMBRITH_GFX_BITMAP_H

#include <wx/bitmap.h>
#include <wx/gdicmn.h>
#include <wx/image.h>

#include "gfx/color.h"

class vesk_font;

class vesk_bitmap : public wxBitmap {
public:
  // 16 x 16, opaque black.
  vesk_bitmap();
  // width x height, opaque black. A side below 1 becomes 1: the toolkit has
  // no empty bitmaps, and an invalid one would make every later call fail.
  vesk_bitmap(int width, int height);
  // The image's pixels; its alpha if it has one, else opaque.
  explicit vesk_bitmap(const wxImage &image);
  // Copies are deep: drawing into one never shows in the other.
  vesk_bitmap(const vesk_bitmap &other);
  vesk_bitmap &operator=(const vesk_bitmap &other);
  ~vesk_bitmap() override = default;

  // Sets every pixel's alpha to 255 (and, for a new bitmap, its colour to
  // black) and marks the bitmap as using alpha.
  void InitClearAlpha();

  // Every pixel takes the colour and alpha 255.
  void Clear(const vesk_color &colour);

  void DrawPixel(int x, int y, const vesk_color &colour);
  void DrawPixel(int x, int y, int r, int g, int b);

  // Rectangles: corners in either order, both corners inside the area.
  void DrawFilledRectangle(int x1, int y1, int x2, int y2, const vesk_color &colour);
  void DrawXGradientRectangle(int x1, int y1, int x2, int y2, const vesk_color &c1, const vesk_color &c2);
  void DrawYGradientRectangle(int x1, int y1, int x2, int y2, const vesk_color &c1, const vesk_color &c2);

  void DrawFilledCircle(int cx, int cy, int radius, const vesk_color &colour);

  void DrawLine(int x1, int y1, int x2, int y2, const vesk_color &colour);
  void DrawGradientLine(int x1, int y1, int x2, int y2, const vesk_color &c1, const vesk_color &c2);

  // Scan-line fill in `fill`, then the outline in `outline`. (dx, dy) is
  // added to every point. 3 to 999 points.
  void DrawPolygon(int count, const wxPoint *points, int dx, int dy, const vesk_color &outline,
                   const vesk_color &fill);

  // The source's top-left pixel goes to (x, y).
  void DrawBitmapIgnoreAlpha(const vesk_bitmap &source, int x, int y);
  // Each component becomes source component x source alpha / 256 (the
  // source over black); the destination's alpha stays.
  void DrawBitmapUseAlpha(const vesk_bitmap &source, int x, int y);

  // Text through the font's cached glyphs; (x, y) is the top-left corner of
  // the first glyph. Bytes are reduced to 7 bits; codes without a glyph are
  // skipped without advancing.
  void RenderText(const vesk_font &font, const char *text, int x, int y, const vesk_color &foreground,
                  const vesk_color &background);
  void RenderTextTransparent(const vesk_font &font, const char *text, int x, int y,
                             const vesk_color &foreground);

  // One glyph bitmap (its green component is the coverage).
  void DrawTextGlyph(const vesk_bitmap &glyph, int x, int y, const vesk_color &foreground,
                     const vesk_color &background);
  void DrawTextGlyphTransparent(const vesk_bitmap &glyph, int x, int y, const vesk_color &foreground);

  void GetTextSize(const vesk_font &font, const char *text, int *width, int *height) const;

private:
  void render_text(const vesk_font &font, const char *text, int x, int y, const vesk_color &foreground,
                   const vesk_color *background);
};

// A one-pixel frame in the colour with its four corner pixels black.
void draw_thin_border(vesk_bitmap &bitmap, const vesk_color &colour, int width, int height);

// Side bits for draw_strong_border.
enum { BORDER_TOP = 1, BORDER_RIGHT = 2, BORDER_BOTTOM = 4, BORDER_LEFT = 8, BORDER_ALL = 15 };

// A frame on the chosen sides: two columns on the left and right, one row on
// top and bottom. The main colour is `colour`, or white when it is null; the
// inner left column is `colour`, or grey when it is null.
void draw_strong_border(vesk_bitmap &bitmap, int width, int height, int sides, const vesk_color *colour);

#endif
