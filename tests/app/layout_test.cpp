#include <gtest/gtest.h>

#include "app/layout.h"

namespace {

void expect_rect(const layout_rect &r, int x, int y, int w, int h)
{
  EXPECT_TRUE(r.shown);
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.w, w);
  EXPECT_EQ(r.h, h);
}

layout_input embedded_800x600()
{
  layout_input in;
  in.width = 800;
  in.height = 600;
  in.layout = LAYOUT_EMBEDDED;
  in.direction_buttons = in.hint_buttons = true;
  in.buttons_min_w = 100;
  in.buttons_min_h = 150;
  in.fkey_buttons = in.popup_buttons = true;
  in.fkey_min_w = 300;
  in.status_bar = true;
  in.input_height = 36;
  in.health_bar = true;
  in.channel_window = true;
  in.channel_height = 25;
  return in;
}

} // namespace

TEST(Layout, EmbeddedWithButtonsAndBars)
{
  layout_result r = compute_layout(embedded_800x600());
  expect_rect(r.direction_buttons, 698, 2, 100, 150);
  expect_rect(r.hint_buttons, 698, 154, 100, 446);
  EXPECT_EQ(r.text_right, 696);
  expect_rect(r.fkey_row, 0, 554, 300, 46);
  expect_rect(r.popup_row, 300, 554, 500, 46);
  expect_rect(r.status_bar, 0, 533, 696, 21);
  expect_rect(r.input_window, 0, 497, 696, 36);
  expect_rect(r.status_display, 0, 476, 696, 21);
  expect_rect(r.text_display, 0, 0, 696, 476);
  EXPECT_FALSE(r.channel_window.shown);
  EXPECT_TRUE(r.show_vitals);
  EXPECT_FALSE(r.show_enemy);
}

TEST(Layout, ChannelWindowWhileLoggedIn)
{
  layout_input in = embedded_800x600();
  in.logged_in = true;
  layout_result r = compute_layout(in);
  expect_rect(r.channel_window, 0, 0, 696, 119);
  expect_rect(r.text_display, 0, 119, 696, 357);
}

TEST(Layout, LeftTopWithDockedAutomapAndGroup)
{
  layout_input in;
  in.width = 1000;
  in.height = 700;
  in.layout = LAYOUT_LEFT_TOP;
  in.automap_enabled = true;
  in.automap_docked = true;
  in.automap_w = 200;
  in.automap_h = 150;
  in.group_display = 1;
  in.group_h = 80;
  layout_result r = compute_layout(in);
  expect_rect(r.automap, 2, 2, 200, 150);
  expect_rect(r.group_display, 2, 162, 200, 80);
  EXPECT_EQ(r.text_left, 204);
  EXPECT_EQ(r.text_display.x, 204);
}

TEST(Layout, LeftBottomWithoutMapLeavesRoomForButtonRows)
{
  layout_input in;
  in.width = 1000;
  in.height = 700;
  in.layout = LAYOUT_LEFT_BOTTOM;
  in.group_display = 2;
  in.group_h = 100;
  in.popup_buttons = true;
  layout_result r = compute_layout(in);
  expect_rect(r.group_display, 2, 700 - 48 - 100, 160, 100);
  EXPECT_EQ(r.text_left, 164);
}

TEST(Layout, ZeroSizeUsesLastSizeAndEveryPanelIsAtLeastOnePixel)
{
  layout_input in;
  in.width = 0;
  in.height = 0;
  in.last_width = 10;
  in.last_height = 10;
  in.input_height = 36;
  in.health_bar = true;
  in.enemy_bar = true;
  layout_result r = compute_layout(in);
  EXPECT_EQ(r.input_window.w, 10);
  EXPECT_EQ(r.status_display.h, 42);
  EXPECT_GE(r.text_display.h, 1);
  EXPECT_GE(r.text_display.w, 1);
}

TEST(Layout, SizeSteps)
{
  EXPECT_EQ(layout_decr_input_height(30), 24);
  EXPECT_EQ(layout_decr_input_height(40), 28);
  EXPECT_EQ(layout_incr_input_height(40), 52);
  EXPECT_EQ(layout_decr_channel_height(12), 10);
  EXPECT_EQ(layout_incr_channel_height(78), 80);
  EXPECT_EQ(layout_incr_channel_height(80), 80);
}
