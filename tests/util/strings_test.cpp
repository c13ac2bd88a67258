// Word functions, bounded copy, base64 and the URL finder.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "test_support.h"
#include "util/strings.h"


TEST(IsInt, LeadingNumber)
{
  struct {
    const char *text;
    int result;
    int value;
  } cases[] = {
      {"12abc", 1, 12},          {"-5", 1, -5},  {"+x", 1, 0}, {"+7", 1, 7},        {"0", 1, 0},
      {"-x", 0, 0},              {"abc", 0, 0},  {"", 0, 0},   {" 5", 0, 0},        {"99999999999", 1, INT_MAX},
      {"-99999999999", 1, INT_MIN},
  };
  for (const auto &c : cases) {
    int value = 0;
    EXPECT_EQ(is_int(c.text, &value), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  EXPECT_EQ(is_int("3"), 1);
  EXPECT_EQ(is_int(nullptr), 0);
}

TEST(NextArg, StepsOverOneWord)
{
  const char *text = "  look   at me";
  EXPECT_STREQ(next_arg(text), "at me");
  EXPECT_EQ(next_arg("look"), nullptr);
  EXPECT_EQ(next_arg("look  \t"), nullptr);
  EXPECT_STREQ(next_arg("\tlook\nat"), "at");
  // A carriage return is an ordinary character, not white space.
  EXPECT_STREQ(next_arg("lo\rok x"), "x");

  log_capture log(3);
  EXPECT_EQ(next_arg(static_cast<const char *>(nullptr)), nullptr);
  EXPECT_EQ(log.text_without_open_notice(), "Error in next_arg(), NULL pointer passed in.\n");
}

TEST(WordCompare, WholeWordsIgnoringCase)
{
  std::string w399(399, 'k'), w400(400, 'k');
  struct {
    const char *a, *b;
    int result;
  } cases[] = {
      {"Name", "name value", 1}, {"name", "names", 0},    {"NAME\tx", "nAmE", 1}, {"a\rb", "a", 0},
      {"", "x", 0},              {w399.c_str(), w399.c_str(), 1}, {w400.c_str(), w400.c_str(), 0},
      {nullptr, "x", 0},         {"x", nullptr, 0},
  };
  for (const auto &c : cases)
    EXPECT_EQ(wordcmp(c.a, c.b), c.result) << (c.a ? c.a : "(null)") << " / " << (c.b ? c.b : "(null)");

  EXPECT_EQ(multiword_wordcmp("post /path", "PUT POST"), 1);
  EXPECT_EQ(multiword_wordcmp("PUT", " PUT POST"), 1);
  EXPECT_EQ(multiword_wordcmp("PATCH", "PUT POST"), 0);
  EXPECT_EQ(multiword_wordcmp("PO", "PUT POST"), 0);
}

TEST(IsAbbrev, PrefixAndMinimum)
{
  std::string a399(399, 'e'), a400(400, 'e'), long_word(500, 'e');
  struct {
    const char *abbreviation, *word;
    int minimum;  // -1: the two-argument form
    int result;
  } cases[] = {
      {"nor", "north", -1, 3},  {"NOR th", "north", -1, 3}, {"norx", "north", -1, 0},
      {"", "north", -1, 0},     {"north", "nor", -1, 0},     {a399.c_str(), long_word.c_str(), -1, 399},
      {a400.c_str(), long_word.c_str(), -1, 0},
      {"no", "north", 3, 0},    {"no", "no", 3, 2},          {"no", "no more", 3, 2},
      {"nor", "north", 3, 3},   {"n", "north", 0, 1},        {"n", "north", -5, 1},
      {"", "", 3, 0},
  };
  for (const auto &c : cases) {
    int got = c.minimum == -1 ? is_abbrev(c.abbreviation, c.word) : is_abbrev(c.abbreviation, c.word, c.minimum);
    EXPECT_EQ(got, c.result) << c.abbreviation << " / " << c.word << " / " << c.minimum;
  }
  EXPECT_EQ(is_abbrev(nullptr, "x"), 0);
  EXPECT_EQ(is_abbrev("x", nullptr), 0);
}

TEST(SafeStrcpy, CopiesCutsAndReports)
{
  log_capture log(1);
  char dest[8];
  EXPECT_EQ(safe_strcpy(dest, "1234567", sizeof(dest)), 1);
  EXPECT_STREQ(dest, "1234567");
  EXPECT_EQ(log.text(), "");

  EXPECT_EQ(safe_strcpy(dest, "abcdefghij", sizeof(dest)), 0);
  EXPECT_STREQ(dest, "abcdefg");
  EXPECT_EQ(log.text(), "Error in safe_strcpy(), src overflow. String was: ->abcdefghij<-\n");

  EXPECT_EQ(safe_strcpy(dest, nullptr, sizeof(dest)), 0);
  EXPECT_STREQ(dest, "");
  EXPECT_EQ(safe_strcpy(nullptr, "x", 8), 0);
  EXPECT_EQ(safe_strcpy(dest, "x", 0), 0);
  EXPECT_EQ(log.text(), "Error in safe_strcpy(), src overflow. String was: ->abcdefghij<-\n"
                        "Error in safe_strcpy(), NULL src.\n"
                        "Error in safe_strcpy(), NULL dest.\n"
                        "Error in safe_strcpy(), dest too short.\n");
}

TEST(Base64, Rfc4648Vectors)
{
  struct {
    const char *in, *out;
  } cases[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto &c : cases) {
    Buffer b;
    EXPECT_EQ(base64_encode(b, c.in), 1) << c.in;
    EXPECT_STREQ(b.text, c.out) << c.in;
  }

  Buffer b("Basic ");
  const unsigned char bytes[] = {0xFF, 0xFE, 0x00, 0x80};
  EXPECT_EQ(base64_encode(b, bytes, 4), 1);
  EXPECT_STREQ(b.text, "Basic //4AgA==");

  EXPECT_EQ(base64_encode(b, nullptr), 0);
  EXPECT_EQ(base64_encode(b, nullptr, 3), 0);
  EXPECT_STREQ(b.text, "Basic //4AgA==");
}

TEST(Base64, ReportsOutputThatMayBeCut)
{
  Buffer room;
  room.append(std::string(5991, '-').c_str());
  EXPECT_EQ(base64_encode(room, "foo"), 1);  // 5995 characters
  Buffer exact;
  exact.append(std::string(5991, '-').c_str());
  EXPECT_EQ(base64_encode(exact, "foobar"), 0);  // exactly 5999: may have been cut
  EXPECT_EQ(exact.length, 5999);
  Buffer cut;
  cut.append(std::string(5995, '-').c_str());
  EXPECT_EQ(base64_encode(cut, "foobar"), 0);
  EXPECT_EQ(cut.length, 5999);
  EXPECT_EQ(std::string(cut.text + 5995), "Zm9v");
}

TEST(UrlFinder, Cases)
{
  struct {
    const char *line;
    const char *at;   // the character under the mouse: first occurrence of this text
    const char *url;  // null: no link
  } cases[] = {
      {"see (www.example.com), ok", "ample", "www.example.com"},
      {"see (www.example.com), ok", "(", nullptr},
      {"read http://en.example.org/wiki/Foo_(bar) now", "wiki", "http://en.example.org/wiki/Foo_(bar)"},
      {"go to example.com.", "exa", "example.com"},
      {"mail bob@example.com now", "bob", nullptr},
      {"mail bob@example.com now", "com", nullptr},
      {"http://bob@example.com", "bob", "http://bob@example.com"},
      {"at example.com:8080/path/x here", "path", "example.com:8080/path/x"},
      {"at example.com:0/path here", "path", nullptr},
      {"at example.com: here", "exa", nullptr},
      {"pi is 3.14 roughly", "14", nullptr},
      {"a..b.com", "b.c", nullptr},
      {"open readme.txt please", "txt", "readme.txt"},
      {"the example.abcde end", "abc", nullptr},
      {"EXAMPLE.COM", "EX", nullptr},
      {"plain words only", "words", nullptr},
      {"www.foo", "foo", "www.foo"},
      {"ftp://files.example.net/pub/x.tgz", "pub", "ftp://files.example.net/pub/x.tgz"},
      {"https://a.org/x?y=1.", "y=", "https://a.org/x?y=1"},
      // The nearest scheme at or before the position starts the URL.
      {"http://a.com/http://b.org", "b.org", "http://b.org"},
      {"http://a.com/http://b.org", "a.com", "http://a.com/http://b.org"},
      // Quotes, angle brackets and bytes above 126 end a URL.
      {"<http://q.org/a>", "q.org", "http://q.org/a"},
      {"\"www.q.org\"", "q.org", "www.q.org"},
      {"www.q.org\xE9tail", "q.org", "www.q.org"},
      {"{[www.q.org]}.", "q.org", "www.q.org"},
      {"x (www.q.org/a_(b)) y", "q.org", "www.q.org/a_(b)"},
  };
  for (const auto &c : cases) {
    std::string line = c.line;
    int position = (int)line.find(c.at);
    ASSERT_GE(position, 0) << c.line;
    Buffer out;
    int start = -7, end = -7;
    int result = vesk_extract_url_from_string(out, c.line, position, &start, &end);
    if (!c.url) {
      EXPECT_EQ(result, 0) << c.line;
      EXPECT_EQ(start, -7) << c.line;
      EXPECT_EQ(end, -7) << c.line;
      continue;
    }
    EXPECT_EQ(result, 1) << c.line;
    EXPECT_STREQ(out.text, c.url) << c.line;
    int expected_start = (int)line.find(c.url);
    EXPECT_EQ(start, expected_start) << c.line;
    EXPECT_EQ(end, expected_start + (int)std::strlen(c.url) - 1) << c.line;
  }
}

TEST(UrlFinder, PositionOutsideOrOnNonUrlCharacter)
{
  const char *line = "go www.q.org now";
  Buffer out;
  int start = 0, end = 0;
  EXPECT_EQ(vesk_extract_url_from_string(out, line, -1, &start, &end), 0);
  EXPECT_EQ(vesk_extract_url_from_string(out, line, (int)std::strlen(line), &start, &end), 0);
  EXPECT_EQ(vesk_extract_url_from_string(out, line, 2, &start, &end), 0);  // the space
  EXPECT_EQ(vesk_extract_url_from_string(out, nullptr, 0, &start, &end), 0);
  EXPECT_EQ(out.length, 0);

  // What was copied stays in the Buffer on failure.
  Buffer number;
  EXPECT_EQ(vesk_extract_url_from_string(number, "3.14", 1, &start, &end), 0);
  EXPECT_STREQ(number.text, "3.14");

  // Only the copied text is judged, not what the Buffer held before.
  Buffer prefilled("www.");
  EXPECT_EQ(vesk_extract_url_from_string(prefilled, "3.14", 1, &start, &end), 0);
}
