// Pixel reading for the drawing tests, and a guard that turns toolkit
// assertions into test failures instead of dialogs.
#ifndef OMBRITH_TESTS_GFX_PIXELS_H
#define OMBRITH_TESTS_GFX_PIXELS_H

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/rawbmp.h>

#include "gfx/bitmap.h"
#include "test_support.h"

struct rgba {
  int r, g, b, a;
  bool operator==(const rgba &o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

inline std::ostream &operator<<(std::ostream &os, const rgba &p)
{
  return os << "(" << p.r << "," << p.g << "," << p.b << "," << p.a << ")";
}

inline rgba px(const wxBitmap &bitmap, int x, int y)
{
  wxAlphaPixelData data(const_cast<wxBitmap &>(bitmap));
  if (!data)
    return {-1, -1, -1, -1};
  wxAlphaPixelData::Iterator p(data);
  p.MoveTo(data, x, y);
  return {p.Red(), p.Green(), p.Blue(), p.Alpha()};
}

inline vesk_color rgb(const wxBitmap &bitmap, int x, int y)
{
  rgba p = px(bitmap, x, y);
  return vesk_color(p.r, p.g, p.b);
}

inline void set_px(wxBitmap &bitmap, int x, int y, rgba v)
{
  wxAlphaPixelData data(bitmap);
  wxAlphaPixelData::Iterator p(data);
  p.MoveTo(data, x, y);
  p.Red() = v.r;
  p.Green() = v.g;
  p.Blue() = v.b;
  p.Alpha() = v.a;
}

// All pixels, row by row, packed as 0xAARRGGBB.
inline std::vector<uint32_t> all_pixels(const wxBitmap &bitmap)
{
  std::vector<uint32_t> out;
  wxAlphaPixelData data(const_cast<wxBitmap &>(bitmap));
  if (!data)
    return out;
  wxAlphaPixelData::Iterator row(data);
  for (int y = 0; y < data.GetHeight(); ++y) {
    wxAlphaPixelData::Iterator p = row;
    for (int x = 0; x < data.GetWidth(); ++x, ++p)
      out.push_back((uint32_t)p.Alpha() << 24 | (uint32_t)p.Red() << 16 | (uint32_t)p.Green() << 8 | p.Blue());
    row.OffsetY(data, 1);
  }
  return out;
}

// Pixels that differ from `colour` (alpha ignored), as "x,y" strings.
inline std::vector<std::string> pixels_not(const wxBitmap &bitmap, const vesk_color &colour)
{
  std::vector<std::string> out;
  for (int y = 0; y < bitmap.GetHeight(); ++y)
    for (int x = 0; x < bitmap.GetWidth(); ++x)
      if (rgb(bitmap, x, y) != colour)
        out.push_back(std::to_string(x) + "," + std::to_string(y));
  return out;
}

inline std::ostream &operator<<(std::ostream &os, const vesk_color &c)
{
  return os << "(" << c.red << "," << c.green << "," << c.blue << ")";
}

#define REQUIRE_DISPLAY()                                                                                    \
  do {                                                                                                       \
    if (!test_have_display())                                                                                \
      GTEST_SKIP() << "needs an X display (run under xvfb-run)";                                             \
  } while (0)

#endif
