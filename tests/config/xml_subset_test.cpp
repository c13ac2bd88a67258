#include <gtest/gtest.h>

#include <string>

#include "app/debug_log.h"
#include "config/xml_subset.h"
#include "test_support.h"

namespace {

// Collects the output in a string; can be told to refuse writes after a
// number of calls, like a full disk.
class string_writer : public vesk_xml_writer {
public:
  int internal_print_function(const char *text) override
  {
    if (fail_after >= 0 && calls++ >= fail_after)
      return 0;
    out += text;
    return (int)std::string(text).size();
  }
  std::string out;
  int fail_after = -1;
  int calls = 0;
};

struct text_holder {
  std::string text;
};

// Reads from its own copy of a text.
struct string_reader : private text_holder, public vesk_xml_memory_reader {
  explicit string_reader(const std::string &source)
      : text_holder{source}, vesk_xml_memory_reader(text.data(), text.size())
  {
  }
};

bool contains(const std::string &haystack, const std::string &needle)
{
  return haystack.find(needle) != std::string::npos;
}

} // namespace

TEST(XmlSubset, NestedValueElementIsWrittenEscapedAndReadBack)
{
  string_writer w;
  w.start_tag("a", 1);
  w.write_value("b", "x<y&z");
  w.end_tag("a", 1);
  EXPECT_EQ(w.out, "<a>\n  <b>x&lt;y&amp;z</b>\n</a>\n");

  string_reader r(w.out);
  char tag[100], data[100];
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_STREQ(tag, "a");
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_STREQ(tag, "b");
  ASSERT_EQ(r.read_data(data, sizeof(data)), 1);
  EXPECT_STREQ(data, "x<y&z");
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 0);
  EXPECT_EQ(r.stack_depth(), 0);
}

TEST(XmlSubset, UnknownEntityStaysWithWarning)
{
  log_capture log(1);
  string_reader r("<q>say &quot;hi&quot;</q>");
  char tag[100], data[100];
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  ASSERT_EQ(r.read_data(data, sizeof(data)), 1);
  EXPECT_STREQ(data, "say &quot;hi&quot;");
  EXPECT_TRUE(contains(log.text(), "Warning in vesk_xml_reader::compact_string(), unknown '&' conversion found?"));
}

TEST(XmlSubset, LongTextIsCutToTheDestination)
{
  std::string text(150, 'k');
  string_reader r("<t>" + text + "</t><next>");
  char tag[100], data[100];
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  ASSERT_EQ(r.read_data(data, sizeof(data)), 1);
  EXPECT_EQ(std::string(data), text.substr(0, 99));
  EXPECT_EQ(r.stack_depth(), 0);
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_STREQ(tag, "next");
}

TEST(XmlSubset, ReadIntegerData)
{
  struct {
    const char *text;
    int result;
    int value;
  } cases[] = {
      {"-7", 1, -7},         {"12abc", 1, 12},          {"+x", 1, 0},
      {"abc", 0, 555},       {"99999999999", 1, 2147483647}, {"-99999999999", 1, -2147483647 - 1},
  };
  for (const auto &c : cases) {
    log_capture log(1);
    string_reader r(std::string("<list><n>") + c.text + "</n></list>");
    char tag[100];
    ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
    ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
    int value = 555;
    EXPECT_EQ(r.read_data(&value), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    // The closing tag was consumed either way: the next read closes the list.
    EXPECT_EQ(r.stack_depth(), 1) << c.text;
    EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 0);
    EXPECT_EQ(r.stack_depth(), 0);
    if (!c.result) {
      EXPECT_TRUE(contains(log.text(), "Warning in vesk_xml_reader::read_data(int) - got non-number'abc'."));
    }
  }
}

TEST(XmlSubset, HeaderCheck)
{
  const char *prefix = "Warning in vesk_xml_reader::check_xml_header_string(), ";
  struct {
    const char *line;
    int result;
    const char *message;
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 1, nullptr},
      {"<?xml encoding = \"latin1\" version=\"1.0\" ?>", 1, nullptr},
      {"<?xml version=\"1.0\"?>", 0, "didn't get encoding."},
      {"<?xml encoding=\"x\"?>", 0, "didn't get version."},
      {"<?xml ?>", 0, "didn't get either version or encoding."},
      {"<xml version=\"1.0\"?>", 0, "missing opening '<?xml' tag."},
      {"<?xml standalone=\"yes\"?>", 0, "unknown tag found."},
      {"<?xml version:\"1.0\"?>", 0, "'version' tag found, but no version."},
      {"<?xml encoding=latin1?>", 0, "'encoding' tag found, but no opening encoding quote."},
      {"<?xml version=\"1.0", 0, "'version' tag found, but no closing version quote."},
      {"", 0, "missing opening '<?xml' tag."},
  };
  for (const auto &c : cases) {
    log_capture log(1);
    string_reader r("");
    EXPECT_EQ(r.check_xml_header_string(c.line), c.result) << c.line;
    if (c.message) {
      EXPECT_TRUE(contains(log.text(), std::string(prefix) + c.message)) << c.line << "\n" << log.text();
    }
  }
}

TEST(XmlSubset, CdataIsHexCodedAndReadBack)
{
  unsigned char bytes[33];
  for (int i = 0; i < 33; ++i)
    bytes[i] = (unsigned char)(i * 7 + 1);
  string_writer w;
  w.start_tag("blob", 1);
  w.write_cdata(bytes, 33);
  w.end_tag("blob", 1);
  std::string expected_hex;
  for (unsigned char b : bytes) {
    char two[3];
    snprintf(two, sizeof(two), "%02x", b);
    expected_hex += two;
  }
  EXPECT_EQ(w.out, "<blob>\n<![CDATA[\n" + expected_hex.substr(0, 64) + "\n" + expected_hex.substr(64) +
                       "\n]]>\n</blob>\n");

  struct {
    int area;
    int decoded;
  } sizes[] = {{64, 33}, {33, 33}, {10, 10}};
  for (const auto &s : sizes) {
    string_reader r(w.out + "<after>");
    char tag[100];
    unsigned char area[64] = {0};
    ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
    EXPECT_EQ(r.read_cdata(area, s.area), s.decoded);
    EXPECT_EQ(0, memcmp(area, bytes, (size_t)s.decoded));
    EXPECT_EQ(r.stack_depth(), 0);
    EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 1);
    EXPECT_STREQ(tag, "after");
  }

  // Upper-case digits and a section without its "]]>" end.
  string_reader r("<b><![CDATA[ AB 0c </b><after>");
  char tag[100];
  unsigned char area[16];
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_EQ(r.read_cdata(area, sizeof(area)), 2);
  EXPECT_EQ(area[0], 0xAB);
  EXPECT_EQ(area[1], 0x0C);
  EXPECT_EQ(r.stack_depth(), 0);
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 1);
}

TEST(XmlSubset, SkipDataLeavesTheStackAsBeforeTheElement)
{
  string_reader r("<root><skip><x>1</x><y><z>deep</z></y><!-- note --></skip><keep>v</keep></root>");
  char tag[100], data[100];
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_STREQ(tag, "skip");
  r.skip_data();
  EXPECT_EQ(r.stack_depth(), 1);
  EXPECT_STREQ(r.stack_top(), "root");
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_STREQ(tag, "keep");
  ASSERT_EQ(r.read_data(data, sizeof(data)), 1);
  EXPECT_STREQ(data, "v");
}

TEST(XmlSubset, WriterTagChecks)
{
  log_capture log(1);
  string_writer w;
  w.end_tag(nullptr, 1);
  EXPECT_EQ(w.out, "</_BOGUS_ENDING_TAG_>\n");
  w.out.clear();
  w.start_tag("open", 1);
  w.end_tag("other", 1);
  EXPECT_EQ(w.out, "<open>\n</open>\n");
  w.out.clear();
  w.write_isolated_tag("empty", "k=\"v\"");
  EXPECT_EQ(w.out, "<empty k=\"v\" />\n");
  std::string text = log.text();
  EXPECT_TRUE(contains(text, "Error in vesk_xml_writer::end_tag(), tag stack empty."));
  EXPECT_TRUE(contains(text, "Warning in vesk_xml_writer::end_tag(), tried to close wrong tag."));
}

TEST(XmlSubset, StrayAndMismatchedClosingTagsAreHarmless)
{
  log_capture log(1);
  string_reader r("</nothing><a></b><c>");
  char tag[100];
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 0);
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 0);  // closes "a" with a warning
  EXPECT_EQ(r.stack_depth(), 0);
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_TRUE(contains(log.text(), "popped tag 'b' did not match expected tag 'a'."));
}

// Text the reader cannot take raw (tab, newline, bytes from 127 up) is
// written as numeric references and comes back unchanged; control
// characters XML cannot carry at all become "?".
TEST(XmlSubset, UnreadableBytesSurviveARoundTrip)
{
  const std::string value = "tab\there\nnew \xe9t\xe9 \x7f del & \r";
  string_writer w;
  w.start_tag("list", 1);
  w.write_value("v", value.c_str());
  w.write_value("c", "bell\x07");
  w.write_value("after", 42);
  w.end_tag("list", 1);
  EXPECT_TRUE(contains(w.out, "<v>tab&#9;here&#10;new &#233;t&#233; &#127; del &amp; &#13;</v>"));
  EXPECT_TRUE(contains(w.out, "<c>bell?</c>"));

  string_reader r(w.out);
  char tag[100], data[100];
  int after = 0;
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  ASSERT_EQ(r.read_data(data, sizeof(data)), 1);
  EXPECT_EQ(std::string(data), value);
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  ASSERT_EQ(r.read_data(data, sizeof(data)), 1);
  EXPECT_STREQ(data, "bell?");
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  ASSERT_EQ(r.read_data(&after), 1);
  EXPECT_EQ(after, 42);
}

// Raw text the reader cannot take fails; reading goes on with the next
// element, and the element left open is closed by its parent's closing tag.
TEST(XmlSubset, RawUnreadableTextFailsAndReadingGoesOn)
{
  log_capture log(1);
  string_reader r("<list><v>a\tb</v><after>1</after></list><next>");
  char tag[100], data[100];
  int after = 0;
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_EQ(r.read_data(data, sizeof(data)), 0);
  ASSERT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_STREQ(tag, "after");
  EXPECT_EQ(r.read_data(&after), 1);
  EXPECT_EQ(after, 1);
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 0);
  EXPECT_EQ(r.stack_depth(), 1);
  EXPECT_EQ(r.read_tag(tag, sizeof(tag)), 1);
  EXPECT_STREQ(tag, "next");
}

TEST(XmlSubset, WriterRemembersARefusedWrite)
{
  string_writer w;
  w.fail_after = 5;
  w.start_tag("a", 1);
  w.write_value("b", "1");
  EXPECT_FALSE(w.write_failed());
  w.write_value("c", "2");
  w.end_tag("a", 1);
  EXPECT_TRUE(w.write_failed());
}
