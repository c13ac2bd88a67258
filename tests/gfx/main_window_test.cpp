// The main window's own surface: background, logo, border, the click on the
// logo, and screenshots of the surface for people to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include <wx/dcmemory.h>
#include <wx/image.h>

#include "app/main_window.h"
#include "gfx/background.h"
#include "gfx/images.h"
#include "gfx/theme_settings.h"
#include "gfx/themes.h"
#include "pixels.h"

namespace {

class MainWindowSurface : public ::testing::Test {
protected:
  void SetUp() override
  {
    if (!test_have_display())
      GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    initialize_themes();
    construct_all_images();
    set_configured_theme_values(1, 2, 3, 2);
    reset_theme();
    mw = new vesk_mw("Ombrith", wxDefaultPosition, wxSize(984, 728));
    mw->SetClientSize(900, 640);
    mw->redraw_background(0);
  }

  void TearDown() override
  {
    delete mw;
    set_configured_theme_values(1, 2, 3, 2);
    reset_theme();
  }

  // The surface as a paint would draw it.
  wxImage paint()
  {
    int w, h;
    mw->GetClientSize(&w, &h);
    wxBitmap surface(w, h, 24);
    wxMemoryDC dc(surface);
    mw->paint_surface(dc);
    dc.SelectObject(wxNullBitmap);
    return surface.ConvertToImage();
  }

  vesk_mw *mw = nullptr;
};

std::string screenshot_dir()
{
  std::string dir = std::string(OMBRITH_BINARY_DIR) + "/screenshots";
  mkdir(dir.c_str(), 0755);
  return dir;
}

vesk_color rgb(const wxImage &image, int x, int y)
{
  return vesk_color(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

} // namespace

TEST_F(MainWindowSurface, BorderAndLogo)
{
  wxImage s = paint();
  int W = s.GetWidth(), H = s.GetHeight();
  const vesk_color outer = button_theme_blue[0], inner = button_theme_blue[3];
  for (int y : {0, H / 2, H - 3}) {
    EXPECT_EQ(rgb(s, 0, y), outer) << y;
    EXPECT_EQ(rgb(s, W - 1, y), outer) << y;
    EXPECT_EQ(rgb(s, 1, y), inner) << y;
    EXPECT_EQ(rgb(s, W - 2, y), inner) << y;
  }
  EXPECT_EQ(rgb(s, W / 2, H - 1), outer);
  EXPECT_EQ(rgb(s, W / 2, H - 2), inner);
  EXPECT_NE(rgb(s, W / 2, 0), outer); // no top border

  // Layout 2: the logo's rectangle starts at the top left and the white
  // letters are drawn there.
  EXPECT_EQ(mw->logo_x, 0);
  EXPECT_EQ(mw->logo_y, 0);
  EXPECT_EQ(mw->logo_width, 192);
  int white = 0;
  for (int y = 0; y < 43; ++y)
    for (int x = 2; x < 192; ++x)
      white += rgb(s, x, y) == vesk_WHITE;
  EXPECT_GT(white, 100);

  set_configured_theme_values(1, 2, 3, 0);
  paint();
  EXPECT_EQ(mw->logo_x, W - mw->logo_width);
  EXPECT_EQ(mw->logo_y, H - mw->logo_height);
}

TEST_F(MainWindowSurface, RedrawFollowsTheConfiguredStyleAndTheme)
{
  // The first redraw for a 900 x 640 client area.
  ASSERT_NE(mw->background_bitmap, nullptr);
  EXPECT_EQ(mw->background_width, 1024);
  EXPECT_EQ(mw->background_height, 768);

  vesk_bitmap *before = mw->background_bitmap;
  mw->redraw_background(0);
  EXPECT_EQ(mw->background_bitmap, before);

  set_configured_theme_values(1, 60, 1, 2); // Solid, Green
  reset_theme();
  mw->redraw_background(0);
  EXPECT_EQ(rgb(*mw->background_bitmap, 500, 500), vesk_color(0, 32, 0));
  for (int i = 0; i < 3; ++i)
    mw->redraw_background(1);
  EXPECT_EQ(mw->background_width, 1024);
  EXPECT_EQ(mw->background_height, 768);
}

// A press inside the logo opens the web page once; dragging with the button
// held does not open it again; other buttons, plain motion and the edges of
// the rectangle do nothing.
TEST_F(MainWindowSurface, ClickingTheLogoOpensTheWebPageOncePerPress)
{
  temp_dir bin;
  std::string record = bin.file("opened.txt");
  write_file(bin.file("xdg-open"), "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + record + "'\n");
  chmod(bin.file("xdg-open").c_str(), 0755);
  std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin.path() + ":" + old_path).c_str(), 1);

  paint(); // places the logo
  auto send = [&](wxEventType type, int x, int y, bool left_down) {
    wxMouseEvent e(type);
    e.SetEventObject(mw);
    e.m_x = x;
    e.m_y = y;
    e.m_leftDown = left_down;
    e.m_rightDown = type == wxEVT_RIGHT_DOWN;
    mw->GetEventHandler()->ProcessEvent(e);
  };
  send(wxEVT_RIGHT_DOWN, 50, 20, false);
  send(wxEVT_MOTION, 50, 20, false);
  send(wxEVT_LEFT_DOWN, mw->logo_x, 20, true);                   // on the left edge
  send(wxEVT_MOTION, 50, mw->logo_y + mw->logo_height, true);    // on the bottom edge
  send(wxEVT_LEFT_UP, 50, 20, false);
  EXPECT_EQ(read_file(record), "");

  send(wxEVT_LEFT_DOWN, 50, 20, true);
  send(wxEVT_MOTION, 60, 21, true);
  send(wxEVT_MOTION, 70, 22, true);
  send(wxEVT_LEFT_UP, 70, 22, false);
  send(wxEVT_MOTION, 70, 22, true); // pressed again, dragged onto the logo
  setenv("PATH", old_path.c_str(), 1);

  std::string url = std::string("http://") + ombrith_web_host + "/?mc\n";
  EXPECT_EQ(read_file(record), url + url);
}

// Writes build/screenshots/main_window_*.png: the main window's surface in
// each background style and every background theme, in the three layouts.
TEST_F(MainWindowSurface, Screenshots)
{
  struct shot {
    const char *name;
    int buttons, background, style, layout;
  };
  const shot shots[] = {
      {"none_yellow", 0, 0, 0, 2},        {"solid_red", 2, 2, 1, 2},
      {"maze1_green", 60, 60, 2, 2},      {"maze2_default", 1, 2, 3, 2},
      {"bubbles_cyan", 70, 70, 4, 2},     {"maze3_purple", 80, 80, 5, 2},
      {"maze2_brown_bottom_right", 40, 40, 3, 0}, {"bubbles_grey_bottom_left", 90, 90, 4, 1},
      {"maze1_ygreen_bottom_right", 50, 50, 2, 0}, {"maze3_blue_bottom_left", 1, 1, 5, 1},
  };
  std::string dir = screenshot_dir();
  for (const shot &s : shots) {
    set_configured_theme_values(s.buttons, s.background, s.style, s.layout);
    reset_theme();
    mw->redraw_background(1);
    wxImage image = paint();
    std::string path = dir + "/main_window_" + s.name + ".png";
    EXPECT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG)) << path;
  }
}
