// Window helpers for the drawing and mouse tests of the text view: a frame to
// hold the windows, a glyph font, and pixel scans of a drawn bitmap.
#ifndef OMBRITH_TESTS_TEXT_VIEW_FIXTURE_H
#define OMBRITH_TESTS_TEXT_VIEW_FIXTURE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/rawbmp.h>

#include "config/config_store.h"
#include "gfx/font.h"
#include "test_support.h"

#define REQUIRE_DISPLAY()                                                                                    \
  do {                                                                                                       \
    if (!test_have_display())                                                                                \
      GTEST_SKIP() << "needs an X display (run under xvfb-run)";                                             \
  } while (0)

inline std::unique_ptr<vesk_font> make_text_font(int size = 10)
{
  return std::make_unique<vesk_font>(size, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                                     wxString(), wxFONTENCODING_DEFAULT);
}

// A default character configuration is current, with its default options.
inline void use_default_config()
{
  MConfig::setup_default_config("");
  MConfig::current()->load_defaults();
}

// The pixels of a bitmap, read once.
class pixel_grid {
public:
  explicit pixel_grid(wxBitmap &bitmap) : w_(bitmap.GetWidth()), h_(bitmap.GetHeight())
  {
    wxAlphaPixelData data(bitmap);
    if (!data)
      return;
    wxAlphaPixelData::Iterator row(data);
    for (int y = 0; y < h_; ++y) {
      wxAlphaPixelData::Iterator p = row;
      for (int x = 0; x < w_; ++x, ++p)
        pixels_.push_back((uint32_t)p.Red() << 16 | (uint32_t)p.Green() << 8 | p.Blue());
      row.OffsetY(data, 1);
    }
  }
  int width() const { return w_; }
  int height() const { return h_; }
  uint32_t at(int x, int y) const { return pixels_[(size_t)y * w_ + x]; }

  // Rows holding at least one pixel for which `match` holds, as [first, last];
  // {-1, -1} when there is none.
  std::pair<int, int> rows_where(const std::function<bool(uint32_t)> &match) const
  {
    int first = -1, last = -1;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (match(at(x, y))) {
          if (first < 0)
            first = y;
          last = y;
          break;
        }
    return {first, last};
  }
  std::pair<int, int> columns_where(const std::function<bool(uint32_t)> &match) const
  {
    int first = -1, last = -1;
    for (int x = 0; x < w_; ++x)
      for (int y = 0; y < h_; ++y)
        if (match(at(x, y))) {
          if (first < 0)
            first = x;
          last = x;
          break;
        }
    return {first, last};
  }

private:
  int w_, h_;
  std::vector<uint32_t> pixels_;
};

// Ink of a colour whose channels are each 0 or 255, drawn on black: exactly
// the channels lit in the colour are lit in the pixel.
inline std::function<bool(uint32_t)> ink_of(uint32_t rgb)
{
  return [rgb](uint32_t p) {
    for (int shift : {16, 8, 0})
      if ((((rgb >> shift) & 255) != 0) != (((p >> shift) & 255) != 0))
        return false;
    return true;
  };
}

#endif
