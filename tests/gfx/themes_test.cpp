// Themes, background painting and sizing, the logo placement, and the
// built-in pictures.
#include <gtest/gtest.h>

#include <set>

#include "app/debug_log.h"
#include "gfx/background.h"
#include "gfx/images.h"
#include "gfx/theme_settings.h"
#include "gfx/themes.h"
#include "pixels.h"

TEST(Themes, NumbersSelectThemesAndUnknownNumbersSelectBlue)
{
  initialize_themes();
  struct row {
    int number;
    vesk_color *buttons;
    vesk_color *background;
  };
  const row rows[] = {
      {0, button_theme_yellow, background_theme_yellow}, {1, button_theme_blue, background_theme_blue},
      {2, button_theme_red, background_theme_red},       {40, button_theme_brown, background_theme_brown},
      {50, button_theme_ygreen, background_theme_ygreen}, {60, button_theme_green, background_theme_green},
      {70, button_theme_cyan, background_theme_cyan},    {80, button_theme_purple, background_theme_purple},
      {90, button_theme_grey, background_theme_grey},    {7, button_theme_blue, background_theme_blue},
      {-1, button_theme_blue, background_theme_blue},    {3, button_theme_blue, background_theme_blue},
  };
  for (const row &r : rows) {
    switch_button_theme_to(r.number);
    switch_background_theme_to(r.number);
    EXPECT_EQ(current_button_theme, r.buttons) << r.number;
    EXPECT_EQ(current_background_theme, r.background) << r.number;
  }

  // Distinctive cells: Blue writes labels in yellow, Red's colour 2 is orange.
  for (int n : {4, 7, 10, 13, 19, 22}) {
    EXPECT_EQ(button_theme_blue[n], vesk_color(255, 255, 0)) << n;
    EXPECT_EQ(button_theme_purple[n], vesk_WHITE) << n;
  }
  EXPECT_EQ(button_theme_red[2], vesk_color(255, 192, 0));
  EXPECT_EQ(button_theme_grey[15], vesk_color(32, 32, 32));
  EXPECT_EQ(button_theme_cyan[17], vesk_color(0, 192, 255));
  EXPECT_EQ(button_theme_brown[0], vesk_color(160, 96, 64));
  EXPECT_EQ(button_theme_ygreen[25], vesk_color(96, 96, 96));
  EXPECT_EQ(background_theme_blue[0], vesk_color(0, 0, 96));
  EXPECT_EQ(background_theme_cyan[1], vesk_color(0, 40, 64));
  EXPECT_EQ(background_theme_brown[2], vesk_color(32, 16, 8));

  // Building again changes nothing: the arrays are made once.
  vesk_color *before = button_theme_red;
  initialize_themes();
  EXPECT_EQ(button_theme_red, before);
}

TEST(Themes, ResetUsesTheConfiguredNumbersAndAMissingThemeFallsBackToBlue)
{
  initialize_themes();
  set_configured_theme_values(80, 60, 3, 2);
  reset_theme();
  EXPECT_EQ(current_button_theme, button_theme_purple);
  EXPECT_EQ(current_background_theme, background_theme_green);
  EXPECT_EQ(button_theme_colour(0), vesk_color(192, 96, 192));
  EXPECT_EQ(background_theme_colour(2), vesk_color(0, 32, 0));
  EXPECT_EQ(button_theme_colour(26), vesk_GREY); // out of range

  vesk_color *grey = button_theme_grey;
  button_theme_grey = nullptr;
  {
    log_capture log(2);
    switch_button_theme_to(90);
    EXPECT_EQ(log.text(), "Error in switch_button_theme() - null theme for index 90.\n");
  }
  EXPECT_EQ(current_button_theme, button_theme_blue);
  button_theme_grey = grey;
  set_configured_theme_values(1, 2, 3, 2);
  reset_theme();
}

TEST(Background, BitmapSidesRoundUpToWholeBlocks)
{
  const int cases[][2] = {{0, 256}, {1, 256}, {255, 256}, {256, 512}, {700, 768}, {1000, 1024}, {1024, 1280},
                          {1025, 1280}};
  for (const auto &c : cases)
    EXPECT_EQ(background_bitmap_side(c[0]), c[1]) << c[0];
}

TEST(Background, RedrawOnlyWhenTheAreaOutgrowsTheBitmapOrTheLookChanges)
{
  REQUIRE_DISPLAY();
  initialize_themes();
  switch_background_theme_to(2);
  struct step {
    int w, h, force, style, colour;
    int recreated, bw, bh;
  };
  const step steps[] = {
      {1000, 700, 0, 3, 2, 1, 1024, 768},  // first client area
      {1024, 700, 0, 3, 2, 0, 1024, 768},  // widened to the bitmap's width: kept
      {1025, 700, 0, 3, 2, 1, 1280, 768},  // one pixel more
      {600, 300, 0, 3, 2, 0, 1280, 768},   // shrinking never re-creates
      {600, 300, 0, 4, 2, 1, 768, 512},    // another style re-creates without force
      {600, 300, 0, 4, 60, 1, 768, 512},   // another background theme likewise
      {600, 300, 1, 4, 60, 1, 768, 512},   // forced at the same size: no growth
      {600, 300, 1, 4, 60, 1, 768, 512},
      {0, 0, 1, 4, 60, 1, 256, 256},
  };
  background_cache cache;
  for (const step &s : steps) {
    int recreated = background_update(cache, s.w, s.h, s.force, s.style, s.colour);
    EXPECT_EQ(recreated, s.recreated) << s.w << "x" << s.h;
    EXPECT_EQ(cache.width, s.bw);
    EXPECT_EQ(cache.height, s.bh);
    EXPECT_EQ(cache.bitmap->GetWidth(), s.bw);
    EXPECT_EQ(cache.bitmap->GetHeight(), s.bh);
  }
  delete cache.bitmap;
}

// The pattern depends only on position: two redraws at different sizes agree
// wherever both bitmaps reach.
TEST(Background, PatternsDoNotDependOnTheBitmapSize)
{
  REQUIRE_DISPLAY();
  initialize_themes();
  switch_background_theme_to(70);
  for (int style : {2, 3, 4, 5}) {
    background_cache wide, tall;
    background_update(wide, 1100, 200, 1, style, 70); // 1280 x 256
    background_update(tall, 300, 600, 1, style, 70);  // 512 x 768
    ASSERT_EQ(wide.width, 1280);
    ASSERT_EQ(tall.height, 768);
    std::vector<uint32_t> a = all_pixels(*wide.bitmap), b = all_pixels(*tall.bitmap);
    int mismatches = 0;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 512; ++x)
        mismatches += a[(size_t)y * 1280 + x] != b[(size_t)y * 512 + x];
    EXPECT_EQ(mismatches, 0) << "style " << style;
    delete wide.bitmap;
    delete tall.bitmap;
  }
}

TEST(Background, StylesUseTheirColours)
{
  REQUIRE_DISPLAY();
  initialize_themes();
  switch_background_theme_to(2); // Red: 80,0,0 / 56,0,0 / 32,0,0
  auto colours_in = [](const vesk_bitmap &b) {
    std::set<uint32_t> seen;
    for (uint32_t p : all_pixels(b))
      seen.insert(p & 0xFFFFFF);
    return seen;
  };
  const uint32_t black = 0, c0 = 0x500000, c1 = 0x380000, c2 = 0x200000;
  struct row {
    int style;
    std::set<uint32_t> colours;
  };
  const row rows[] = {
      {0, {black}}, {1, {c2}}, {2, {black, c1}}, {3, {black, c0, c1}}, {4, {black, c0, c1, c2}},
      {5, {black, c0, c1}}, {6, {black, c0, c1}}, {-1, {black, c0, c1}},
  };
  for (const row &r : rows) {
    vesk_bitmap b(300, 200);
    background_paint_style(b, r.style);
    EXPECT_EQ(colours_in(b), r.colours) << "style " << r.style;
  }
  // Any unknown style is Maze2.
  vesk_bitmap maze2(200, 100), six(200, 100);
  background_paint_style(maze2, 3);
  background_paint_style(six, 6);
  EXPECT_EQ(all_pixels(maze2), all_pixels(six));
}

TEST(Logo, PlacementByLayoutAndStrictHits)
{
  // Picture 192 x 43, host name 100 x 14, client 800 x 600.
  struct row {
    int layout;
    logo_placement want;
  };
  const row rows[] = {
      {2, {0, 0, 192, 52, 0, 0, 46, 38}},
      {1, {0, 548, 192, 52, 0, 553, 46, 586}},
      {0, {608, 548, 192, 52, 608, 553, 654, 586}},
  };
  for (const row &r : rows) {
    logo_placement p = place_logo(r.layout, 800, 600, 192, 43, 100, 14);
    EXPECT_EQ(p.logo_x, r.want.logo_x);
    EXPECT_EQ(p.logo_y, r.want.logo_y);
    EXPECT_EQ(p.logo_width, r.want.logo_width);
    EXPECT_EQ(p.logo_height, r.want.logo_height);
    EXPECT_EQ(p.picture_x, r.want.picture_x);
    EXPECT_EQ(p.picture_y, r.want.picture_y);
    EXPECT_EQ(p.text_x, r.want.text_x);
    EXPECT_EQ(p.text_y, r.want.text_y);
  }
  // A host name wider than the picture centres the picture over it.
  logo_placement wide = place_logo(2, 800, 600, 192, 43, 251, 14);
  EXPECT_EQ(wide.logo_width, 251);
  EXPECT_EQ(wide.picture_x, 125 - 96);

  EXPECT_TRUE(inside_logo(1, 1, 0, 0, 192, 52));
  EXPECT_FALSE(inside_logo(0, 10, 0, 0, 192, 52));
  EXPECT_FALSE(inside_logo(192, 10, 0, 0, 192, 52));
  EXPECT_FALSE(inside_logo(10, 52, 0, 0, 192, 52));
  EXPECT_TRUE(inside_logo(191, 51, 0, 0, 192, 52));
}

TEST(Pictures, AllSevenDecodeWithTheirSizesAndTransparentCorners)
{
  REQUIRE_DISPLAY();
  construct_all_images();
  struct row {
    vesk_bitmap *bitmap;
    int w, h;
  };
  const row rows[] = {{ombrith_logo_bitmap, 192, 43}, {lock_bitmap, 21, 21},       {icon_bitmaps[0], 17, 17},
                      {icon_bitmaps[1], 17, 17},      {icon_bitmaps[2], 17, 17}, {icon_bitmaps[3], 17, 17},
                      {icon_bitmaps[4], 17, 17}};
  for (const row &r : rows) {
    ASSERT_NE(r.bitmap, nullptr);
    EXPECT_EQ(r.bitmap->GetWidth(), r.w);
    EXPECT_EQ(r.bitmap->GetHeight(), r.h);
    EXPECT_EQ(px(*r.bitmap, 0, 0).a, 0); // transparent background
    int opaque = 0, clear = 0;
    for (uint32_t p : all_pixels(*r.bitmap)) {
      opaque += (p >> 24) == 255;
      clear += (p >> 24) == 0;
    }
    EXPECT_GT(opaque, 10);
    EXPECT_GT(clear, 10);
  }
  // The hands differ by colour: red, pale blue, green.
  vesk_color burn = rgb(*icon_bitmaps[ICON_BURN], 8, 11), shock = rgb(*icon_bitmaps[ICON_SHOCK], 8, 11),
             sicken = rgb(*icon_bitmaps[ICON_SICKEN], 8, 11);
  EXPECT_GT(burn.red, burn.green + 100);
  EXPECT_GT(shock.blue, shock.red);
  EXPECT_GT(sicken.green, sicken.red + 100);
}
