// An exported HTML log opened by a real browser: headless Chromium takes a
// screenshot of it, and the red run must come out red on the black page.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/image.h>

#include "process_util.h"
#include "test_support.h"
#include "text/ansi_interpreter.h"
#include "text/ansi_palette.h"
#include "text_fixture.h"

namespace {

const char *const chromium_path = "/usr/bin/chromium";

bool file_has_content(const std::string &path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

} // namespace

TEST(HtmlLogInBrowser, RedRunIsShownRed)
{
  ASSERT_EQ(access(chromium_path, X_OK), 0)
      << chromium_path << " is missing: install Debian's chromium package (scripts/setup.sh does)";

  ansi_palette = ansi_color_default;
  vesk_textctrl_store store;
  store.view_width = 100000;
  set_fixed_metrics(store, 8, 16);
  vesk_ansi_interpreter display(&store);
  display.reset_colors();
  std::string text = "A plain white line of the log\n";
  for (int i = 0; i < 6; ++i)
    text += "\x1b[31mMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM\x1b[0m and white <tags> & more\n";
  display.display_socket_data(text.data(), (int)text.size());

  temp_dir dir;
  std::string html = dir.file("log.html");
  std::string shot = dir.file("shot.png");
  FILE *f = std::fopen(html.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(display.render_html_to_file(f), 1);
  ASSERT_EQ(std::fclose(f), 0);

  child_process browser({chromium_path, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update", "--disable-sync",
                         "--user-data-dir=" + dir.file("profile"), "--screenshot=" + shot, "--window-size=800,400",
                         "file://" + html},
                        {{"HOME", dir.path()}}, dir.path());
  bool ended = browser.wait_exit(90);
  if (!ended)
    browser.signal(SIGKILL);
  ASSERT_TRUE(wait_until([&] { return file_has_content(shot); }, ended ? 5 : 0.1))
      << "no screenshot from chromium\n" << browser.stderr_text();

  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
    wxImage::AddHandler(new wxPNGHandler);
  wxImage image;
  ASSERT_TRUE(image.LoadFile(shot, wxBITMAP_TYPE_PNG));
  int red = 0, grey = 0, other = 0;
  for (int y = 0; y < image.GetHeight(); ++y)
    for (int x = 0; x < image.GetWidth(); ++x) {
      int r = image.GetRed(x, y), g = image.GetGreen(x, y), b = image.GetBlue(x, y);
      if (r == 0 && g == 0 && b == 0)
        continue;
      if (r >= 0x90 && g <= 0x20 && b <= 0x20)
        ++red;  // the red run (aa0000)
      else if (r > 0x40 && r == g && g == b)
        ++grey;  // the normal white text (a0a0a0)
      else
        ++other;
    }
  EXPECT_GT(red, 200) << "the red run is not red";
  EXPECT_GT(grey, 50) << "the white text is missing";
  // The page background is black.
  EXPECT_EQ(image.GetRed(image.GetWidth() - 5, image.GetHeight() - 5), 0);
  EXPECT_EQ(image.GetGreen(image.GetWidth() - 5, image.GetHeight() - 5), 0);
  EXPECT_EQ(image.GetBlue(image.GetWidth() - 5, image.GetHeight() - 5), 0);
}
