// Glyph fonts: the glyph table, text metrics and text drawing.
#include <gtest/gtest.h>

#include <memory>

#include "gfx/font.h"
#include "pixels.h"

namespace {

const vesk_color FG(250, 200, 100), BG(0, 10, 20);

std::unique_ptr<vesk_font> text_font(int size = 10)
{
  return std::make_unique<vesk_font>(size, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                                     wxString(), wxFONTENCODING_DEFAULT);
}

bool has_ink(const vesk_bitmap &glyph)
{
  for (int y = 0; y < glyph.GetHeight(); ++y)
    for (int x = 0; x < glyph.GetWidth(); ++x)
      if (px(glyph, x, y).g > 0)
        return true;
  return false;
}

} // namespace

TEST(Font, GlyphTableCoversPrintableAscii)
{
  REQUIRE_DISPLAY();
  auto font = text_font();
  for (int c = 0; c < 128; ++c) {
    const vesk_bitmap *g = font->GetGlyph(c);
    if (c < 32 || c > 126) {
      EXPECT_EQ(g, nullptr) << c;
      continue;
    }
    ASSERT_NE(g, nullptr) << c;
    int w = -1, h = -1;
    font->GetCharacterSize(c, &w, &h);
    EXPECT_EQ(w, g->GetWidth());
    EXPECT_EQ(h, g->GetHeight());
    EXPECT_GT(w, 0);
    EXPECT_EQ(has_ink(*g), c != ' ') << c;
  }
  int w = -1, h = -1;
  font->GetCharacterSize(31, &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  font->GetCharacterSize(127, &w, nullptr);
  EXPECT_EQ(w, 0);
}

TEST(Font, TextSize)
{
  REQUIRE_DISPLAY();
  auto font = text_font();
  int aw, ah, bw, bh;
  font->GetCharacterSize('A', &aw, &ah);
  font->GetCharacterSize('B', &bw, &bh);

  int w = -1, h = -1;
  font->GetTextSize("A\tB\x7f", &w, &h);
  EXPECT_EQ(w, aw + bw);
  EXPECT_EQ(h, bh);
  font->GetTextSize("", &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  w = h = -7;
  font->GetTextSize(nullptr, &w, &h);
  EXPECT_EQ(w, -7);
  EXPECT_EQ(h, -7);
  vesk_bitmap b(4, 4);
  b.GetTextSize(*font, "\xC1", &w, &h); // high bytes use the glyph of their low 7 bits
  EXPECT_EQ(w, aw);
}

TEST(Font, RenderTextSkipsCodesWithoutGlyphsAndFoldsHighBytes)
{
  REQUIRE_DISPLAY();
  auto font = text_font();
  int w, h;
  font->GetTextSize("ABA", &w, &h);
  vesk_bitmap plain(w + 4, h + 2), odd(w + 4, h + 2);
  plain.Clear(vesk_BLACK);
  odd.Clear(vesk_BLACK);
  plain.RenderText(*font, "ABA", 2, 1, FG, BG);
  odd.RenderText(*font, "A\tB\x01\xC1", 2, 1, FG, BG);
  EXPECT_EQ(all_pixels(plain), all_pixels(odd));
}

// The text operations blend the same pixels as drawing glyph by glyph,
// wherever the text is clipped.
TEST(Font, RenderTextMatchesGlyphByGlyphDrawing)
{
  REQUIRE_DISPLAY();
  auto font = text_font();
  int cw, ch;
  font->GetCharacterSize('W', &cw, &ch);
  const char *text = "Wq|@ ~";
  const int W = cw * 4, H = ch + 2;
  const wxPoint places[] = {{0, 0}, {-cw - 2, 1}, {W - cw - 3, -ch / 2}, {2, H - 3}, {-3 * cw, -3}};
  for (const wxPoint &at : places) {
    for (int transparent = 0; transparent < 2; ++transparent) {
      vesk_bitmap fast(W, H), slow(W, H);
      fast.DrawXGradientRectangle(0, 0, W - 1, H - 1, vesk_RED, vesk_BLUE);
      slow.DrawXGradientRectangle(0, 0, W - 1, H - 1, vesk_RED, vesk_BLUE);
      int pen = at.x;
      for (const char *p = text; *p; ++p) {
        const vesk_bitmap *g = font->GetGlyph(*p);
        if (transparent)
          slow.DrawTextGlyphTransparent(*g, pen, at.y, FG);
        else
          slow.DrawTextGlyph(*g, pen, at.y, FG, BG);
        pen += g->GetWidth();
      }
      if (transparent)
        fast.RenderTextTransparent(*font, text, at.x, at.y, FG);
      else
        fast.RenderText(*font, text, at.x, at.y, FG, BG);
      EXPECT_EQ(all_pixels(fast), all_pixels(slow)) << "at " << at.x << "," << at.y << " transparent "
                                                     << transparent;
    }
  }
}

TEST(Font, NothingDrawnPastTheBitmapOrWithoutText)
{
  REQUIRE_DISPLAY();
  auto font = text_font();
  vesk_bitmap b(20, 20);
  b.Clear(vesk_BLACK);
  b.RenderText(*font, nullptr, 0, 0, FG, BG);
  b.RenderText(*font, "X", 21, 0, FG, BG);
  b.RenderTextTransparent(*font, "X", 0, 21, FG);
  EXPECT_TRUE(pixels_not(b, vesk_BLACK).empty());
}

TEST(Font, SizeChangesRebuildTheGlyphs)
{
  REQUIRE_DISPLAY();
  auto font = text_font(10);
  int w10, h10;
  font->GetCharacterSize('M', &w10, &h10);
  font->SetPointSize(20);
  int w20, h20;
  font->GetCharacterSize('M', &w20, &h20);
  EXPECT_EQ(font->GetPointSize(), 20);
  EXPECT_GT(h20, h10);
  EXPECT_GE(w20, w10);

  wxFont bold(12, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD, false, wxString(),
              wxFONTENCODING_DEFAULT);
  font->bulk_change_font(bold);
  EXPECT_EQ(font->GetPointSize(), 12);
  EXPECT_EQ(font->GetWeight(), wxFONTWEIGHT_BOLD);
  int w12, h12;
  font->GetCharacterSize('M', &w12, &h12);
  EXPECT_EQ(w12, font->GetGlyph('M')->GetWidth());
  EXPECT_LT(h12, h20);
}
