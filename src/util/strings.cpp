#include "util/strings.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/debug_log.h"

static inline bool is_white(char c) { return c == ' ' || c == '\t' || c == '\n'; }
static inline bool ends_word(char c) { return c == 0 || is_white(c); }
static inline char fold(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

int is_int(const char *text, int *value)
{
  if (!text)
    return 0;
  bool numeric = (text[0] >= '0' && text[0] <= '9') || (text[0] == '-' && text[1] >= '0' && text[1] <= '9') ||
                 text[0] == '+';
  if (!numeric)
    return 0;
  if (value) {
    // Numbers beyond the range of int are held at its limits rather than wrapped.
    long n = std::strtol(text, nullptr, 10);
    if (n > INT_MAX)
      n = INT_MAX;
    else if (n < INT_MIN)
      n = INT_MIN;
    *value = (int)n;
  }
  return 1;
}

const char *next_arg(const char *text)
{
  if (!text) {
    library_code_notify("Error in next_arg(), NULL pointer passed in.", 0x100, 0);
    return nullptr;
  }
  while (is_white(*text))
    ++text;
  while (!ends_word(*text))
    ++text;
  while (is_white(*text))
    ++text;
  return *text ? text : nullptr;
}

char *next_arg(char *text) { return const_cast<char *>(next_arg(static_cast<const char *>(text))); }

int wordcmp(const char *a, const char *b)
{
  if (!a || !b)
    return 0;
  for (int i = 0; i < 400; ++i) {
    bool ea = ends_word(a[i]), eb = ends_word(b[i]);
    if (ea || eb)
      return ea && eb;
    if (fold(a[i]) != fold(b[i]))
      return 0;
  }
  return 0;
}

int multiword_wordcmp(const char *word, const char *list)
{
  if (!word || !list)
    return 0;
  const char *p = list;
  while (is_white(*p))
    ++p;
  while (p && *p) {
    if (wordcmp(word, p))
      return 1;
    p = next_arg(p);
  }
  return 0;
}

int is_abbrev(const char *abbreviation, const char *word)
{
  if (!abbreviation || !word)
    return 0;
  int n = 0;
  while (!ends_word(abbreviation[n])) {
    if (n >= 399)
      return 0;
    if (fold(abbreviation[n]) != fold(word[n]))
      return 0;
    ++n;
  }
  return n;
}

int is_abbrev(const char *abbreviation, const char *word, int minimum)
{
  int n = is_abbrev(abbreviation, word);
  if (!n)
    return 0;
  if (minimum > 0 && n < minimum && !ends_word(word[n]))
    return 0;
  return n;
}

int safe_strcpy(char *dest, const char *src, int size)
{
  if (!dest) {
    library_code_notify("Error in safe_strcpy(), NULL dest.", 4, 0);
    return 0;
  }
  if (size < 1) {
    library_code_notify("Error in safe_strcpy(), dest too short.", 4, 0);
    return 0;
  }
  if (!src) {
    dest[0] = 0;
    library_code_notify("Error in safe_strcpy(), NULL src.", 4, 0);
    return 0;
  }
  size_t n = std::strlen(src);
  if (n < (size_t)size) {
    std::memcpy(dest, src, n + 1);
    return 1;
  }
  std::memcpy(dest, src, (size_t)size - 1);
  dest[size - 1] = 0;
  Buffer msg;
  msg.append("Error in safe_strcpy(), src overflow. String was: ->");
  msg.append(src);
  msg.append("<-");
  library_code_notify(msg.text, 4, 0);
  return 0;
}

static const char base64_alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64_encode(Buffer &out, const void *data, int count)
{
  if (!data || count < 0)
    return 0;
  const unsigned char *p = static_cast<const unsigned char *>(data);
  for (int i = 0; i < count; i += 3) {
    int left = count - i;
    uint32_t group = (uint32_t)p[i] << 16;
    if (left > 1)
      group |= (uint32_t)p[i + 1] << 8;
    if (left > 2)
      group |= p[i + 2];
    out.append_char(base64_alphabet[(group >> 18) & 63]);
    out.append_char(base64_alphabet[(group >> 12) & 63]);
    out.append_char(left > 1 ? base64_alphabet[(group >> 6) & 63] : '=');
    out.append_char(left > 2 ? base64_alphabet[group & 63] : '=');
  }
  // Characters stop at 5999; reaching that many means the output may be cut.
  return out.length < Buffer::capacity - 1 ? 1 : 0;
}

int base64_encode(Buffer &out, const char *text)
{
  if (!text)
    return 0;
  return base64_encode(out, text, (int)std::strlen(text));
}

// ---------------------------------------------------------------------------
// URL finder

static bool is_url_char(char ch)
{
  unsigned char c = (unsigned char)ch;
  if (c <= 0x20 || c > 0x7E)
    return false;
  switch (c) {
  case '!':
  case '"':
  case '\'':
  case '*':
  case '<':
  case '>':
  case '`':
    return false;
  default:
    return true;
  }
}

static bool begins_with_scheme(const char *s)
{
  return std::strncmp(s, "http://", 7) == 0 || std::strncmp(s, "https://", 8) == 0 ||
         std::strncmp(s, "ftp://", 6) == 0;
}

static bool is_lower_letter(char c) { return c >= 'a' && c <= 'z'; }
static bool is_digit_1_9(char c) { return c >= '1' && c <= '9'; }
static bool is_digit(char c) { return c >= '0' && c <= '9'; }

// True if the '.' at s[0] starts a plausible top-level domain: two to four
// lower-case letters, then the end, a '/', or a ':' with a port number
// (first digit 1-9) that runs to the end or a '/'.
static bool dot_ends_host(const char *s)
{
  int letters = 0;
  const char *q = s + 1;
  while (is_lower_letter(*q) && letters < 5) {
    ++letters;
    ++q;
  }
  if (letters < 2 || letters > 4)
    return false;
  if (*q == 0 || *q == '/')
    return true;
  if (*q != ':' || !is_digit_1_9(q[1]))
    return false;
  q += 2;
  while (is_digit(*q))
    ++q;
  return *q == 0 || *q == '/';
}

// A text without a scheme or "www." is a link only if it looks like a host name.
static bool looks_like_host(const char *s)
{
  for (const char *q = s; *q; ++q) {
    if (q[0] == '.' && q[1] == '.')
      return false;
    if (q[0] == ':' && !is_digit_1_9(q[1]))
      return false;
  }
  for (const char *q = std::strchr(s, '.'); q; q = std::strchr(q + 1, '.')) {
    if (dot_ends_host(q))
      return true;
  }
  return false;
}

int vesk_extract_url_from_string(Buffer &out, const char *line, int position, int *start_out, int *end_out)
{
  if (!line || position < 0)
    return 0;
  int length = (int)std::strlen(line);
  if (position >= length || !is_url_char(line[position]))
    return 0;

  // Start: back over URL characters; the nearest scheme at or before the
  // position wins.
  int start = position;
  for (;;) {
    if (begins_with_scheme(line + start))
      break;
    if (start == 0 || !is_url_char(line[start - 1]))
      break;
    --start;
  }

  // End: the last URL character of the run.
  int end = position;
  while (is_url_char(line[end + 1]))
    ++end;

  // Drop punctuation in front, remembering the brackets that were opened.
  int parens = 0, squares = 0, braces = 0;
  while (start < end) {
    char c = line[start];
    if (c == '(')
      ++parens;
    else if (c == ')')
      --parens;
    else if (c == '[')
      ++squares;
    else if (c == ']')
      --squares;
    else if (c == '{')
      ++braces;
    else if (c == '}')
      --braces;
    else if (c != ',' && c != '.' && c != '?')
      break;
    ++start;
  }

  // Drop trailing punctuation and closing brackets that balance the dropped
  // opening ones; a bracket that belongs to the URL stays.
  if (parens < 0)
    parens = 0;
  if (squares < 0)
    squares = 0;
  if (braces < 0)
    braces = 0;
  while (end > start) {
    char c = line[end];
    if (c == ',' || c == '.' || c == '?') {
      --end;
    } else if (c == ')' && parens > 0) {
      --parens;
      --end;
    } else if (c == ']' && squares > 0) {
      --squares;
      --end;
    } else if (c == '}' && braces > 0) {
      --braces;
      --end;
    } else {
      break;
    }
  }

  if (position < start || position > end)
    return 0;

  bool has_scheme = begins_with_scheme(line + start);
  if (!has_scheme) {
    // Mail addresses are not links.
    for (int i = start; i < end; ++i) {
      if (line[i] == '@')
        return 0;
    }
  }

  // Judge only what this call copies, whatever the Buffer held before.
  int base = out.length < Buffer::capacity - 1 ? out.length : Buffer::capacity - 1;
  const char *copied = out.text + base;
  int dots = 0;
  for (int i = start; i <= end; ++i) {
    if (out.length >= Buffer::capacity - 1)
      break;
    out.append_char(line[i]);
    if (line[i] == '.')
      ++dots;
  }
  if (!dots)
    return 0;

  if (!begins_with_scheme(copied) && std::strncmp(copied, "www.", 4) != 0 && !looks_like_host(copied))
    return 0;

  if (start_out)
    *start_out = start;
  if (end_out)
    *end_out = end;
  return 1;
}
