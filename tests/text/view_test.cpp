// The text view and the display window under a real X server: where lines
// are drawn, selection by mouse and the clipboard, wheel and drag scrolling,
// URL clicks, colour flashes, the frame and the scroll bar.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include "text/ansi_display.h"
#include "text/ansi_palette.h"
#include "text_fixture.h"
#include "view_fixture.h"

namespace {

// Forces the line height (the glyphs stay those of the font).
void set_line_height(vesk_textctrl *tc, int height)
{
  int widths[256];
  std::memcpy(widths, tc->char_width, sizeof(widths));
  tc->set_char_metrics(widths, height);
}

wxMouseEvent mouse(wxEventType type, int x, int y, bool left = false, bool right = false)
{
  wxMouseEvent e(type);
  e.SetX(x);
  e.SetY(y);
  e.SetLeftDown(left);
  e.SetRightDown(right);
  return e;
}

void send(vesk_textctrl *tc, wxMouseEvent event) { tc->mouse_event_handler(event); }

wxMouseEvent wheel(int rotation)
{
  wxMouseEvent e(wxEVT_MOUSEWHEEL);
  e.m_wheelRotation = rotation;
  e.m_wheelDelta = 120;
  return e;
}

std::string clipboard_text(bool primary)
{
  wxString text;
  wxTheClipboard->UsePrimarySelection(primary);
  if (wxTheClipboard->Open()) {
    wxTextDataObject data;
    if (wxTheClipboard->GetData(data))
      text = data.GetText();
    wxTheClipboard->Close();
  }
  wxTheClipboard->UsePrimarySelection(false);
  return text.ToStdString();
}

// A frame holding one display whose text control is 400 x 200 pixels with
// lines 20 pixels high: 10 visible lines.
class View : public ::testing::Test {
protected:
  void SetUp() override
  {
    if (!test_have_display())
      GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    use_default_config();
    ansi_palette = ansi_color_default;
    font = make_text_font();
    frame = new wxFrame(nullptr, wxID_ANY, "text view test", wxPoint(0, 0), wxSize(700, 500));
    frame->Show();
    display = new vesk_ansi_display(frame, wxID_ANY, "test display");
    display->set_initial_font(font.get());
    tc = display->text_control;
    int sbw = display->get_scrollbar_width();
    display->SetSize(0, 0, 400 + 4 + sbw, 204);
    set_line_height(tc, 20);
    font->GetCharacterSize('M', &cw, nullptr);
  }
  void TearDown() override
  {
    if (frame)
      frame->Destroy();
    wxTheApp->ProcessPendingEvents();
  }

  void fill(int lines)
  {
    for (int i = 0; i < lines; ++i)
      display->write(("line " + std::to_string(i) + "\n").c_str());
    display->scroll_to_bottom();
  }

  vesk_bitmap &draw_text()
  {
    tc->repaint_dc(*tc->bitmap);
    return *tc->bitmap;
  }

  std::unique_ptr<vesk_font> font;
  wxFrame *frame = nullptr;
  vesk_ansi_display *display = nullptr;
  vesk_textctrl *tc = nullptr;
  int cw = 0;
};

} // namespace

TEST_F(View, LayoutOfTheDisplay)
{
  EXPECT_EQ(tc->GetPosition(), wxPoint(2, 2));
  EXPECT_EQ(tc->bitmap->GetWidth(), 400);
  EXPECT_EQ(tc->bitmap->GetHeight(), 200);
  EXPECT_EQ(tc->get_visible_line_count(), 10);
  display->set_scrollbar_enable(0);
  EXPECT_EQ(tc->bitmap->GetWidth(), 400 + display->scroll_bar->GetSize().GetWidth());
  EXPECT_FALSE(display->scroll_bar->IsShown());
  display->framed = 0;
  display->ResetSize();
  EXPECT_EQ(tc->GetPosition(), wxPoint(0, 0));
}

TEST_F(View, LinesDrawnUpwardFromTheBottom)
{
  // Only lines 40, 41, 49 and 50 hold text, each in its own colour.
  const struct {
    int line;
    vesk_color colour;
  } marked[] = {{40, vesk_color(255, 0, 0)}, {41, vesk_color(0, 255, 0)}, {49, vesk_color(0, 0, 255)},
                {50, vesk_color(255, 255, 255)}};
  tc->AppendRawText("line 0");  // a fresh store would drop a leading newline
  for (int i = 0; i <= 50; ++i) {
    for (const auto &m : marked)
      if (m.line == i) {
        tc->SetTextColor(m.colour, vesk_BLACK);
        tc->AppendRawText("MMMM");
      }
    tc->AppendRawText("\n");
  }
  tc->ShowPosition(50);
  ASSERT_EQ(tc->bottom_line, 50);
  pixel_grid px(draw_text());
  int gh = 0;
  font->GetCharacterSize('M', nullptr, &gh);
  // Line 50 has its top at y = 200 - 20 - 1, line 49 20 pixels higher, line
  // 41 at -1 (partly visible); line 40 (top at -21) is not drawn.
  auto white = px.rows_where(ink_of(0xffffff));
  auto blue = px.rows_where(ink_of(0x0000ff));
  auto green = px.rows_where(ink_of(0x00ff00));
  auto red = px.rows_where(ink_of(0xff0000));
  EXPECT_GE(white.first, 179);
  EXPECT_LE(white.second, 179 + gh - 1);
  EXPECT_GE(blue.first, 159);
  EXPECT_LE(blue.second, 159 + gh - 1);
  EXPECT_GE(green.first, 0);
  EXPECT_LE(green.second, gh - 2);
  EXPECT_EQ(red.first, -1);
  // Text starts at x = 1.
  EXPECT_GE(px.columns_where(ink_of(0x0000ff)).first, 1);
  EXPECT_LT(px.columns_where(ink_of(0x0000ff)).first, 1 + cw);
}

TEST_F(View, TopAnchoredLinesDrawnDownwardFromTheTop)
{
  tc->top_anchored = 1;
  const uint32_t colours[] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00};
  for (int i = 0; i < 5; ++i)
    tc->AppendRawText("x\n");
  for (int i = 0; i < 4; ++i) {
    tc->SetTextColor(vesk_color(colours[i] >> 16, (colours[i] >> 8) & 255, colours[i] & 255), vesk_BLACK);
    tc->AppendRawText(i < 3 ? "MMM\n" : "MMM");
  }
  ASSERT_EQ(tc->last_line, 8);
  tc->ShowPosition(5);
  pixel_grid px(draw_text());
  int gh = 0;
  font->GetCharacterSize('M', nullptr, &gh);
  for (int i = 0; i < 4; ++i) {
    auto rows = px.rows_where(ink_of(colours[i]));
    EXPECT_GE(rows.first, 20 * i) << i;
    EXPECT_LE(rows.second, 20 * i + gh - 1) << i;
  }
  // Nothing below the last line.
  EXPECT_LE(px.rows_where([](uint32_t p) { return p != 0; }).second, 60 + gh - 1);
  int line = 0, offset = 0;
  tc->translate_xy_to_line_and_offset(0, 45, &line, &offset);
  EXPECT_EQ(line, 7);
}

TEST_F(View, SelectionDrawnOnDarkGrey)
{
  tc->AppendRawText("MMMMMMMM\nnext");
  tc->anchor_line = tc->cursor_line = 0;
  tc->anchor_offset = 2;
  tc->cursor_offset = 4;
  tc->set_ordered_selection();
  tc->selection_active = 1;
  tc->ShowPosition(1);
  pixel_grid px(draw_text());
  auto grey = px.columns_where([](uint32_t p) { return p == 0x404040; });
  EXPECT_EQ(grey.first, 1 + 2 * cw);
  EXPECT_EQ(grey.second, 1 + 5 * cw - 1);
}

TEST_F(View, DragSelectsAndCopiesToClipboardAndPrimary)
{
  display->write("first line of text\nsecond line here\n");
  tc->ShowPosition(2);
  // Line 0 is at y 140-159, line 1 at 160-179 (bottom line 2 at 180).
  const int x6 = 6 * cw + cw / 2;
  send(tc, mouse(wxEVT_LEFT_DOWN, x6, 150, true));
  EXPECT_EQ(tc->anchor_line, 0);
  EXPECT_EQ(tc->anchor_offset, 6);
  EXPECT_FALSE(tc->has_mouse_selection());
  wxMouseEvent move = mouse(wxEVT_MOTION, 3 * cw + cw / 2, 170, true);
  tc->mouse_event_handler(move);
  EXPECT_TRUE(tc->has_mouse_selection());
  EXPECT_EQ(display->following, 0);  // selecting inside the view holds it
  wxMouseEvent up = mouse(wxEVT_LEFT_UP, 3 * cw + cw / 2, 170);
  tc->mouse_event_handler(up);
  EXPECT_EQ(tc->mouse_captured, 0);
  EXPECT_EQ(clipboard_text(false), "line of text\nseco");
  EXPECT_EQ(clipboard_text(true), "line of text\nseco");
  wxString read;
  ASSERT_EQ(get_clipboard_data(read), 1);
  EXPECT_EQ(read.ToStdString(), "line of text\nseco");

  // A click without moving selects nothing and keeps the clipboard.
  wxMouseEvent down = mouse(wxEVT_LEFT_DOWN, cw / 2, 150, true);
  tc->mouse_event_handler(down);
  wxMouseEvent up2 = mouse(wxEVT_LEFT_UP, cw / 2, 150);
  tc->mouse_event_handler(up2);
  EXPECT_FALSE(tc->has_mouse_selection());
  EXPECT_EQ(clipboard_text(false), "line of text\nseco");

  // Left of the view: to the end of the line above.
  send(tc, mouse(wxEVT_LEFT_DOWN, 2 * cw + 1, 170, true));
  wxMouseEvent left = mouse(wxEVT_MOTION, -5, 170, true);
  tc->mouse_event_handler(left);
  EXPECT_EQ(tc->cursor_line, 0);
  send(tc, mouse(wxEVT_LEFT_UP, -5, 170));
  EXPECT_EQ(clipboard_text(false), "\nsec");

  // 8-bit text that is not UTF-8 is transliterated, not lost.
  wxString read8;
  ASSERT_EQ(set_clipboard_data("caf\xe9 ok"), 1);
  ASSERT_EQ(get_clipboard_data(read8), 1);
  EXPECT_EQ(read8.ToStdString().substr(0, 3), "caf");
  EXPECT_NE(read8.ToStdString().find("ok"), std::string::npos);
}

TEST_F(View, WheelHoldsAndRightClickFollows)
{
  fill(99);
  ASSERT_EQ(tc->bottom_line, 99);
  wxMouseEvent w = wheel(120);
  tc->mouse_event_handler(w);
  EXPECT_EQ(display->following, 0);
  EXPECT_EQ(tc->bottom_line, 96);
  wxMouseEvent w2 = wheel(-120);
  tc->mouse_event_handler(w2);
  EXPECT_EQ(tc->bottom_line, 99);
  EXPECT_EQ(display->following, 1);  // reaching the end follows again
  tc->mouse_event_handler(w);
  wxMouseEvent right = mouse(wxEVT_RIGHT_DOWN, 10, 10, false, true);
  tc->mouse_event_handler(right);
  EXPECT_EQ(display->following, 1);
  EXPECT_EQ(tc->bottom_line, 99);
  // The wheel over the display's own frame does the same.
  wxMouseEvent dw = wheel(120);
  display->mouseWheelEvent(dw);
  EXPECT_EQ(tc->bottom_line, 96);
}

TEST_F(View, DragBelowTheViewScrollsUntilReleased)
{
  fill(99);
  display->disable_scrolling();
  display->scroll_amount(-60);  // bottom line 39
  send(tc, mouse(wxEVT_LEFT_DOWN, 5, 100, true));
  wxMouseEvent below = mouse(wxEVT_MOTION, 5, 220, true);
  tc->mouse_event_handler(below);
  EXPECT_EQ(tc->drag_scroll_speed, 4);
  EXPECT_TRUE(tc->in_animation_list());
  const int start = tc->bottom_line;
  std::vector<int> seen;
  for (int tick = 0; tick < 12; ++tick) {
    vesk_embedded_window::animation_update(20);
    seen.push_back(tc->bottom_line);
  }
  // Every fourth tick, four lines.
  EXPECT_EQ(seen.back(), start + 12);
  EXPECT_EQ(seen[0] == start || seen[1] == start || seen[2] == start, true);
  EXPECT_TRUE(tc->has_mouse_selection());

  wxMouseEvent further = mouse(wxEVT_MOTION, 5, 240, true);
  tc->mouse_event_handler(further);
  EXPECT_EQ(tc->drag_scroll_speed, 8);
  int before = tc->bottom_line;
  for (int tick = 0; tick < 4; ++tick)
    vesk_embedded_window::animation_update(20);
  EXPECT_EQ(tc->bottom_line, before + 5);  // half of the 10 visible lines

  wxMouseEvent up = mouse(wxEVT_LEFT_UP, 5, 240);
  tc->mouse_event_handler(up);
  EXPECT_EQ(tc->drag_scroll_speed, 0);
  before = tc->bottom_line;
  for (int tick = 0; tick < 20; ++tick)
    vesk_embedded_window::animation_update(20);
  EXPECT_EQ(tc->bottom_line, before);
  EXPECT_FALSE(tc->in_animation_list());
}

TEST_F(View, CaptureLostEndsTheDrag)
{
  display->write("abcdef\nghijkl\n");
  tc->ShowPosition(2);
  send(tc, mouse(wxEVT_LEFT_DOWN, 1, 150, true));
  wxMouseEvent move = mouse(wxEVT_MOTION, 3 * cw, 170, true);
  tc->mouse_event_handler(move);
  wxMouseCaptureLostEvent lost;
  tc->mouse_capture_lost_handler(lost);
  EXPECT_EQ(tc->mouse_captured, 0);
  EXPECT_FALSE(tc->has_mouse_selection());
  EXPECT_EQ(clipboard_text(false), "abcdef\nghi");
  if (tc->HasCapture())
    tc->ReleaseMouse();
}

TEST_F(View, UrlClickSelectsTheUrlUnlessLinkingIsOff)
{
  display->write("see http://example.com/page now\n");
  tc->ShowPosition(1);
  const int x = 8 * cw + cw / 2;  // on the URL
  send(tc, mouse(wxEVT_LEFT_DOWN, x, 170, true));
  EXPECT_TRUE(tc->has_mouse_selection());
  EXPECT_EQ(tc->url_latch, 1);
  EXPECT_EQ(clipboard_text(false), "http://example.com/page");
  // Everything is ignored until the button comes up.
  wxMouseEvent move = mouse(wxEVT_MOTION, 2, 170, true);
  tc->mouse_event_handler(move);
  EXPECT_EQ(tc->sel_start_offset, 4);
  wxMouseEvent up = mouse(wxEVT_LEFT_UP, 2, 170);
  tc->mouse_event_handler(up);
  EXPECT_EQ(tc->url_latch, 0);

  MConfig::SetUrlHotlinking(0);
  send(tc, mouse(wxEVT_LEFT_DOWN, x, 170, true));
  EXPECT_EQ(tc->url_latch, 0);
  EXPECT_FALSE(tc->has_mouse_selection());
  EXPECT_EQ(tc->anchor_offset, 8);
  send(tc, mouse(wxEVT_LEFT_UP, x, 170));
  MConfig::SetUrlHotlinking(1);
}

TEST_F(View, ColourFlashFadesAndRests)
{
  tc->SetTextColor(vesk_WHITE, vesk_color(0, 0, 40));
  tc->parse_colorflash("ff0000 000000 10");
  EXPECT_EQ(rgb_of(tc->background_color), 0xff0000);
  EXPECT_TRUE(tc->in_animation_list());
  std::vector<int> reds;
  for (int tick = 0; tick < 11; ++tick) {
    vesk_embedded_window::animation_update(20);
    reds.push_back(tc->background_color.red);
  }
  EXPECT_EQ(reds, (std::vector<int>{229, 204, 178, 153, 127, 102, 76, 51, 25, 0, 0}));
  EXPECT_EQ(rgb_of(tc->background_color), 0x000028);  // back to rest after the last step
  EXPECT_FALSE(tc->in_animation_list());
  pixel_grid px(draw_text());
  EXPECT_EQ(px.at(300, 100), 0x000028u);

  // Mid-flash the whole view is cleared with the flash colour.
  tc->parse_colorflash("00ff00 00ff00 3");
  pixel_grid mid(draw_text());
  EXPECT_EQ(mid.at(300, 100), 0x00ff00u);
  for (int tick = 0; tick < 5; ++tick)
    vesk_embedded_window::animation_update(20);

  // Switched off: nothing happens.
  MConfig::SetColorFlash(0);
  tc->parse_colorflash("ff0000 000000 10");
  EXPECT_EQ(tc->flash_list, nullptr);
  MConfig::SetColorFlash(1);
}

TEST_F(View, FrameShowsFollowingHeldAndAttention)
{
  fill(50);
  vesk_bitmap &bmp = *display->bitmap;
  display->repaint_dc(bmp);
  {
    pixel_grid px(bmp);
    EXPECT_EQ(px.at(0, 0), 0xffffffu);
    EXPECT_EQ(px.at(1, 1), 0x808080u);
    EXPECT_EQ(px.at(1, 100), 0x808080u);
  }
  display->disable_scrolling();
  display->repaint_dc(bmp);
  {
    pixel_grid px(bmp);
    EXPECT_EQ(px.at(0, 0), 0xff0000u);
    EXPECT_EQ(px.at(1, 1), 0xc00000u);
    EXPECT_EQ(px.at(0, bmp.GetHeight() - 1), 0xff0000u);
  }
  display->enable_scrolling();
  display->start_newbie_demo_mode_flashing();
  display->repaint_dc(bmp);
  {
    pixel_grid px(bmp);
    EXPECT_EQ(px.at(0, 0), 0x000000u);  // 16 steps left: even, black
    EXPECT_EQ(px.at(1, 1), 0x000000u);
  }
  for (int tick = 0; tick < 10; ++tick)
    vesk_embedded_window::animation_update(20);
  display->repaint_dc(bmp);
  EXPECT_EQ(pixel_grid(bmp).at(0, 0), 0xffffffu);  // 15 left: white
  display->stop_animation();
}

TEST_F(View, ScrollBarTracksTheView)
{
  fill(99);
  wxScrollBar *sb = display->scroll_bar;
  EXPECT_EQ(sb->GetRange(), 99);
  EXPECT_EQ(sb->GetThumbSize(), 10);
  EXPECT_EQ(sb->GetThumbPosition(), 89);
  display->disable_scrolling();
  display->scroll_up(5);
  EXPECT_EQ(sb->GetThumbPosition(), 84);
  EXPECT_EQ(display->get_scroll_position(), 84);

  wxScrollEvent event(wxEVT_SCROLL_THUMBTRACK, sb->GetId(), 20, wxVERTICAL);
  display->handle_scroll_event(event);
  EXPECT_EQ(tc->bottom_line, 30);
  EXPECT_EQ(display->following, 0);
  wxScrollEvent end(wxEVT_SCROLL_THUMBRELEASE, sb->GetId(), 89, wxVERTICAL);
  display->handle_scroll_event(end);
  EXPECT_EQ(display->following, 1);
  EXPECT_EQ(tc->bottom_line, 99);

  // A restored position leaves following alone.
  display->disable_and_set_scroll_position(10);
  EXPECT_EQ(tc->bottom_line, 20);
  EXPECT_EQ(sb->GetThumbPosition(), 10);
}

TEST_F(View, FontChangeLaysOutAgain)
{
  display->write(std::string(60, 'w').c_str());
  display->write("\n");
  int lines_small = tc->last_line;
  auto big = make_text_font(20);
  display->change_font(big.get());
  EXPECT_GT(tc->last_line, lines_small);
  int h = 0;
  big->GetCharacterSize('f', nullptr, &h);
  EXPECT_EQ(tc->line_height, h);
  MConfig::SetCompactMode(1);
  display->change_font(big.get());
  EXPECT_EQ(tc->line_height, h - 1);
  MConfig::SetCompactMode(0);
  display->change_font(font.get());
  EXPECT_EQ(tc->last_line, lines_small);
}

TEST_F(View, DebugFillThenRepaintAndScroll)
{
  testing::internal::CaptureStdout();
  display->generate_debug_fill_data();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("size of vesk_textctrl_chunk    40\n"), std::string::npos) << out;
  EXPECT_NE(out.find("entries in render list "), std::string::npos);
  EXPECT_GE(tc->last_line, 100000);
  EXPECT_EQ(display->render_first, nullptr);  // straight to the text control
  Buffer last;
  tc->get_line_text(tc->last_line - 1, last);
  EXPECT_NE(std::string(last.text).find(" characters written ("), std::string::npos) << last.text;
  EXPECT_EQ(tc->bottom_line, tc->last_line);

  pixel_grid bottom(draw_text());
  display->disable_scrolling();
  display->scroll_amount(-50000);
  pixel_grid middle(draw_text());
  int ink = 0;
  for (int y = 0; y < middle.height(); ++y)
    for (int x = 0; x < middle.width(); ++x)
      ink += middle.at(x, y) != (uint32_t)rgb_of(tc->background_color);
  EXPECT_GT(ink, 100);
  display->scroll_amount(1000000);
  EXPECT_EQ(display->following, 1);
  draw_text();
}
