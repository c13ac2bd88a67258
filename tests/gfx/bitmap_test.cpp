// Pixel-exact checks of the software bitmap's drawing operations.
#include <gtest/gtest.h>

#include "gfx/bitmap.h"
#include "pixels.h"

namespace {

const vesk_color BG(10, 20, 30);

vesk_bitmap canvas(int w, int h, const vesk_color &c = BG)
{
  vesk_bitmap b(w, h);
  b.Clear(c);
  return b;
}

// A glyph bitmap whose green components (the coverage) are the given values,
// one row.
vesk_bitmap coverage_row(std::initializer_list<int> values)
{
  vesk_bitmap g((int)values.size(), 1);
  g.Clear(vesk_BLACK);
  int x = 0;
  for (int m : values)
    g.DrawPixel(x++, 0, 0, m, 0);
  return g;
}

} // namespace

TEST(Bitmap, ConstructionGivesOpaqueBitmapsAndCopiesAreDeep)
{
  REQUIRE_DISPLAY();
  vesk_bitmap def;
  EXPECT_EQ(def.GetWidth(), 16);
  EXPECT_EQ(def.GetHeight(), 16);
  EXPECT_EQ(px(def, 15, 15).a, 255);

  vesk_bitmap empty(0, -4);
  EXPECT_EQ(empty.GetWidth(), 1);
  EXPECT_EQ(empty.GetHeight(), 1);

  vesk_bitmap a = canvas(4, 4, vesk_RED);
  vesk_bitmap copy(a);
  vesk_bitmap assigned;
  assigned = a;
  a.Clear(vesk_BLUE);
  EXPECT_EQ(rgb(copy, 2, 2), vesk_RED);
  EXPECT_EQ(rgb(assigned, 2, 2), vesk_RED);
  EXPECT_EQ(rgb(a, 2, 2), vesk_BLUE);

  wxImage image(2, 1);
  image.SetAlpha();
  image.SetRGB(0, 0, 200, 100, 50);
  image.SetAlpha(0, 0, 128);
  vesk_bitmap from_image(image);
  EXPECT_EQ(px(from_image, 0, 0), (rgba{200, 100, 50, 128}));

  // An image without alpha still gives a bitmap the operations can draw into.
  vesk_bitmap opaque_image(wxImage(3, 3));
  opaque_image.Clear(vesk_GREEN);
  EXPECT_EQ(px(opaque_image, 1, 1), (rgba{0, 255, 0, 255}));
}

TEST(Bitmap, DrawingKeepsAlphaAndClearResetsIt)
{
  REQUIRE_DISPLAY();
  vesk_bitmap b = canvas(3, 3);
  set_px(b, 1, 1, {0, 0, 0, 77});
  b.DrawFilledRectangle(0, 0, 2, 2, vesk_WHITE);
  b.DrawPixel(1, 1, vesk_RED);
  EXPECT_EQ(px(b, 1, 1), (rgba{255, 0, 0, 77}));
  b.Clear(vesk_BLUE);
  EXPECT_EQ(px(b, 1, 1), (rgba{0, 0, 255, 255}));
  // Only the low 8 bits of a component are stored.
  b.DrawPixel(0, 0, 256 + 7, -1, 511);
  EXPECT_EQ(rgb(b, 0, 0), vesk_color(7, 255, 255));
}

TEST(Bitmap, GlyphBlending)
{
  REQUIRE_DISPLAY();
  vesk_bitmap glyph = coverage_row({0, 128, 255});
  vesk_bitmap b = canvas(3, 1, vesk_color(200, 200, 200));
  b.DrawTextGlyph(glyph, 0, 0, vesk_WHITE, BG);
  EXPECT_EQ(rgb(b, 0, 0), BG);                      // no coverage: exactly the background
  EXPECT_EQ(rgb(b, 1, 0), vesk_color(132, 137, 142)); // (127 x bg + 128 x 255) / 256
  EXPECT_EQ(rgb(b, 2, 0), vesk_color(254, 254, 254)); // full coverage never reaches 255

  vesk_bitmap t = canvas(3, 1, vesk_color(100, 0, 50));
  t.DrawTextGlyphTransparent(glyph, 0, 0, vesk_WHITE);
  EXPECT_EQ(rgb(t, 0, 0), vesk_color(100, 0, 50)); // untouched
  EXPECT_EQ(rgb(t, 1, 0), vesk_color(177, 127, 152));
  EXPECT_EQ(rgb(t, 2, 0), vesk_color(254, 254, 254));
}

TEST(Bitmap, GlyphCopiesClipAtEveryEdge)
{
  REQUIRE_DISPLAY();
  vesk_bitmap glyph(3, 3);
  glyph.Clear(vesk_color(0, 255, 0));
  struct placement {
    int x, y;
    std::vector<std::string> changed;
  };
  const placement cases[] = {
      {-2, -2, {"0,0"}},
      {3, 3, {"3,3"}},
      {-1, 3, {"0,3", "1,3"}},
      {-3, 0, {}},
      {4, 0, {}},
  };
  for (const placement &c : cases) {
    vesk_bitmap b = canvas(4, 4);
    b.DrawTextGlyph(glyph, c.x, c.y, vesk_WHITE, BG);
    EXPECT_EQ(pixels_not(b, BG), c.changed) << "glyph at " << c.x << "," << c.y;
  }
}

TEST(Bitmap, BitmapCopies)
{
  REQUIRE_DISPLAY();
  vesk_bitmap src(2, 2);
  src.Clear(vesk_color(200, 100, 50));
  set_px(src, 0, 0, {200, 100, 50, 128});
  set_px(src, 1, 0, {200, 100, 50, 0});

  vesk_bitmap b = canvas(3, 3);
  set_px(b, 1, 1, {1, 2, 3, 40});
  b.DrawBitmapUseAlpha(src, 1, 1);
  EXPECT_EQ(px(b, 1, 1), (rgba{100, 50, 25, 40})); // over black, destination alpha kept
  EXPECT_EQ(px(b, 2, 1), (rgba{0, 0, 0, 255}));
  EXPECT_EQ(px(b, 1, 2), (rgba{199, 99, 49, 255}));
  EXPECT_EQ(rgb(b, 0, 0), BG);

  vesk_bitmap c = canvas(3, 3);
  c.DrawBitmapIgnoreAlpha(src, -1, -1);
  EXPECT_EQ(px(c, 0, 0), (rgba{200, 100, 50, 255}));
  EXPECT_EQ(pixels_not(c, BG), std::vector<std::string>{"0,0"});
  c.DrawBitmapIgnoreAlpha(src, 2, 1);
  EXPECT_EQ(px(c, 2, 1), (rgba{200, 100, 50, 128})); // alpha copied too

  // Drawing a bitmap onto itself reads what was there before.
  vesk_bitmap self(3, 1);
  self.Clear(BG);
  self.DrawPixel(0, 0, vesk_RED);
  self.DrawBitmapIgnoreAlpha(self, 1, 0);
  EXPECT_EQ(rgb(self, 1, 0), vesk_RED);
  EXPECT_EQ(rgb(self, 2, 0), BG);
}

TEST(Bitmap, RectanglesSortAndClip)
{
  REQUIRE_DISPLAY();
  vesk_bitmap b = canvas(4, 4);
  b.DrawFilledRectangle(5, 2, -3, 1, vesk_RED);
  EXPECT_EQ(pixels_not(b, BG), (std::vector<std::string>{"0,1", "1,1", "2,1", "3,1", "0,2", "1,2", "2,2", "3,2"}));
  vesk_bitmap untouched = canvas(4, 4);
  untouched.DrawFilledRectangle(4, 0, 9, 3, vesk_RED);
  untouched.DrawFilledRectangle(0, -5, 3, -1, vesk_RED);
  EXPECT_TRUE(pixels_not(untouched, BG).empty());
}

TEST(Bitmap, GradientColumnsAndRows)
{
  REQUIRE_DISPLAY();
  vesk_bitmap b = canvas(5, 2);
  b.DrawXGradientRectangle(1, 0, 3, 1, vesk_BLACK, vesk_WHITE);
  EXPECT_EQ(rgb(b, 0, 0), BG);
  EXPECT_EQ(rgb(b, 1, 1), vesk_color(63, 63, 63));
  EXPECT_EQ(rgb(b, 2, 1), vesk_color(127, 127, 127));
  EXPECT_EQ(rgb(b, 3, 0), vesk_color(191, 191, 191));
  EXPECT_EQ(rgb(b, 4, 0), BG);

  vesk_bitmap one = canvas(1, 1);
  one.DrawXGradientRectangle(0, 0, 0, 0, vesk_BLACK, vesk_WHITE);
  EXPECT_EQ(rgb(one, 0, 0), vesk_color(127, 127, 127));

  // Clipped on the left: the ramp starts at the bitmap's edge.
  vesk_bitmap left = canvas(2, 1);
  left.DrawXGradientRectangle(-2, 0, 1, 0, vesk_BLACK, vesk_color(250, 0, 0));
  EXPECT_EQ(rgb(left, 0, 0), vesk_color(50, 0, 0));
  EXPECT_EQ(rgb(left, 1, 0), vesk_color(100, 0, 0));

  // Downward ramp from white to black over three rows, corners reversed.
  vesk_bitmap y = canvas(1, 3);
  y.DrawYGradientRectangle(0, 2, 0, 0, vesk_WHITE, vesk_BLACK);
  EXPECT_EQ(rgb(y, 0, 0), vesk_color(191, 191, 191));
  EXPECT_EQ(rgb(y, 0, 1), vesk_color(127, 127, 127));
  EXPECT_EQ(rgb(y, 0, 2), vesk_color(63, 63, 63));
}

TEST(Bitmap, CircleRows)
{
  REQUIRE_DISPLAY();
  struct circle_case {
    int radius;
    std::vector<int> row_widths; // rows from the top of the bitmap
  };
  const circle_case cases[] = {
      {-3, {0, 0, 0, 1, 0, 0, 0}},
      {0, {0, 0, 0, 1, 0, 0, 0}},
      {1, {0, 0, 3, 3, 3, 0, 0}},
      {2, {0, 3, 5, 5, 5, 3, 0}},
      {3, {3, 5, 7, 7, 7, 5, 3}},
  };
  for (const circle_case &c : cases) {
    vesk_bitmap b = canvas(7, 7);
    b.DrawFilledCircle(3, 3, c.radius, vesk_WHITE);
    for (int y = 0; y < 7; ++y) {
      int w = 0;
      for (int x = 0; x < 7; ++x)
        if (rgb(b, x, y) == vesk_WHITE) {
          ++w;
          EXPECT_LE(std::abs(x - 3), c.row_widths[y] / 2) << "radius " << c.radius << " row " << y;
        }
      EXPECT_EQ(w, c.row_widths[y]) << "radius " << c.radius << " row " << y;
    }
  }

  // A circle hanging over the corner is clipped, not dropped.
  vesk_bitmap corner = canvas(3, 3);
  corner.DrawFilledCircle(0, 0, 2, vesk_WHITE);
  EXPECT_EQ(pixels_not(corner, BG).size(), 8u); // rows of 3, 3, 2 pixels
  EXPECT_EQ(rgb(corner, 2, 2), BG);
  vesk_bitmap outside = canvas(3, 3);
  outside.DrawFilledCircle(-3, 1, 2, vesk_WHITE);
  outside.DrawFilledCircle(1, 5, 2, vesk_WHITE);
  EXPECT_TRUE(pixels_not(outside, BG).empty());
}

TEST(Bitmap, Lines)
{
  REQUIRE_DISPLAY();
  vesk_bitmap dot = canvas(8, 8);
  dot.DrawLine(5, 5, 5, 5, vesk_WHITE);
  EXPECT_EQ(pixels_not(dot, BG), std::vector<std::string>{"5,5"});

  const std::vector<std::string> shallow = {"0,0", "1,0", "2,1", "3,1", "4,2", "5,2"};
  vesk_bitmap a = canvas(8, 8), b = canvas(8, 8);
  a.DrawLine(0, 0, 5, 2, vesk_WHITE);
  b.DrawLine(5, 2, 0, 0, vesk_WHITE);
  EXPECT_EQ(pixels_not(a, BG), shallow);
  EXPECT_EQ(pixels_not(b, BG), shallow);

  // Equal spans are walked along y.
  vesk_bitmap diag = canvas(4, 4);
  diag.DrawLine(3, 0, 0, 3, vesk_WHITE);
  EXPECT_EQ(pixels_not(diag, BG), (std::vector<std::string>{"3,0", "2,1", "1,2", "0,3"}));

  vesk_bitmap off = canvas(8, 8);
  off.DrawLine(-10, 0, -2, 7, vesk_WHITE);
  EXPECT_TRUE(pixels_not(off, BG).empty());

  vesk_bitmap grad = canvas(4, 1);
  grad.DrawGradientLine(3, 0, 0, 0, vesk_BLACK, vesk_WHITE); // walked from the first point
  EXPECT_EQ(rgb(grad, 3, 0), vesk_color(0, 0, 0));
  EXPECT_EQ(rgb(grad, 2, 0), vesk_color(63, 63, 63));
  EXPECT_EQ(rgb(grad, 1, 0), vesk_color(127, 127, 127));
  EXPECT_EQ(rgb(grad, 0, 0), vesk_color(191, 191, 191));

  vesk_bitmap steep = canvas(3, 5);
  steep.DrawGradientLine(0, 0, 2, 4, vesk_BLACK, vesk_color(0, 250, 0));
  EXPECT_EQ(pixels_not(steep, BG), (std::vector<std::string>{"0,0", "1,1", "1,2", "2,3", "2,4"}));
  EXPECT_EQ(rgb(steep, 2, 4), vesk_color(0, 200, 0));
}

TEST(Bitmap, PolygonFill)
{
  REQUIRE_DISPLAY();
  const vesk_color OUT(255, 0, 0), FILL(0, 0, 255);
  const wxPoint clockwise[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
  const wxPoint counter[] = {{1, 1}, {1, 5}, {5, 5}, {5, 1}};
  vesk_bitmap a = canvas(8, 8), b = canvas(8, 8);
  a.DrawPolygon(4, clockwise, 1, 0, OUT, FILL);
  b.DrawPolygon(4, counter, 1, 0, OUT, FILL);
  EXPECT_EQ(all_pixels(a), all_pixels(b));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      vesk_color want = BG;
      if (x >= 2 && x <= 6 && y >= 1 && y <= 5)
        want = (x == 2 || x == 6 || y == 1 || y == 5) ? OUT : FILL;
      EXPECT_EQ(rgb(a, x, y), want) << x << "," << y;
    }

  // A triangle, both ways round: same pixels, and the fill reaches inside.
  const wxPoint tri_cw[] = {{0, 0}, {8, 8}, {0, 8}};
  const wxPoint tri_ccw[] = {{0, 0}, {0, 8}, {8, 8}};
  vesk_bitmap c = canvas(10, 10), d = canvas(10, 10);
  c.DrawPolygon(3, tri_cw, 0, 0, OUT, FILL);
  d.DrawPolygon(3, tri_ccw, 0, 0, OUT, FILL);
  EXPECT_EQ(all_pixels(c), all_pixels(d));
  EXPECT_EQ(rgb(c, 2, 6), FILL);
  EXPECT_EQ(rgb(c, 6, 2), BG);

  // Too few or too many points: a message and no drawing.
  std::vector<wxPoint> many(1000, wxPoint(1, 1));
  many[1] = wxPoint(5, 1);
  many[2] = wxPoint(5, 5);
  vesk_bitmap e = canvas(8, 8);
  {
    log_capture log(1);
    e.DrawPolygon(2, clockwise, 0, 0, OUT, FILL);
    e.DrawPolygon(1000, many.data(), 0, 0, OUT, FILL);
    EXPECT_NE(log.text().find("Error in vesk_bitmap::DrawPolygon(), only got 2 points, need a minimum of 3.\n"),
              std::string::npos);
    EXPECT_NE(log.text().find("Error in vesk_bitmap::DrawPolygon(), got 1000 points, max is 1000.\n"),
              std::string::npos);
  }
  EXPECT_TRUE(pixels_not(e, BG).empty());
  e.DrawPolygon(999, many.data(), 0, 0, OUT, FILL);
  EXPECT_EQ(rgb(e, 4, 3), FILL);
}

TEST(Bitmap, Borders)
{
  REQUIRE_DISPLAY();
  vesk_bitmap b = canvas(4, 3);
  draw_strong_border(b, 4, 3, BORDER_LEFT, nullptr);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(rgb(b, 0, y), vesk_WHITE);
    EXPECT_EQ(rgb(b, 1, y), vesk_GREY);
    EXPECT_EQ(rgb(b, 2, y), BG);
  }
  vesk_bitmap all = canvas(6, 4);
  vesk_color c(1, 2, 3);
  draw_strong_border(all, 6, 4, BORDER_ALL, &c);
  EXPECT_EQ(pixels_not(all, c).size(), 4u); // two columns each side, one row top and bottom
  EXPECT_EQ(rgb(all, 2, 1), BG);

  vesk_bitmap thin = canvas(4, 3);
  draw_thin_border(thin, vesk_RED, 4, 3);
  EXPECT_EQ(rgb(thin, 0, 0), vesk_BLACK);
  EXPECT_EQ(rgb(thin, 3, 2), vesk_BLACK);
  EXPECT_EQ(rgb(thin, 1, 0), vesk_RED);
  EXPECT_EQ(rgb(thin, 0, 1), vesk_RED);
  EXPECT_EQ(rgb(thin, 3, 1), vesk_RED);
  EXPECT_EQ(rgb(thin, 2, 2), vesk_RED);
  EXPECT_EQ(rgb(thin, 1, 1), BG);
}
