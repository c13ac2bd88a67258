// Scrollback export as HTML and as plain text, and the save helper that
// reports the outcome in the display.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

#include "test_support.h"
#include "text/ansi_interpreter.h"
#include "text/ansi_palette.h"
#include "text_fixture.h"

namespace {

const char *const expected_head =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
    "<html>\n<head>\n<title>Ombrith Logfile - TIME\n</title>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=utf-8\" >\n"
    "<style type=\"text/css\">\n"
    "body     {background-color:#000000}\n"
    ".dwhite  {color:606060}\n"
    ".white   {color:a0a0a0}\n"
    ".bwhite  {color:ffffff}\n"
    ".dred    {color:550000}\n"
    ".red     {color:aa0000}\n"
    ".bred    {color:ff5555}\n"
    ".dyellow {color:774000}\n"
    ".yellow  {color:aa8800}\n"
    ".byellow {color:ffff55}\n"
    ".dgreen  {color:005500}\n"
    ".green   {color:00aa00}\n"
    ".bgreen  {color:55ff55}\n"
    ".dcyan   {color:008060}\n"
    ".cyan    {color:0080aa}\n"
    ".bcyan   {color:40ffff}\n"
    ".dblue   {color:000088}\n"
    ".blue    {color:0000cc}\n"
    ".bblue   {color:5050ff}\n"
    ".dpurple {color:550088}\n"
    ".purple  {color:aa00cc}\n"
    ".bpurple {color:ff40ff}\n"
    "</style>\n"
    "</head>\n"
    "<body><pre><tt>\n";
const char *const expected_tail = "\n</tt></pre></body>\n</html>\n";

class Export : public ::testing::Test {
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

  std::string export_html()
  {
    std::string path = dir.file("log.html");
    FILE *f = std::fopen(path.c_str(), "wb");
    EXPECT_EQ(display.render_html_to_file(f), 1);
    std::fclose(f);
    // The title holds the time of the export as ctime formats it.
    return std::regex_replace(read_file(path), std::regex("Logfile - [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]{2} "
                                                          "[0-9:]{8} [0-9]{4}\n"),
                              "Logfile - TIME\n");
  }
  std::string export_text()
  {
    std::string path = dir.file("log.txt");
    FILE *f = std::fopen(path.c_str(), "wb");
    EXPECT_EQ(display.render_text_to_file(f), 1);
    std::fclose(f);
    return read_file(path);
  }

  temp_dir dir;
  vesk_textctrl_store store;
  vesk_ansi_interpreter display{&store};
};

}  // namespace

TEST_F(Export, EmptyScrollback)
{
  EXPECT_EQ(export_html(), std::string(expected_head) + expected_tail);
  EXPECT_EQ(export_text(), "");
}

TEST_F(Export, ClassesAndEscaping)
{
  feed("plain\n\x1b[31ma <b> & c\n\x1b[0m\x1b[1m\x1b[31mbold\x1b[2m\x1b[32mdim\x1b[0m\n");
  std::string body = "<span class=\"white\">plain\n</span>"
                     "<span class=\"red\">a &lt;b&gt; &amp; c\n</span>"
                     "<span class=\"bred\">bold</span>"
                     "<span class=\"dgreen\">dim</span>"
                     "<span class=\"white\">\n</span>";
  EXPECT_EQ(export_html(), std::string(expected_head) + body + expected_tail);
  EXPECT_EQ(export_text(), "plain\na <b> & c\nbolddim\n");
}

TEST_F(Export, PendingRunIsRecordedFirst)
{
  feed("\x1b[34mprompt> ");
  EXPECT_EQ(export_text(), "prompt> ");
  EXPECT_EQ(display.pending_run, "");
}

TEST_F(Export, OtherPalettesStillExportTheDefaultColours)
{
  set_ansi_palette(3);
  feed("\x1b[32mgreen\n");
  std::string html = export_html();
  EXPECT_EQ(html.substr(0, std::string(expected_head).size()), expected_head);
  EXPECT_NE(html.find("<span class=\"green\">green\n</span>"), std::string::npos);
}

TEST_F(Export, RunsAreCutAt5999Characters)
{
  feed(std::string(7000, 'q'));
  std::string text = export_text();
  EXPECT_EQ(text, std::string(5999, 'q'));
  std::string html = export_html();
  EXPECT_NE(html.find("<span class=\"white\">" + std::string(5999, 'q') + "</span>"), std::string::npos);
}

TEST_F(Export, UnknownCodeGivesBogus)
{
  log_capture log(2);
  EXPECT_STREQ(render_get_html_color(12, 0), "bogus");
  EXPECT_NE(log.text().find("error in render_get_html_color() - bad color '12'?\n"), std::string::npos);
  EXPECT_STREQ(render_get_html_color(0, 0), "white");
  EXPECT_STREQ(render_get_html_color(54, 4), "bcyan");
  EXPECT_STREQ(render_get_html_color(53, 8), "dpurple");
  EXPECT_STREQ(render_get_html_color(52, 16), "blue");
}

TEST_F(Export, SaveReportsSuccessAndFailures)
{
  store.view_width = 100000;  // messages stay on one line each
  feed("\x1b[31mred line\n");
  std::string html_path = dir.file("saved.html");
  ASSERT_EQ(vesk_save_scrollback_log(display, html_path.c_str(), 0), 1);
  EXPECT_NE(read_file(html_path).find("<span class=\"red\">red line\n</span>"), std::string::npos);
  std::string shown;
  for (int i = 0; i <= store.last_line; ++i)
    shown += line_text(store, i) + "\n";
  EXPECT_NE(shown.find("HTML log saved to file '" + html_path + "'."), std::string::npos);

  // Plain text whatever the file name says.
  std::string txt_path = dir.file("plain.html");
  ASSERT_EQ(vesk_save_scrollback_log(display, txt_path.c_str(), 1), 1);
  EXPECT_EQ(read_file(txt_path).substr(0, 9), "red line\n");
  EXPECT_EQ(read_file(txt_path).find('<'), std::string::npos);

  std::string missing = dir.file("no/such/dir/log.html");
  EXPECT_EQ(vesk_save_scrollback_log(display, missing.c_str(), 0), 0);

  // A device that is always full: opening works, writing fails.
  EXPECT_EQ(vesk_save_scrollback_log(display, "/dev/full", 0), 0);

  shown.clear();
  for (int i = 0; i <= store.last_line; ++i)
    shown += line_text(store, i) + "\n";
  EXPECT_NE(shown.find("Plain text log saved to file '" + txt_path + "'."), std::string::npos);
  EXPECT_NE(shown.find("Error - unable to open file '" + missing + "'.\nLogfile was not saved!"),
            std::string::npos);
  EXPECT_NE(shown.find("Error - writing to file '/dev/full' failed (No space left on device).\n"
                       "The logfile may be incomplete!"),
            std::string::npos);
  EXPECT_EQ(shown.find("saved to file '/dev/full'"), std::string::npos);
}
