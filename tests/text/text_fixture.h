// Helpers shared by the text tests: a store with a fixed-width font, and
// reading lines back as text.
#ifndef OMBRITH_TESTS_TEXT_FIXTURE_H
#define OMBRITH_TESTS_TEXT_FIXTURE_H

#include <string>
#include <vector>

#include "text/text_store.h"

// Every printable character `width` pixels wide, lines `height` high.
inline void set_fixed_metrics(vesk_textctrl_store &store, int width, int height)
{
  int widths[256] = {};
  for (int c = 32; c <= 126; ++c)
    widths[c] = width;
  store.set_char_metrics(widths, height);
}

inline std::string line_text(const vesk_textctrl_store &store, int index)
{
  std::string s;
  if (index < 0 || index >= store.line_capacity || !store.lines[index])
    return "<none>";
  for (const vesk_textctrl_chunk *c = store.lines[index]->first; c; c = c->next)
    s += c->text;
  return s;
}

inline std::vector<std::string> all_lines(const vesk_textctrl_store &store)
{
  std::vector<std::string> out;
  for (int i = 0; i <= store.last_line; ++i)
    out.push_back(line_text(store, i));
  return out;
}

inline int rgb_of(const vesk_color &c) { return (c.red << 16) | (c.green << 8) | c.blue; }

// Colour of the character at `offset` in a line, or -1.
inline int colour_at(const vesk_textctrl_store &store, int line, int offset)
{
  if (line < 0 || line > store.last_line || !store.lines[line])
    return -1;
  int index = 0;
  for (const vesk_textctrl_chunk *c = store.lines[line]->first; c; c = c->next) {
    int n = (int)std::string(c->text).size();
    if (offset < index + n)
      return rgb_of(c->color);
    index += n;
  }
  return -1;
}

#endif
