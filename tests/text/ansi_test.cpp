// The ANSI interpreter, render list, trigger line, suspension and scrolling
// policy, driven without any window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "text/ansi_interpreter.h"
#include "text/ansi_palette.h"
#include "text_fixture.h"

using strings = std::vector<std::string>;

namespace {

class recording_display : public vesk_ansi_interpreter {
public:
  explicit recording_display(vesk_textctrl_store *store) : vesk_ansi_interpreter(store) {}
  void single_line_trigger(Buffer &line) override
  {
    triggered.push_back(line.text);
    if (write_from_trigger)
      write("echo from trigger\n");
  }
  void set_scrollbar() override { ++scrollbar_updates; }
  void refresh() override { ++refreshes; }
  std::vector<std::string> triggered;
  bool write_from_trigger = false;
  int scrollbar_updates = 0;
  int refreshes = 0;
};

struct render_entry {
  std::string text;
  int rgb, flags, code;
  bool operator==(const render_entry &o) const
  {
    return text == o.text && rgb == o.rgb && flags == o.flags && code == o.code;
  }
};

std::ostream &operator<<(std::ostream &os, const render_entry &e)
{
  return os << "{\"" << e.text << "\", " << std::hex << e.rgb << std::dec << ", " << e.flags << ", " << e.code << "}";
}

}  // namespace

// A display 800 x 200 pixels with 8 x 20 characters: 10 visible lines.
class Ansi : public ::testing::Test {
protected:
  void SetUp() override
  {
    ansi_palette = ansi_color_default;
    store.view_width = 800;
    store.view_height = 200;
    set_fixed_metrics(store, 8, 20);
    display.reset_colors();
  }
  void TearDown() override { ansi_palette = ansi_color_default; }

  void feed(const std::string &bytes) { display.display_socket_data(bytes.data(), (int)bytes.size()); }

  std::vector<render_entry> render_list()
  {
    display.rerender_flush();
    std::vector<render_entry> out;
    for (const vesk_render_list *e = display.render_first; e; e = e->next)
      out.push_back({std::string(e->text, (size_t)e->length), (e->red << 16) | (e->green << 8) | e->blue, e->flags, e->color_code});
    return out;
  }

  vesk_textctrl_store store;
  recording_display display{&store};
};

TEST_F(Ansi, BoldThenRedGivesBoldRed)
{
  feed("\x1b[1m\x1b[31mdanger\n");
  EXPECT_EQ(line_text(store, 0), "danger");
  EXPECT_EQ(colour_at(store, 0, 0), 0xff5555);
  EXPECT_EQ(render_list(), (std::vector<render_entry>{{"danger\n", 0xff5555, 4, 49}}));
}

TEST_F(Ansi, SgrSubsetAndItsQuirks)
{
  struct {
    const char *name;
    std::string bytes;
    const char *line;
    int colour;    // of the first character of line 0
    const char *log;  // expected in the log, or null
  } cases[] = {
      // Separators are not understood: ";" ends the sequence, the rest is text.
      {"separator", "\x1b[1;31mx\n", "31mx", 0xa0a0a0, "process_ansi_code(2) - ignoring unhandled code 59.\n"},
      {"black", "\x1b[30mx\n", "x", 0xa0a0a0, "error in vesk_ansi_display::process_ansi_code() - bad value '48'.\n"},
      {"reset after red", "\x1b[31m\x1b[0mx\n", "x", 0xa0a0a0, nullptr},
      {"empty reset", "\x1b[33m\x1b[mx\n", "x", 0xa0a0a0, nullptr},
      {"dim green", "\x1b[2m\x1b[32mx\n", "x", 0x005500, nullptr},
      {"blink is normal", "\x1b[1m\x1b[5m\x1b[34mx\n", "x", 0x0000cc, nullptr},
      {"22 ends bold", "\x1b[1m\x1b[36m\x1b[22mx\n", "x", 0x0080aa, nullptr},
      {"colour keeps bold", "\x1b[1m\x1b[35m\x1b[33mx\n", "x", 0xffff55, nullptr},
      {"background code", "\x1b[31m\x1b[41mx\n", "x", 0xaa0000, "bad value '65'"},
      {"one-character code", "\x1b" "Dx\n", "x", 0xa0a0a0, "process_ansi_code(1) - got unhandled code 68.\n"},
      {"overlong parameter", "\x1b[10000000031mx\n", "x", 0xa0a0a0, "bad value '2147483647'"},
  };
  for (const auto &c : cases) {
    store.Clear();
    display.set_color(0, 55);
    log_capture log(2);
    feed(c.bytes);
    EXPECT_EQ(line_text(store, 0), c.line) << c.name;
    EXPECT_EQ(colour_at(store, 0, 0), c.colour) << c.name;
    if (c.log) {
      EXPECT_NE(log.text().find(c.log), std::string::npos) << c.name << "\n" << log.text();
    }
  }
}


TEST_F(Ansi, ControlAndHighBytes)
{
  feed("caf\xe9\r\x07 ok\x01\x1c\n");
  EXPECT_EQ(line_text(store, 0), "caf. ok\x1c");
  display.write("caf\xe9\n");
  EXPECT_EQ(line_text(store, 1), "cafe");
}

TEST_F(Ansi, ResetCodeWritesTwiceTheViewPlusOneNewlines)
{
  feed("\x1b[31mbefore\n");
  int before = store.last_line;
  feed("\x1b" "c");
  EXPECT_EQ(store.last_line, before + 21);
  EXPECT_EQ(display.sgr_flags, 0);
  EXPECT_EQ(display.sgr_color, 55);
  EXPECT_EQ(display.current_rgb, 0xa0a0a0);
}

TEST_F(Ansi, SequencesSplitAcrossBlocksContinue)
{
  const std::string bytes = "plain \x1b[1m\x1b[32mgreen\x1b[0m after\n";
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    store.Clear();
    display.clear_scrollback();
    feed(bytes.substr(0, cut));
    feed(bytes.substr(cut));
    ASSERT_EQ(line_text(store, 0), "plain green after") << cut;
    EXPECT_EQ(colour_at(store, 0, 6), 0x55ff55) << cut;
    EXPECT_EQ(colour_at(store, 0, 12), 0xa0a0a0) << cut;
    EXPECT_EQ(render_list(), (std::vector<render_entry>{{"plain ", 0xa0a0a0, 0, 55},
                                                         {"green", 0x55ff55, 4, 50},
                                                         {" after\n", 0xa0a0a0, 0, 0}}))
        << cut;
  }
}

TEST_F(Ansi, LongRunsAreBatchedButRecordedWhole)
{
  store.wrap_enabled = 0;
  std::string long_line(1000, 'x');
  feed(long_line + "\n");
  EXPECT_EQ(line_text(store, 0), long_line);
  auto list = render_list();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].text, long_line + "\n");
  // Four appends of at most 256 bytes each (the last one with the newline).
  int raw = 0;
  for (const vesk_textctrl_chunk *c = store.raw_first; c; c = c->next)
    ++raw;
  EXPECT_EQ(raw, 4);
}

TEST_F(Ansi, PaletteSwitchAffectsOnlyLaterText)
{
  feed("\x1b[31mred\n\x1b[37mold white\n");
  set_ansi_palette(3);
  feed("\x1b[32m\x1b[37mnew white\n\x1b[1mbold white\n");
  EXPECT_EQ(colour_at(store, 1, 0), 0xa0a0a0);
  EXPECT_EQ(colour_at(store, 2, 0), 0xffffff);
  EXPECT_EQ(colour_at(store, 3, 0), 0x808080);
  EXPECT_EQ(colour_at(store, 0, 0), 0xaa0000);
  EXPECT_EQ(ansi_palette_for_setting(7), ansi_color_default);
}

TEST_F(Ansi, ReverseVideoDarkensTheBackground)
{
  feed("\x1b[7mx");
  EXPECT_EQ(rgb_of(store.resting_background), 0x404040);
  feed("\x1b[0my");
  EXPECT_EQ(rgb_of(store.resting_background), 0);
}

TEST_F(Ansi, SuspendedTextAppearsOnResumeInItsColours)
{
  feed("visible\n");
  display.suspend_updates();
  for (int i = 0; i < 500; ++i)
    feed(i % 2 ? "\x1b[31modd line\n" : "\x1b[32meven line\n");
  EXPECT_EQ(store.last_line, 1);
  display.resume_updates();
  EXPECT_EQ(store.last_line, 501);
  EXPECT_EQ(line_text(store, 1), "even line");
  EXPECT_EQ(colour_at(store, 1, 0), 0x00aa00);
  EXPECT_EQ(colour_at(store, 2, 0), 0xaa0000);
  EXPECT_EQ(store.bottom_line, 501);
  EXPECT_GT(display.refreshes, 0);

  // Text after the resume keeps the colour set last, even when no text
  // arrived in that colour before the resume.
  display.suspend_updates();
  feed("\x1b[36m");
  display.resume_updates();
  feed("cyan\n");
  EXPECT_EQ(colour_at(store, 501, 0), 0x0080aa);

  log_capture log(2);
  display.resume_updates();
  EXPECT_NE(log.text().find("Error in vesk_ansi_display::resume_updates(), updates were not suspended?\n"),
            std::string::npos);
}

TEST_F(Ansi, RerenderShowsAtMost5999CharactersOfARun)
{
  store.wrap_enabled = 0;
  std::string run(7000, 'y');
  feed(run);
  EXPECT_EQ(line_text(store, 0).size(), 7000u);
  display.rerender();
  EXPECT_EQ(line_text(store, 0).size(), 5999u);
  EXPECT_EQ(render_list()[0].text.size(), 7000u);
}

TEST_F(Ansi, WrapSwitchRerenders)
{
  feed(std::string(150, 'w') + "\n");
  EXPECT_EQ(store.last_line, 2);
  display.set_line_wrap_enable(0);
  EXPECT_EQ(store.last_line, 1);
  EXPECT_EQ(line_text(store, 0).size(), 150u);
}

TEST_F(Ansi, ClearScrollbackEmptiesEverything)
{
  feed("\x1b[31mred\n");
  display.clear_scrollback();
  EXPECT_EQ(display.render_first, nullptr);
  EXPECT_EQ(store.raw_first, nullptr);
  EXPECT_EQ(display.current_rgb, 0xa0a0a0);
  EXPECT_EQ(display.current_code, 55);
  feed("after\n");
  EXPECT_EQ(render_list(), (std::vector<render_entry>{{"after\n", 0xa0a0a0, 0, 55}}));
}

TEST_F(Ansi, TriggerLines)
{
  feed("first line\nsecond ");
  feed("half\nprompt> ");
  EXPECT_EQ(display.triggered, strings({"first line", "second half"}));
  EXPECT_TRUE(display.trigger_pending());
  display.force_trigger_line();
  EXPECT_EQ(display.triggered.back(), "prompt> ");
  EXPECT_FALSE(display.trigger_pending());
  display.force_trigger_line();
  EXPECT_EQ(display.triggered.size(), 3u);

  // Text written by a trigger is shown but not fed back.
  display.write_from_trigger = true;
  display.write("client line\n");
  EXPECT_EQ(display.triggered.size(), 4u);
  EXPECT_EQ(line_text(store, store.last_line - 1), "echo from trigger");

  // A line longer than the limit keeps 5999 characters.
  display.write_from_trigger = false;
  feed(std::string(7000, 'z') + "\n");
  EXPECT_EQ(display.triggered.back().size(), 5999u);
}

TEST_F(Ansi, ClientColoursAndMessages)
{
  display.set_color(1, 51);
  display.write("type ");
  display.set_color(0, 55);
  display.write("this\n");
  EXPECT_EQ(colour_at(store, 0, 0), 0xffff55);
  EXPECT_EQ(colour_at(store, 0, 5), 0xa0a0a0);
  log_capture log(2);
  display.set_color(3, 55);
  EXPECT_NE(log.text().find("bad value '3'"), std::string::npos);
}

// 100 lines, 20 visible.
class Scrolling : public Ansi {
protected:
  void SetUp() override
  {
    Ansi::SetUp();
    store.view_height = 400;
    for (int i = 0; i < 99; ++i)
      display.write("line\n");
    display.scroll_to_bottom();
    ASSERT_EQ(store.last_line, 99);
    ASSERT_EQ(store.get_visible_line_count(), 20);
  }
};

TEST_F(Scrolling, UpDownAndFollowingAgain)
{
  display.disable_scrolling();
  EXPECT_EQ(display.following, 0);
  EXPECT_EQ(store.scroll_hold, 1);
  display.scroll_up(50);  // limited to half the view
  EXPECT_EQ(store.bottom_line, 89);
  display.scroll_amount(-200);
  EXPECT_EQ(store.bottom_line, 19);
  EXPECT_EQ(display.following, 0);
  // New text does not move a held view.
  display.write("more\n");
  EXPECT_EQ(store.bottom_line, 19);
  EXPECT_EQ(store.last_line, 100);
  display.scroll_down(5);
  EXPECT_EQ(store.bottom_line, 24);
  display.scroll_amount(1000);
  EXPECT_EQ(store.bottom_line, 100);
  EXPECT_EQ(display.following, 1);
  EXPECT_EQ(store.scroll_hold, 0);
}

TEST_F(Scrolling, WheelAndHalfPages)
{
  display.wheel_scroll(120);
  EXPECT_EQ(display.following, 0);
  EXPECT_EQ(store.bottom_line, 96);
  display.scroll_up();
  EXPECT_EQ(store.bottom_line, 86);
  display.wheel_scroll(-1);
  EXPECT_EQ(store.bottom_line, 89);
  display.wheel_scroll(0);
  EXPECT_EQ(store.bottom_line, 89);
  display.scroll_down();
  EXPECT_EQ(store.bottom_line, 99);
  EXPECT_EQ(display.following, 1);
}

TEST_F(Scrolling, ScrollBarThumb)
{
  display.disable_and_set_scroll_position_i(10);
  EXPECT_EQ(store.bottom_line, 30);
  EXPECT_EQ(display.scroll_pos, 30);
  EXPECT_EQ(display.following, 0);
  EXPECT_EQ(display.get_scroll_position(), 10);
  display.disable_and_set_scroll_position_i(79);
  EXPECT_EQ(display.following, 1);
  EXPECT_EQ(store.bottom_line, 99);

  display.disable_and_set_scroll_position(40);
  EXPECT_EQ(store.bottom_line, 60);
  EXPECT_EQ(display.following, 1);
}

TEST_F(Scrolling, HoldDisabledNeverHolds)
{
  display.hold_disabled = 1;
  display.disable_scrolling();
  EXPECT_EQ(display.following, 1);
  display.wheel_scroll(1);
  EXPECT_EQ(display.following, 1);
  EXPECT_EQ(store.bottom_line, 96);
  display.disable_and_set_scroll_position_i(5);
  EXPECT_EQ(display.following, 1);
}

TEST_F(Scrolling, TopAnchoredBounds)
{
  store.top_anchored = 1;
  display.scroll_to_bottom();
  EXPECT_EQ(store.bottom_line, 80);  // the last line ends the view
  display.disable_scrolling();
  display.scroll_amount(-500);
  EXPECT_EQ(store.bottom_line, 0);
  display.scroll_amount(500);
  EXPECT_EQ(store.bottom_line, 80);
  EXPECT_EQ(display.following, 1);
}
