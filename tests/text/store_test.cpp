// The text store: appending, tabs, wrap, relayout, view arithmetic, hit
// testing, copying and the colour-flash fade. No window involved.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"
#include "text/text_store.h"
#include "text_fixture.h"

using strings = std::vector<std::string>;

static_assert(sizeof(vesk_textctrl_chunk) == 40, "chunk records are 40 bytes (6553 per pool block)");

// 100 pixels wide, 200 high; every character 10 pixels, lines 20 high.
class Store : public ::testing::Test {
protected:
  void SetUp() override
  {
    store.view_width = 100;
    store.view_height = 200;
    set_fixed_metrics(store, 10, 20);
  }
  vesk_textctrl_store store;
};

TEST_F(Store, LeadingNewlinesDroppedOnlyRightAfterClear)
{
  store.AppendRawText("\n\nword");
  EXPECT_EQ(all_lines(store), strings({"word"}));
  store.AppendRawText("\n\n");
  EXPECT_EQ(all_lines(store), strings({"word", "", ""}));
  EXPECT_EQ(store.lines[0]->ends_with_newline, 1);
  EXPECT_EQ(store.lines[1]->ends_with_newline, 1);
  EXPECT_EQ(store.lines[2]->ends_with_newline, 0);

  store.Clear();
  EXPECT_EQ(store.last_line, 0);
  EXPECT_EQ(store.raw_first, nullptr);
  store.AppendRawText("\nnext");
  EXPECT_EQ(all_lines(store), strings({"next"}));
}

TEST_F(Store, TabsExpandToTheNextMultipleOfEight)
{
  store.view_width = 10000;
  struct {
    const char *in;
    const char *out;
    int column;
  } cases[] = {
      {"abc\tx", "abc     x", 9},        // column 3: five spaces
      {"abcdefgh\tx", "abcdefgh        x", 17},  // column 8: eight spaces
      {"\t", "        ", 8},
      {"ab\ncd\te", "cd      e", 9},       // the newline resets the column
  };
  for (const auto &c : cases) {
    store.Clear();
    store.AppendRawText(c.in);
    EXPECT_EQ(line_text(store, store.last_line), c.out) << c.in;
    EXPECT_EQ(store.column, c.column) << c.in;
  }
  // The column carries over from one append to the next.
  store.Clear();
  store.AppendRawText("ab");
  store.AppendRawText("\tx");
  EXPECT_EQ(line_text(store, 0), "ab      x");
}

TEST_F(Store, HighBytesUseTheLookupTable)
{
  store.view_width = 10000;
  store.AppendRawText("caf\xe9 \xa9 \x80 \xff");
  EXPECT_EQ(line_text(store, 0), "cafe C E y");
  EXPECT_EQ(std::strlen(eascii_lookup_table), 128u);
}

TEST_F(Store, WrapPositions)
{
  struct {
    const char *in;
    strings lines;
  } cases[] = {
      {"abcd efghijk", {"abcd ", "efghijk"}},             // cut after the space
      {"abcdefghijklmno", {"abcdefghi", "jklmno"}},       // a long word is cut inside
      {"abcdefghij", {"abcdefghi", "j"}},                 // exactly 100 pixels wraps
      {"abcdefghi", {"abcdefghi"}},                       // 90 pixels stays
      {"abcdefghijklmnopqrstuvwxyz", {"abcdefghi", "jklmnopqr", "stuvwxyz"}},
      {"ab cd ef gh ij", {"ab cd ef ", "gh ij"}},
  };
  for (const auto &c : cases) {
    store.Clear();
    store.AppendRawText(c.in);
    EXPECT_EQ(all_lines(store), c.lines) << c.in;
    for (int i = 0; i < store.last_line; ++i)
      EXPECT_EQ(store.lines[i]->ends_with_newline, 0) << c.in << " line " << i;
  }
}

TEST_F(Store, WrapAcrossColouredChunksKeepsColours)
{
  store.SetTextColor(vesk_color(255, 0, 0), vesk_color(0, 0, 0));
  store.AppendRawText("abc ");
  store.SetTextColor(vesk_color(0, 255, 0), vesk_color(0, 0, 0));
  store.AppendRawText("defghijk");
  // "abc " fits, "defghijk" would reach 120 pixels: the cut goes after the
  // space, at the chunk boundary.
  EXPECT_EQ(all_lines(store), strings({"abc ", "defghijk"}));
  EXPECT_EQ(colour_at(store, 0, 0), 0xff0000);
  EXPECT_EQ(colour_at(store, 1, 0), 0x00ff00);

  store.Clear();
  store.SetTextColor(vesk_color(255, 0, 0), vesk_color(0, 0, 0));
  store.AppendRawText("abcdef");
  store.SetTextColor(vesk_color(0, 0, 255), vesk_color(0, 0, 0));
  store.AppendRawText("ghijklmn\nnext");
  EXPECT_EQ(all_lines(store), strings({"abcdefghi", "jklmn", "next"}));
  EXPECT_EQ(colour_at(store, 0, 5), 0xff0000);
  EXPECT_EQ(colour_at(store, 0, 6), 0x0000ff);
  EXPECT_EQ(colour_at(store, 1, 0), 0x0000ff);
  EXPECT_EQ(store.lines[0]->ends_with_newline, 0);
  EXPECT_EQ(store.lines[1]->ends_with_newline, 1);
}

TEST_F(Store, AnOpenLineContinuesWithTheNextAppend)
{
  store.AppendRawText("abcde");
  store.AppendRawText("fghij");
  EXPECT_EQ(all_lines(store), strings({"abcdefghi", "j"}));
}

TEST_F(Store, WrapOffKeepsLongLinesAndSwitchingOnLaysOutAgain)
{
  store.wrap_enabled = 0;
  store.AppendRawText("abcdefghijklmno\n");
  EXPECT_EQ(all_lines(store), strings({"abcdefghijklmno", ""}));
  store.wrap_enabled = 1;
  store.recalc_line_sizes();
  EXPECT_EQ(all_lines(store), strings({"abcdefghi", "jklmno", ""}));
}

TEST_F(Store, FontChangeLaysOutFromTheRawChunks)
{
  store.AppendRawText("abcdefghijklmno and more\n");
  ASSERT_EQ(all_lines(store), strings({"abcdefghi", "jklmno ", "and more", ""}));
  set_fixed_metrics(store, 5, 10);  // a smaller font: 19 characters fit
  EXPECT_EQ(all_lines(store), strings({"abcdefghijklmno ", "and more", ""}));
  set_fixed_metrics(store, 4, 10);  // all 24 characters take 96 pixels
  EXPECT_EQ(all_lines(store), strings({"abcdefghijklmno and more", ""}));
}

TEST_F(Store, AppendKeepsAtMost5999Bytes)
{
  store.wrap_enabled = 0;
  std::string big(7000, 'x');
  store.AppendRawText(big.c_str());
  EXPECT_EQ(std::strlen(store.raw_first->text), 5999u);
  EXPECT_EQ(line_text(store, 0).size(), 5999u);
  EXPECT_EQ(store.column, 7000);
}

TEST_F(Store, BottomLineFollowsUnlessHeldOrTopAnchored)
{
  store.AppendRawText("a\nb\nc\n");
  EXPECT_EQ(store.bottom_line, 3);
  store.scroll_hold = 1;
  store.AppendRawText("d\ne\n");
  EXPECT_EQ(store.bottom_line, 3);
  EXPECT_EQ(store.last_line, 5);
  store.scroll_hold = 0;
  store.top_anchored = 1;
  store.AppendRawText("abcdefghijklmno\n");  // wraps as well
  EXPECT_EQ(store.bottom_line, 3);
  EXPECT_EQ(store.last_line, 7);
}

TEST_F(Store, LineArrayGrowsPastItsFirstBlock)
{
  std::string many(5000, '\n');
  store.AppendRawText("x");
  for (int i = 0; i < 14; ++i)
    store.AppendRawText(many.c_str());
  EXPECT_EQ(store.last_line, 70000);
  EXPECT_EQ(store.line_capacity, 2 * 65536);
  EXPECT_EQ(line_text(store, 0), "x");
  EXPECT_EQ(store.lines[69999]->ends_with_newline, 1);
}

TEST_F(Store, ViewArithmetic)
{
  for (int i = 0; i < 99; ++i)
    store.AppendRawText("line\n");
  ASSERT_EQ(store.last_line, 99);
  ASSERT_EQ(store.get_visible_line_count(), 10);
  int pos, range, thumb;
  store.get_scrollbar_data(&pos, &range, &thumb);
  EXPECT_EQ(pos, 89);
  EXPECT_EQ(range, 99);
  EXPECT_EQ(thumb, 10);

  store.ShowPosition(-5);
  EXPECT_EQ(store.bottom_line, 0);
  store.ShowPosition(500);
  EXPECT_EQ(store.bottom_line, 109);
  EXPECT_EQ(store.set_scrollbar_position(30), 40);
  EXPECT_EQ(store.bottom_line, 40);

  store.top_anchored = 1;
  store.ShowPosition(500);
  EXPECT_EQ(store.bottom_line, 99);
  EXPECT_EQ(store.set_scrollbar_position(30), 30);
  EXPECT_EQ(store.bottom_line, 30);
  store.get_scrollbar_data(&pos, &range, &thumb);
  EXPECT_EQ(pos, 30);
  EXPECT_EQ(range, 110);

  store.line_height = 0;
  log_capture log(2);
  EXPECT_EQ(store.get_visible_line_count(), 20);
  EXPECT_NE(log.text().find("get_visible_line_count(), font height 0."), std::string::npos);
}

TEST_F(Store, HitTestingBothViewModes)
{
  for (int i = 0; i < 50; ++i)
    store.AppendRawText("abcdef\n");
  store.AppendRawText("last");
  ASSERT_EQ(store.last_line, 50);
  store.bottom_line = 50;
  struct {
    int top;
    int bottom;
    int x, y;
    int line, offset;
  } cases[] = {
      {0, 50, 5, 180, 50, 0},   // y = H - h
      {0, 50, 5, 179, 49, 0},   // one pixel higher
      {0, 50, 5, 260, 50, 0},   // below the last line
      {0, 50, 5, -30, 39, 0},   // above the view
      {0, 50, 0, 100, 46, 0},
      {0, 50, 10, 100, 46, 0},  // the running sum reaches 10 at the first character
      {0, 50, 15, 100, 46, 1},
      {0, 50, -8, 100, 46, 0},
      {0, 50, 500, 100, 46, 6},  // past the end: the line's length
      {0, 50, 500, 190, 50, 4},
      {1, 5, 0, 45, 7, 0},       // top anchored: line 5 at y 0
      {1, 5, 25, 0, 5, 2},
      {1, -3, 0, 45, 2, 0},      // a negative position counts as 0
      {1, 48, 0, 199, 50, 0},    // beyond the last line
  };
  for (const auto &c : cases) {
    store.top_anchored = c.top;
    store.bottom_line = c.bottom;
    int line = -1, offset = -1;
    store.translate_xy_to_line_and_offset(c.x, c.y, &line, &offset);
    EXPECT_EQ(line, c.line) << c.top << " " << c.x << "," << c.y;
    EXPECT_EQ(offset, c.offset) << c.top << " " << c.x << "," << c.y;
  }
}

TEST_F(Store, CopyJoinsWrappedLinesAndBreaksAfterNewlines)
{
  store.AppendRawText("abcd efghijk\n");  // "abcd " + "efghijk" (wrapped)
  store.AppendRawText("second\n");
  store.AppendRawText("third");
  ASSERT_EQ(all_lines(store), strings({"abcd ", "efghijk", "second", "third"}));
  struct {
    int al, ao, cl, co;
    const char *text;
  } cases[] = {
      {0, 2, 1, 3, "cd efgh"},             // across a wrap: no line break
      {1, 4, 2, 2, "ijk\nsec"},            // across a newline
      {2, 3, 1, 5, "jk\nseco"},             // dragged upwards: same ordering rules
      {0, 0, 3, 4, "abcd efghijk\nsecond\nthird"},
      {2, 1, 2, 1, "e"},                   // one character
      {2, 4, 2, 99, "nd"},                 // end offset past the line
  };
  for (const auto &c : cases) {
    store.anchor_line = c.al;
    store.anchor_offset = c.ao;
    store.cursor_line = c.cl;
    store.cursor_offset = c.co;
    store.set_ordered_selection();
    std::string text;
    ASSERT_EQ(store.build_selection_text(text), 1);
    EXPECT_EQ(text, c.text);
  }
  // A start line that does not exist copies nothing.
  log_capture log(2);
  store.sel_start_line = 70000;
  store.sel_end_line = 70001;
  std::string text = "unchanged";
  EXPECT_EQ(store.build_selection_text(text), 0);
  EXPECT_NE(log.text().find("Error in copy_selection_to_clipboard(), line 70000 NULL."), std::string::npos);
}

TEST_F(Store, ClearAndRelayoutDropTheSelection)
{
  store.AppendRawText("abc\ndef");
  store.anchor_line = 0;
  store.cursor_line = 1;
  store.cursor_offset = 2;
  store.set_ordered_selection();
  store.selection_active = 1;
  store.recalc_line_sizes();
  EXPECT_EQ(store.has_mouse_selection(), 0);
  EXPECT_EQ(store.sel_end_line, 0);
}

TEST(ColourFlash, HexColours)
{
  log_capture log(2);
  EXPECT_EQ(rgb_of(vesk_textctrl_store::GetColorFromHexString("ff8001")), 0xff8001);
  EXPECT_EQ(rgb_of(vesk_textctrl_store::GetColorFromHexString("A0b0C0zz")), 0xa0b0c0);
  EXPECT_EQ(rgb_of(vesk_textctrl_store::GetColorFromHexString("ff00")), 0);
  EXPECT_EQ(rgb_of(vesk_textctrl_store::GetColorFromHexString("ff00gg")), 0);
  std::string text = log.text();
  EXPECT_NE(text.find("vesk_textctrl::GetColorFromHexString() - string too short.\n"), std::string::npos);
  EXPECT_NE(text.find("vesk_textctrl::GetColorFromHexString() - string doesn't appear to be hex.\n"),
            std::string::npos);
}

static std::vector<int> run_flash(vesk_textctrl_store &store, const char *payload, int *total)
{
  std::vector<int> seen;
  if (!store.add_colorflash(payload, total))
    return seen;
  for (int i = 0; i <= *total; ++i)
    seen.push_back(rgb_of(store.calc_colorflash_color()));
  return seen;
}

TEST(ColourFlash, FadesStepByStepThenRests)
{
  vesk_textctrl_store store;
  store.SetTextColor(vesk_color(255, 255, 255), vesk_color(0, 0, 32));
  int total = 0;
  std::vector<int> seen = run_flash(store, "ff0000 000000 10", &total);
  EXPECT_EQ(total, 11);
  std::vector<int> expected;
  for (int k = 0; k <= 10; ++k)
    expected.push_back(((10 - k) * 255 / 10) << 16);
  expected.push_back(0x000020);  // the resting background once the flash is over
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(store.flash_list, nullptr);

  // Red to green over 5 steps, then green to blue over 5.
  seen = run_flash(store, "ff0000 00ff00 5 0000ff 5", &total);
  EXPECT_EQ(total, 12);
  ASSERT_EQ(seen.size(), 13u);
  EXPECT_EQ(seen[0], 0xff0000);
  EXPECT_EQ(seen[5], 0x00ff00);
  EXPECT_EQ(seen[6], 0x00ff00);
  EXPECT_EQ(seen[8], (153 << 8) | 102);
  EXPECT_EQ(seen[11], 0x0000ff);
  EXPECT_EQ(seen[12], 0x000020);
}

TEST(ColourFlash, OverlappingFlashesTakeTheBrighterComponent)
{
  vesk_textctrl_store store;
  int total = 0;
  ASSERT_TRUE(store.add_colorflash("ff0000 ff0000 4", &total));
  ASSERT_TRUE(store.add_colorflash("0000ff 0000ff 2", &total));
  EXPECT_EQ(rgb_of(store.calc_colorflash_color()), 0xff00ff);
}

TEST(ColourFlash, BadPayloads)
{
  vesk_textctrl_store store;
  log_capture log(2);
  int total = 0;
  EXPECT_EQ(store.add_colorflash("ff0000 000000 soon", &total), 0);
  EXPECT_EQ(store.flash_list, nullptr);
  // A bad later duration keeps what was read so far.
  ASSERT_EQ(store.add_colorflash("ff0000 000000 2 00ff00 later", &total), 1);
  EXPECT_EQ(total, 3);
  ASSERT_NE(store.flash_list, nullptr);
  EXPECT_EQ(store.flash_list->segments->next, nullptr);
  // A four-digit first colour is black.
  store.free_flash_list();
  ASSERT_EQ(store.add_colorflash("ff00 ffffff 2", &total), 1);
  EXPECT_EQ(rgb_of(store.calc_colorflash_color()), 0);
  std::string text = log.text();
  EXPECT_NE(text.find("vesk_textctrl::parse_colorflash() - bad duration.\n"), std::string::npos);
  EXPECT_NE(text.find("vesk_textctrl::parse_colorflash() - bad subsequent duration.\n"), std::string::npos);
  EXPECT_NE(text.find("string too short"), std::string::npos);
}
