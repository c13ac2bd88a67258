// The command histories: storing, browsing, the three sets and the listing.
#include <gtest/gtest.h>

#include <string>

#include "input/line_history.h"

namespace {

// The editor as a plain string with an insertion point.
class text_view : public line_edit_view {
public:
  wxString view_text() const override { return text; }
  long view_insertion_point() const override { return pos; }
  void view_set_insertion_point(long p) override { pos = p; }
  void view_show(const wxString &t) override
  {
    text = t;
    pos = (long)t.length();
  }
  void view_clear() override
  {
    text.clear();
    pos = 0;
  }
  void type(const wxString &t)
  {
    text = t;
    pos = (long)t.length();
  }

  wxString text;
  long pos = 0;
};

std::string str(const wxString *s) { return s ? std::string(s->utf8_str()) : std::string("<null>"); }

// What submitting does to the history: store a non-empty line, empty the editor.
void submit(vesk_line_history &h, text_view &v)
{
  if (!v.text.empty())
    h.history_store(v.text);
  v.view_clear();
}

} // namespace

TEST(LineHistory, UpAtStartOffersConnectAndSendingItKeepsOneEntry)
{
  vesk_line_history h;
  text_view v;
  h.history_up(v);
  EXPECT_EQ(v.text, "connect");
  submit(h, v);
  EXPECT_EQ(str(h.entry(0, 2)), "connect");
  EXPECT_EQ(h.entry(0, 3), nullptr);
  EXPECT_EQ(h.history_pos, 1);
  // The other sets start empty: Up offers nothing.
  h.swap_history(HISTORY_CONNECTED);
  h.history_up(v);
  EXPECT_EQ(v.text, "");
  EXPECT_EQ(h.history_pos, 1);
}

TEST(LineHistory, RepeatsInARowAreStoredOnce)
{
  vesk_line_history h;
  h.swap_history(HISTORY_LOGGED_IN);
  for (const char *c : {"look", "look", "north", "look"})
    h.history_store(c);
  EXPECT_EQ(str(h.entry(2, 2)), "look");
  EXPECT_EQ(str(h.entry(2, 3)), "north");
  EXPECT_EQ(str(h.entry(2, 4)), "look");
  EXPECT_EQ(h.entry(2, 5), nullptr);
}

TEST(LineHistory, KeepsTheNewest98AndBrowsesThemAll)
{
  vesk_line_history h;
  h.swap_history(HISTORY_CONNECTED);
  for (int i = 1; i <= 99; ++i)
    h.history_store(wxString::Format("cmd%d", i));
  EXPECT_EQ(str(h.entry(1, 2)), "cmd99");
  EXPECT_EQ(str(h.entry(1, 99)), "cmd2");  // cmd1 was dropped

  text_view v;
  for (int i = 0; i < 98; ++i)
    h.history_up(v);
  EXPECT_EQ(v.text, "cmd2");
  EXPECT_EQ(h.history_pos, 99);
  h.history_up(v);  // nothing older
  EXPECT_EQ(v.text, "cmd2");
  EXPECT_EQ(h.history_pos, 99);
}

TEST(LineHistory, DownFromAPartialLineShowsTheBlankEntryAndUpBringsItBack)
{
  vesk_line_history h;
  h.swap_history(HISTORY_LOGGED_IN);
  h.history_store("older");
  h.history_store("newest");
  text_view v;
  v.type("par");

  h.history_down(v);
  EXPECT_EQ(v.text, "");
  EXPECT_EQ(str(h.entry(2, 1)), "par");
  h.history_down(v);  // below the blank entry: the editor stays empty
  EXPECT_EQ(v.text, "");

  h.history_up(v);
  EXPECT_EQ(v.text, "par");
  h.history_up(v);
  EXPECT_EQ(v.text, "newest");
  h.history_up(v);
  EXPECT_EQ(v.text, "older");
  h.history_down(v);
  EXPECT_EQ(v.text, "newest");
  h.history_down(v);
  EXPECT_EQ(v.text, "par");
  EXPECT_EQ(v.pos, 3);
}

TEST(LineHistory, InsideSeveralLinesUpAndDownMoveBetweenLines)
{
  vesk_line_history h;
  text_view v;
  v.text = "first\nsecond";
  v.pos = 2;  // in the first line
  h.history_down(v);
  EXPECT_EQ(v.pos, 6);  // start of the second line
  EXPECT_EQ(h.history_pos, 1);
  h.history_down(v);
  EXPECT_EQ(v.pos, 12);  // end: no newline after
  h.history_down(v);     // at the end Down browses: the blank entry
  EXPECT_EQ(v.text, "");

  v.text = "first\nsecond";
  v.pos = 8;
  h.history_up(v);
  EXPECT_EQ(v.pos, 5);  // onto the newline
  h.history_up(v);
  EXPECT_EQ(v.pos, 0);
  EXPECT_EQ(v.text, "first\nsecond");
}

TEST(LineHistory, NothingIsKeptWhileEchoIsOff)
{
  vesk_line_history h;
  h.swap_history(HISTORY_CONNECTED);
  h.history_store("look");
  h.echo_disabled = 1;

  text_view v;
  v.type("sec");
  h.history_up(v);  // the partial password waits in entry 1
  EXPECT_EQ(v.text, "look");
  h.history_store("secret");
  EXPECT_EQ(str(h.entry(1, 2)), "look");
  EXPECT_EQ(h.entry(1, 3), nullptr);
  // Browsing ended and the saved partial password is gone.
  EXPECT_EQ(h.history_pos, 1);
  EXPECT_EQ(str(h.entry(1, 1)), "");

  h.echo_disabled = 0;
  v.view_clear();
  h.history_up(v);
  EXPECT_EQ(v.text, "look");
  h.history_up(v);
  EXPECT_EQ(v.text, "look");
  h.history_down(v);
  EXPECT_EQ(v.text, "");
}

TEST(LineHistory, EachSetKeepsItsBrowsingPosition)
{
  vesk_line_history h;
  text_view v;
  h.history_up(v);  // set 0 at "connect", position 2
  h.swap_history(HISTORY_LOGGED_IN);
  EXPECT_EQ(h.history_pos, 1);
  h.history_store("look");
  h.swap_history(HISTORY_NOT_CONNECTED);
  EXPECT_EQ(h.history_pos, 2);
  h.swap_history(7);  // no such set: ignored
  EXPECT_EQ(h.history_set, HISTORY_NOT_CONNECTED);
  EXPECT_EQ(h.history_pos, 2);
}

TEST(LineHistory, ListingShowsAtMost19OldestFirst)
{
  vesk_line_history h;
  EXPECT_EQ(h.history_listing(), "\nRecent Command History:\n 1 - connect\n");

  h.swap_history(HISTORY_LOGGED_IN);
  for (int i = 1; i <= 25; ++i)
    h.history_store(wxString::Format("c%d", i));
  h.history_store(wxString::FromUTF8("caf\xC3\xA9"));
  std::string expected = "\nRecent Command History:";
  for (int n = 19; n >= 2; --n)
    expected += wxString::Format("\n%2d - c%d", n, 27 - n).ToStdString();
  expected += "\n 1 - cafe\n";
  EXPECT_EQ(h.history_listing(), expected);
}
