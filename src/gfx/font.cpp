#include "gfx/font.h"

#include <algorithm>

#include <wx/dcmemory.h>
#include <wx/rawbmp.h>

vesk_font::vesk_font(int point_size, wxFontFamily family, wxFontStyle style, wxFontWeight weight, bool underlined,
                     const wxString &face_name, wxFontEncoding encoding)
    : wxFont(point_size, family, style, weight, underlined, face_name, encoding)
{
  std::fill(glyphs, glyphs + glyph_count, nullptr);
  rebuild_font_glyphs();
}

vesk_font::vesk_font(const wxFont &font) : wxFont(font)
{
  std::fill(glyphs, glyphs + glyph_count, nullptr);
  rebuild_font_glyphs();
}

vesk_font::~vesk_font() { clear_glyphs(); }

void vesk_font::clear_glyphs()
{
  for (int c = 0; c < glyph_count; ++c) {
    delete glyphs[c];
    glyphs[c] = nullptr;
    coverage[c] = glyph_coverage();
  }
}

void vesk_font::GetCharacterSize(int code, int *width, int *height) const
{
  int w = 0, h = 0;
  if (code >= first_glyph && code <= last_glyph && glyphs[code]) {
    w = coverage[code].width;
    h = coverage[code].height;
  }
  if (width)
    *width = w;
  if (height)
    *height = h;
}

void vesk_font::GetTextSize(const char *text, int *width, int *height) const
{
  if (!text)
    return;
  int w = 0, h = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
    const glyph_coverage &g = coverage[*p & 0x7F];
    if (!g.coverage)
      continue;
    w += g.width;
    h = g.height;
  }
  if (width)
    *width = w;
  if (height)
    *height = h;
}

void vesk_font::SetPointSize(int size)
{
  wxFont::SetPointSize(size);
  rebuild_font_glyphs();
}

void vesk_font::bulk_change_font(const wxFont &font)
{
  wxFont::SetFaceName(font.GetFaceName());
  wxFont::SetStyle(font.GetStyle());
  wxFont::SetUnderlined(font.GetUnderlined());
  wxFont::SetWeight(font.GetWeight());
  SetPointSize(font.GetPointSize());
}

void vesk_font::rebuild_font_glyphs()
{
  if (!IsOk())
    return;
  wxBitmap scratch(16, 16, 32);
  wxMemoryDC measure(scratch);
  measure.SetFont(*this);

  for (int code = first_glyph; code <= last_glyph; ++code) {
    wxString one(static_cast<char>(code));
    wxCoord w = 0, h = 0;
    measure.GetTextExtent(one, &w, &h);

    vesk_bitmap *glyph = new vesk_bitmap(w, h);
    glyph->Clear(vesk_BLACK);
    {
      wxMemoryDC dc(*glyph);
      dc.SetFont(*this);
      dc.SetTextForeground(*wxWHITE);
      dc.SetTextBackground(*wxBLACK);
      dc.DrawText(one, 0, 0);
      dc.SelectObject(wxNullBitmap);
    }
    delete glyphs[code];
    glyphs[code] = glyph;

    // Keep the coverage (green) as a plain byte plane for fast drawing.
    glyph_coverage g;
    g.width = glyph->GetWidth();
    g.height = glyph->GetHeight();
    g.coverage.reset(new uint8_t[(size_t)g.width * g.height]());
    wxAlphaPixelData data(*glyph);
    if (data) {
      wxAlphaPixelData::Iterator row(data);
      for (int y = 0; y < g.height; ++y) {
        wxAlphaPixelData::Iterator p = row;
        for (int x = 0; x < g.width; ++x, ++p)
          g.coverage[(size_t)y * g.width + x] = p.Green();
        row.OffsetY(data, 1);
      }
    }
    coverage[code] = std::move(g);
  }
  measure.SelectObject(wxNullBitmap);
}
