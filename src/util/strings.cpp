#include "util/strings.h"

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
  if (value)
    *value = (int)std::strtol(text, nullptr, 10);
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
