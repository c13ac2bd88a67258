// Transliteration of toolkit text into the client's 8-bit text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "input/transliterate.h"

namespace {

std::string utf8(int cp)
{
  std::string s;
  if (cp < 0x80) {
    s += (char)cp;
  } else if (cp < 0x800) {
    s += (char)(0xC0 | (cp >> 6));
    s += (char)(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += (char)(0xE0 | (cp >> 12));
    s += (char)(0x80 | ((cp >> 6) & 0x3F));
    s += (char)(0x80 | (cp & 0x3F));
  } else {
    s += (char)(0xF0 | (cp >> 18));
    s += (char)(0x80 | ((cp >> 12) & 0x3F));
    s += (char)(0x80 | ((cp >> 6) & 0x3F));
    s += (char)(0x80 | (cp & 0x3F));
  }
  return s;
}

std::string convert(const std::string &bytes)
{
  std::string out;
  utf8_transliterate(bytes.c_str(), out);
  return out;
}

// Values without a replacement, as ranges.
const char *unreplaced = "127,426,450,576-687,693,741-748,751,761-767,792-794,797-798,801-802,810-815,826-828,"
                         "830,836-838,841,845,850,859-861,864-883,886-893,895-899,901-1231,1240-1253,"
                         "1256-8207,8227,8232-8239,8241,8248,8251,8255-8256,8258-8259,8261-8262,8266-8269,"
                         "8272-8273,8276,8279-8281,8283-8355,8357-8363,8365-8481";

bool listed_as_unreplaced(int v)
{
  for (const char *p = unreplaced; *p;) {
    char *end;
    long first = std::strtol(p, &end, 10), last = first;
    if (*end == '-')
      last = std::strtol(end + 1, &end, 10);
    if (v >= first && v <= last)
      return true;
    p = *end == ',' ? end + 1 : end;
  }
  return false;
}

} // namespace

// Every output of the replacement table, through the first and the last
// code point listed for it.
TEST(Transliterate, EveryReplacement)
{
  struct row {
    int first, last;
    const char *output;
  };
  const row rows[] = {
    {128, 8364, "EU"},
    {129, 847, " "},
    {130, 8218, ","},
    {131, 402, "f"},
    {132, 132, ",,"},
    {133, 8230, "..."},
    {134, 8231, "."},
    {136, 785, "^"},
    {137, 8240, "%."},
    {138, 536, "S"},
    {139, 8249, "<"},
    {140, 338, "OE"},
    {142, 548, "Z"},
    {145, 8245, "'"},
    {147, 8278, "\""},
    {149, 8277, "*"},
    {150, 8254, "-"},
    {152, 8275, "~"},
    {153, 8482, "TM"},
    {155, 8250, ">"},
    {156, 339, "oe"},
    {158, 549, "z"},
    {159, 736, "Y"},
    {161, 523, "i"},
    {162, 572, "c"},
    {163, 8356, "L"},
    {164, 164, "$"},
    {165, 165, "YEN"},
    {166, 448, "|"},
    {169, 169, "(C)"},
    {170, 1235, "a"},
    {171, 171, "<<"},
    {172, 451, "!"},
    {174, 174, "(R)"},
    {177, 177, "+-"},
    {178, 178, "^2"},
    {179, 179, "^3"},
    {181, 535, "u"},
    {182, 420, "P"},
    {185, 185, "^1"},
    {187, 187, ">>"},
    {188, 188, "1/4"},
    {189, 189, "1/2"},
    {190, 190, "3/4"},
    {191, 8253, "?"},
    {192, 1234, "A"},
    {196, 196, "Ae"},
    {198, 1236, "AE"},
    {199, 571, "C"},
    {200, 1238, "E"},
    {204, 522, "I"},
    {208, 394, "D"},
    {209, 504, "N"},
    {210, 1254, "O"},
    {214, 214, "Oe"},
    {215, 851, "x"},
    {217, 534, "U"},
    {220, 220, "Ue"},
    {223, 223, "ss"},
    {228, 1237, "ae"},
    {232, 1239, "e"},
    {240, 1255, "o"},
    {241, 565, "n"},
    {247, 8260, "/"},
    {252, 252, "ue"},
    {253, 696, "y"},
    {254, 421, "p"},
    {271, 545, "d"},
    {284, 500, "G"},
    {285, 501, "g"},
    {292, 542, "H"},
    {293, 689, "h"},
    {306, 306, "IJ"},
    {307, 307, "ij"},
    {308, 308, "J"},
    {309, 690, "j"},
    {310, 488, "K"},
    {311, 489, "k"},
    {314, 737, "l"},
    {340, 530, "R"},
    {341, 694, "r"},
    {347, 738, "s"},
    {354, 574, "T"},
    {355, 566, "t"},
    {372, 372, "W"},
    {373, 695, "w"},
    {384, 389, "b"},
    {385, 385, "B"},
    {401, 401, "F"},
    {404, 434, "V"},
    {405, 405, "hj"},
    {411, 411, "la"},
    {412, 412, "m"},
    {415, 415, "O-"},
    {418, 418, "Q"},
    {419, 419, "q"},
    {439, 541, "3"},
    {443, 443, "2"},
    {444, 445, "5"},
    {446, 446, "ts"},
    {447, 447, "v"},
    {449, 8214, "||"},
    {452, 497, "DZ"},
    {453, 498, "Dz"},
    {454, 499, "dz"},
    {455, 455, "LJ"},
    {456, 456, "Lj"},
    {457, 457, "lj"},
    {458, 458, "NJ"},
    {459, 459, "Nj"},
    {460, 460, "nj"},
    {502, 502, "Hu"},
    {510, 510, "O/"},
    {511, 511, "o/"},
    {546, 547, "8"},
    {568, 568, "db"},
    {569, 569, "qp"},
    {702, 855, ")"},
    {703, 849, "("},
    {717, 863, "_"},
    {720, 8282, ":"},
    {726, 799, "+"},
    {749, 8215, "="},
    {776, 8229, ".."},
    {858, 858, "(inf)"},
    {894, 8271, ";"},
    {8252, 8252, "!!"},
    {8263, 8263, "??"},
    {8264, 8264, "?!"},
    {8265, 8265, "!?"},
    {8274, 8274, "%"},
  };
  for (const row &r : rows) {
    EXPECT_EQ(convert(utf8(r.first)), r.output) << r.first;
    EXPECT_EQ(convert(utf8(r.last)), r.output) << r.last;
  }
}

// The values listed without a replacement give their number in brackets, and
// every other value up to 8482 has a replacement.
TEST(Transliterate, NumbersForEverythingElse)
{
  for (int v = 127; v <= 8482; ++v) {
    std::string bracketed = "[" + std::to_string(v) + "]";
    if (listed_as_unreplaced(v))
      EXPECT_EQ(convert(utf8(v)), bracketed);
    else
      EXPECT_NE(convert(utf8(v)), bracketed) << v;
  }
  EXPECT_EQ(convert(utf8(1489)), "[1489]");
  EXPECT_EQ(convert(utf8(8483)), "[8483]");
  EXPECT_EQ(convert(utf8(0x1F600)), "[128512]");
}

TEST(Transliterate, AsciiAndControlCharacters)
{
  struct row {
    int value;
    const char *output;
  };
  const row rows[] = {{9, "\t"}, {10, "\n"}, {13, "\r"}, {17, "-"}, {18, "\""}, {19, "\""}, {20, "'"},
                      {21, "'"}, {1, "."}, {8, "."}, {31, "."}, {32, " "}, {65, "A"}, {126, "~"}};
  for (const row &r : rows)
    EXPECT_EQ(convert(utf8(r.value)), r.output) << r.value;
  EXPECT_EQ(convert("Caf" + utf8(233)), "Cafe");
  EXPECT_EQ(convert(utf8(8220) + "hi" + utf8(8221)), "\"hi\"");
  EXPECT_EQ(convert(""), "");
}

TEST(Transliterate, MalformedBytes)
{
  struct row {
    const char *bytes;
    int first_value;
    int first_length;
    const char *output;
  };
  const row rows[] = {
      {"\xE9x", 9, 1, "\tx"},         // Latin-1 e-acute: a three-byte lead without continuation
      {"\xA9", 0x29, 1, ")"},         // a stray continuation byte
      {"\xFF", '.', 1, "."},          // never valid in UTF-8
      {"\xC3", 3, 1, "."},            // two-byte lead cut off by the end
      {"\xC3x", 3, 1, ".x"},          // two-byte lead followed by ASCII
      {"\xE2\x82", 0x82, 2, ","},     // three-byte form cut short keeps what it gathered
      {"\xF0\x9F\x98", 0x7D8, 3, "[2008]"},
      {"\x80tail", 0, 1, ".tail"},    // decodes as 0 but does not end the text
      {"\xC0\x80tail", 0, 2, ".tail"},
  };
  for (const row &r : rows) {
    int v = -1;
    const char *next = utf8_extract_glyph(r.bytes, &v);
    EXPECT_EQ(v, r.first_value) << r.output;
    EXPECT_EQ(next - r.bytes, r.first_length) << r.output;
    EXPECT_EQ(convert(r.bytes), r.output);
  }
  int v = -1;
  EXPECT_EQ(utf8_extract_glyph("", &v), nullptr);
  EXPECT_EQ(v, 0);
}

TEST(Transliterate, ToolkitStringsAndBuffers)
{
  wxString source = wxString::FromUTF8("\xE2\x82\xAC 5 \xC2\xA9 M\xC3\xBCller");
  EXPECT_EQ(wx_unicode_destroy(source), wxString("EU 5 (C) Mueller"));

  wxString out("> ");
  wx_utf8_buffer_print(source, out);
  EXPECT_EQ(out, wxString("> EU 5 (C) Mueller"));
  wx_utf8_buffer_print(out, out); // the source may be the output
  EXPECT_EQ(out, wxString("> EU 5 (C) Mueller> EU 5 (C) Mueller"));

  Buffer b;
  b.append("x");
  wx_utf8_buffer_print(source, b);
  EXPECT_STREQ(b.text, "xEU 5 (C) Mueller");
  wx_utf8_buffer_print(b.text, b);
  EXPECT_STREQ(b.text, "xEU 5 (C) MuellerxEU 5 (C) Mueller");
}

TEST(Transliterate, BufferKeeps5999Characters)
{
  Buffer b;
  wx_utf8_buffer_print(std::string(7000, 'a').c_str(), b);
  EXPECT_EQ(std::string(b.text), std::string(5999, 'a'));

  // A replacement of several characters is cut at the limit.
  Buffer c;
  c.append(std::string(5997, 'b').c_str());
  wx_utf8_buffer_print((utf8(8230) + "zz").c_str(), c); // "..."
  EXPECT_EQ(std::string(c.text), std::string(5997, 'b') + "..");
}
