// A toolkit font that keeps one pre-rendered coverage bitmap per printable
// ASCII character (codes 32-126), so that text is drawn by blending cached
// glyphs instead of by toolkit text calls. All glyphs of a font are treated
// as one line high.
#ifndef OMBRITH_GFX_FONT_H
#define OMBRITH_GFX_FONT_H

#include <cstdint>
#include <memory>

#include <wx/font.h>

#include "gfx/bitmap.h"

class vesk_font : public wxFont {
public:
  enum { glyph_count = 128, first_glyph = 32, last_glyph = 126 };

  vesk_font(int point_size, wxFontFamily family, wxFontStyle style, wxFontWeight weight, bool underlined,
            const wxString &face_name, wxFontEncoding encoding);
  // A glyph font with the appearance of an existing toolkit font.
  explicit vesk_font(const wxFont &font);
  ~vesk_font() override;

  vesk_font(const vesk_font &) = delete;
  vesk_font &operator=(const vesk_font &) = delete;

  // Width and height of the glyph of `code` (32-126), else 0 and 0. Either
  // output may be null.
  void GetCharacterSize(int code, int *width, int *height) const;
  // Width: sum of the glyph widths; height: that of the last character with
  // a glyph; 0 x 0 for a text without glyphs. A null text writes nothing.
  void GetTextSize(const char *text, int *width, int *height) const;

  // Sets the size and rebuilds every glyph (even when the size is unchanged).
  void SetPointSize(int size) override;

  // Renders the 95 glyphs again from the toolkit font.
  void rebuild_font_glyphs();
  // Takes over face name, style, underline, weight and size of another font
  // with a single glyph rebuild. Family and encoding stay.
  void bulk_change_font(const wxFont &font);

  // The glyph bitmap of `code`, or null for codes without one.
  const vesk_bitmap *GetGlyph(int code) const
  {
    return code >= 0 && code < glyph_count ? glyphs[code] : nullptr;
  }

private:
  friend class vesk_bitmap;

  // Coverage of each glyph (its green component) copied out once, row by
  // row, so that drawing text needs no access to the glyph bitmaps.
  struct glyph_coverage {
    int width = 0;
    int height = 0;
    std::unique_ptr<uint8_t[]> coverage;
  };

  void clear_glyphs();

  vesk_bitmap *glyphs[glyph_count];
  glyph_coverage coverage[glyph_count];
};

#endif
