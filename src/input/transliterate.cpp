#include "input/transliterate.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Replacements by output, with the code points (and inclusive ranges) that
// give it. Values 128-159 are those the Windows-1252 code page puts there.
struct replacement_row {
  const char *output;
  const char *codes;
};

const replacement_row replacement_rows[] = {
    {"EU", "128,8364"},
    {" ", "129,141,143-144,157,160,173,847"},
    {",", "130,184,718-719,731,790-791,796,806-809,825,885,8218"},
    {"f", "131,383,402"},
    {",,", "132"},
    {"...", "133,8230"},
    {".", "134-135,176,183,186,716,775,803,805,846,8224-8225,8228,8231"},
    {"^", "136,708-711,728,752,770,774,780,784-785"},
    {"%.", "137,8240"},
    {"S", "138,154,167,346,348,350,352,423,536"},
    {"<", "139,706,753,852,8249"},
    {"OE", "140,338"},
    {"Z", "142,377,379,381,437,548"},
    {"'", "145-146,180,697,699-701,712,714-715,756,768-769,781,786-789,795,832-833,835,884,900,8216-8217,8219,8242,8245"},
    {"\"", "147-148,698,733,750,757-758,779,782-783,840,8220-8223,8243-8244,8246-8247,8278"},
    {"*", "149,721,724-725,729-730,755,778,829,856-857,8226,8270,8277"},
    {"-", "150-151,168,175,713,727,772-773,821-822,862,8208-8213,8254"},
    {"~", "152,732,734,759,771,816,820,834,842-844,8275"},
    {"TM", "153,8482"},
    {">", "155,707,754,848,853-854,8250"},
    {"oe", "156,246,339"},
    {"z", "158,378,380,382,438,549"},
    {"Y", "159,221,374,376,435,503,562,736"},
    {"i", "161,236-239,297,299,301,303,305,464,521,523"},
    {"c", "162,231,263,265,267,269,392,572"},
    {"L", "163,313,315,317,319,321,573,8356"},
    {"$", "164"},
    {"YEN", "165"},
    {"|", "166,448"},
    {"(C)", "169"},
    {"a", "170,224-227,229,257,259,261,462,479,481,507,513,515,551,1233,1235"},
    {"<<", "171"},
    {"!", "172,451"},
    {"(R)", "174"},
    {"+-", "177"},
    {"^2", "178"},
    {"^3", "179"},
    {"u", "181,249-251,361,363,365,367,369,371,432,468,470,472,474,476,533,535"},
    {"P", "182,222,420"},
    {"^1", "185"},
    {">>", "187"},
    {"1/4", "188"},
    {"1/2", "189"},
    {"3/4", "190"},
    {"?", "191,704-705,740,8253"},
    {"A", "192-195,197,256,258,260,461,478,480,506,512,514,550,570,1232,1234"},
    {"Ae", "196"},
    {"AE", "198,482,508,1236"},
    {"C", "199,262,264,266,268,390-391,571"},
    {"E", "200-203,274,276,278,280,282,398,425,516,518,552,1238"},
    {"I", "204-207,296,298,300,302,304,407,463,520,522"},
    {"D", "208,270,272,393-394"},
    {"N", "209,323,325,327,330,413,504"},
    {"O", "210-213,216,332,334,336,416,465,490,492,524,526,554,556,558,560,1254"},
    {"Oe", "214"},
    {"x", "215,735,739,851"},
    {"U", "217-219,360,362,364,366,368,370,431,433,467,469,471,473,475,532,534"},
    {"Ue", "220"},
    {"ss", "223"},
    {"ae", "228,230,483,509,1237"},
    {"e", "232-235,275,277,279,281,283,399-400,477,517,519,553,1239"},
    {"o", "240,242-245,248,333,335,337,417,466,491,493,525,527,555,557,559,561,1255"},
    {"n", "241,324,326,328-329,331,414,505,544,565"},
    {"/", "247,823-824,8257,8260"},
    {"ue", "252"},
    {"y", "253,255,375,436,563,696"},
    {"p", "254,421"},
    {"d", "271,273,395-396,545"},
    {"G", "284,286,288,290,403,484,486,500"},
    {"g", "285,287,289,291,397,485,487,501"},
    {"H", "292,294,542"},
    {"h", "293,295,543,688-689"},
    {"IJ", "306"},
    {"ij", "307"},
    {"J", "308"},
    {"j", "309,496,567,690"},
    {"K", "310,312,408,488"},
    {"k", "311,409,489"},
    {"l", "314,316,318,320,322,406,410,564,737"},
    {"R", "340,342,344,422,528,530"},
    {"r", "341,343,345,529,531,691-692,694"},
    {"s", "347,349,351,353,424,537,575,738"},
    {"T", "354,356,358,428,430,538,574"},
    {"t", "355,357,359,427,429,539,566"},
    {"W", "372"},
    {"w", "373,695"},
    {"b", "384,386-389"},
    {"B", "385"},
    {"F", "401"},
    {"V", "404,434"},
    {"hj", "405"},
    {"la", "411"},
    {"m", "412"},
    {"O-", "415"},
    {"Q", "418"},
    {"q", "419"},
    {"3", "439-442,494-495,540-541"},
    {"2", "443"},
    {"5", "444-445"},
    {"ts", "446"},
    {"v", "447"},
    {"||", "449,8214"},
    {"DZ", "452,497"},
    {"Dz", "453,498"},
    {"dz", "454,499"},
    {"LJ", "455"},
    {"Lj", "456"},
    {"lj", "457"},
    {"NJ", "458"},
    {"Nj", "459"},
    {"nj", "460"},
    {"Hu", "502"},
    {"O/", "510"},
    {"o/", "511"},
    {"8", "546-547"},
    {"db", "568"},
    {"qp", "569"},
    {")", "702,722,777,855"},
    {"(", "703,723,849"},
    {"_", "717,800,817-818,863"},
    {":", "720,760,8282"},
    {"+", "726,799"},
    {"=", "749,819,831,839,8215"},
    {"..", "776,804,8229"},
    {"(inf)", "858"},
    {";", "894,8271"},
    {"!!", "8252"},
    {"??", "8263"},
    {"?!", "8264"},
    {"!?", "8265"},
    {"%", "8274"},
};

const int highest_replaced = 8482;

// Index into replacement_rows (plus one) for every value up to
// highest_replaced; 0 where there is no replacement.
class replacement_table {
public:
  replacement_table() : index_(highest_replaced + 1, 0)
  {
    int row = 0;
    for (const replacement_row &r : replacement_rows) {
      ++row;
      const char *p = r.codes;
      while (*p) {
        char *end;
        long first = std::strtol(p, &end, 10);
        long last = first;
        if (*end == '-')
          last = std::strtol(end + 1, &end, 10);
        for (long v = first; v <= last && v <= highest_replaced; ++v)
          index_[v] = (unsigned char)row;
        p = *end == ',' ? end + 1 : end;
      }
    }
  }

  const char *lookup(int value) const
  {
    if (value < 0 || value > highest_replaced || !index_[value])
      return nullptr;
    return replacement_rows[index_[value] - 1].output;
  }

private:
  std::vector<unsigned char> index_;
};

const replacement_table &table()
{
  static const replacement_table t;
  return t;
}

inline bool is_continuation(unsigned char b) { return b >= 128 && b <= 191; }

} // namespace

const char *utf8_extract_glyph(const char *text, int *value)
{
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
  unsigned char b = *p;
  int v = 0;
  if (b == 0) {
    if (value)
      *value = 0;
    return nullptr;
  }
  ++p;
  if (b < 128) {
    v = b;
  } else if (b < 192) {
    v = b & 0x3F;
  } else if (b < 224) {
    v = b & 0x1F;
    if (is_continuation(*p))
      v = v * 64 + (*p++ & 0x3F);
  } else if (b < 248) {
    int more = b < 240 ? 2 : 3;
    v = b < 240 ? (b & 0x0F) : (b & 0x07);
    for (int i = 0; i < more && is_continuation(*p); ++i)
      v = (v << 6) + (*p++ & 0x3F);
  } else {
    v = '.';
  }
  if (value)
    *value = v;
  return reinterpret_cast<const char *>(p);
}

void utf8_transliterate_value(int v, std::string &output)
{
  if (v >= 32 && v <= 126) {
    output += (char)v;
    return;
  }
  if (v < 32) {
    switch (v) {
    case 9:
    case 10:
    case 13:
      output += (char)v;
      return;
    case 17:
      output += '-';
      return;
    case 18:
    case 19:
      output += '"';
      return;
    case 20:
    case 21:
      output += '\'';
      return;
    default:
      // Control characters, and the zero that malformed bytes can decode to.
      output += '.';
      return;
    }
  }
  if (const char *r = table().lookup(v)) {
    output += r;
    return;
  }
  char number[24];
  std::snprintf(number, sizeof(number), "[%d]", v);
  output += number;
}

void utf8_transliterate(const char *utf8, std::string &output)
{
  if (!utf8)
    return;
  int v;
  // A decoded zero only comes from malformed bytes (a stray 0x80, or a lead
  // byte such as 0xC0 without its continuation); it is shown as '.' rather
  // than ending the text, so that nothing after it is lost.
  for (const char *p = utf8_extract_glyph(utf8, &v); p; p = utf8_extract_glyph(p, &v))
    utf8_transliterate_value(v, output);
}

void wx_utf8_buffer_print(const wxString &source, wxString &output)
{
  std::string converted;
  utf8_transliterate(source.utf8_str().data(), converted);
  output += wxString::FromAscii(converted.c_str());
}

void wx_utf8_buffer_print(const char *utf8, Buffer &output)
{
  // The whole source is converted before anything is appended, so the
  // source may be the buffer's own text.
  std::string converted;
  utf8_transliterate(utf8, converted);
  output.append(converted.c_str());
}

void wx_utf8_buffer_print(const wxString &source, Buffer &output)
{
  wx_utf8_buffer_print(source.utf8_str().data(), output);
}

wxString wx_unicode_destroy(const wxString &source)
{
  wxString result;
  wx_utf8_buffer_print(source, result);
  return result;
}
