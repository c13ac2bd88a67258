#include "text/text_store.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/debug_log.h"
#include "util/strings.h"

vesk_memory_pool<vesk_textctrl_chunk> vesk_textctrl_chunk_pool("class vesk_textctrl_chunk", 262144);
vesk_memory_pool<vesk_textctrl_line> vesk_textctrl_line_pool("class vesk_textctrl_line", 262144);

const vesk_color selected_background_color(64, 64, 64);

// Sixteen bytes per row, 0x80 to 0xFF.
const char eascii_lookup_table[129] = "E 'f\"-tt^%S<O Z "
                                      " ''\"\"*--~ s>o zY"
                                      " !cLoY|S-Ca<!-R-"
                                      "ox23'uP..1o>   ?"
                                      "AAAAAAACEEEEIIII"
                                      "DNOOOOOxOUUUUYPS"
                                      "aaaaaaaceeeeiiii"
                                      "onooooo/ouuuuypy";

namespace {

vesk_textctrl_chunk *chunk_take(const vesk_color &colour, char *text, int width)
{
  vesk_textctrl_chunk *c = vesk_textctrl_chunk_pool.take_raw();
  c->color = colour;
  c->text = text;
  c->next = nullptr;
  c->width = width;
  return c;
}

// The text stays in its arena until the arena is reset.
void chunk_release(vesk_textctrl_chunk *c)
{
  c->text = nullptr;
  vesk_textctrl_chunk_pool.give_back(c);
}

void chunk_list_release(vesk_textctrl_chunk *c)
{
  while (c) {
    vesk_textctrl_chunk *next = c->next;
    chunk_release(c);
    c = next;
  }
}

// Floor division for a positive divisor.
int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

vesk_textctrl_store::vesk_textctrl_store()
    : line_height(0), raw_first(nullptr), raw_tail(&raw_first), lines(nullptr), line_capacity(0), last_line(0),
      column(0), at_start(1), wrap_enabled(1), last_width(-1), text_color(255, 255, 255), view_width(20),
      view_height(20), top_anchored(0), bottom_line(0), scroll_hold(0), background_color(0, 0, 0),
      resting_background(0, 0, 0), selection_active(0), sel_start_line(0), sel_start_offset(0), sel_end_line(0),
      sel_end_offset(0), anchor_line(0), anchor_offset(0), cursor_line(0), cursor_offset(0), mouse_captured(0),
      url_latch(0), drag_scroll_speed(0), flash_list(nullptr)
{
  std::memset(char_width, 0, sizeof(char_width));
  lines = static_cast<vesk_textctrl_line **>(std::calloc(line_block, sizeof(vesk_textctrl_line *)));
  if (!lines) {
    library_code_notify("Error in vesk_textctrl, out of memory for the line array.", NOTIFY_ALLOC, 0);
    std::abort();
  }
  line_capacity = line_block;
  get_or_create_line(0);
}

vesk_textctrl_store::~vesk_textctrl_store()
{
  empty_lines();
  release_raw_chunks();
  for (int i = 0; i < line_capacity; ++i)
    if (lines[i])
      vesk_textctrl_line_pool.give_back(lines[i]);
  std::free(lines);
  free_flash_list();
}

int vesk_textctrl_store::chunk_text_width(const char *text, int length) const
{
  int w = 0;
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
  for (int i = 0; i < length; ++i)
    w += char_width[p[i]];
  return w;
}

void vesk_textctrl_store::SetTextColor(const vesk_color &foreground, const vesk_color &background)
{
  text_color = foreground;
  background_color = background;
  resting_background = background;
}

void vesk_textctrl_store::AppendRawText(const char *text)
{
  if (!text)
    return;
  if (at_start) {
    while (*text == '\n')
      ++text;
    at_start = 0;
  }
  if (!*text)
    return;

  std::lock_guard<std::mutex> lock(store_mutex);
  char run[max_run + 1];
  int n = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
    unsigned char c = *p;
    if (c >= 128) {
      if (n < max_run)
        run[n++] = eascii_lookup_table[c - 128];
      ++column;
    } else if (c == '\t') {
      int next = (column / 8 + 1) * 8;
      while (column < next) {
        if (n < max_run)
          run[n++] = ' ';
        ++column;
      }
    } else if (c == '\n' || c == '\r') {
      if (n < max_run)
        run[n++] = (char)c;
      column = 0;
    } else {
      if (n < max_run)
        run[n++] = (char)c;
      ++column;
    }
  }

  vesk_textctrl_chunk *raw = chunk_take(text_color, raw_arena.copy(run, n), 0);
  *raw_tail = raw;
  raw_tail = &raw->next;
  add_chunk_line_array(raw);
}

vesk_textctrl_line *vesk_textctrl_store::get_or_create_line(int index)
{
  if (index < 0)
    return nullptr;
  if (index >= line_capacity) {
    int new_capacity = line_capacity;
    while (index >= new_capacity)
      new_capacity += line_block;
    auto **grown =
        static_cast<vesk_textctrl_line **>(std::realloc(lines, (size_t)new_capacity * sizeof(vesk_textctrl_line *)));
    if (!grown) {
      library_code_notify("Error in vesk_textctrl, out of memory for the line array.", NOTIFY_ALLOC, 0);
      std::abort();
    }
    std::memset(grown + line_capacity, 0, (size_t)(new_capacity - line_capacity) * sizeof(vesk_textctrl_line *));
    lines = grown;
    line_capacity = new_capacity;
  }
  vesk_textctrl_line *line = lines[index];
  if (!line) {
    line = vesk_textctrl_line_pool.take_raw();
    line->first = nullptr;
    line->tail = &line->first;
    line->ends_with_newline = 0;
    lines[index] = line;
  }
  return line;
}

void vesk_textctrl_store::add_chunk_line_array(const vesk_textctrl_chunk *raw)
{
  const char *p = raw->text;
  for (;;) {
    const char *nl = std::strchr(p, '\n');
    int length = nl ? (int)(nl - p) : (int)std::strlen(p);
    // Empty pieces add nothing visible; only their newline counts.
    if (length > 0)
      add_chunk_line(p, length, raw);
    if (!nl)
      break;
    get_or_create_line(last_line)->ends_with_newline = 1;
    ++last_line;
    get_or_create_line(last_line);
    if (!scroll_hold && !top_anchored)
      bottom_line = last_line;
    p = nl + 1;
  }
}

void vesk_textctrl_store::add_chunk_line(const char *text, int length, const vesk_textctrl_chunk *colour)
{
  vesk_textctrl_line *line = get_or_create_line(last_line);
  int old_width = 0;
  for (vesk_textctrl_chunk *c = line->first; c; c = c->next)
    old_width += c->width;
  int width = chunk_text_width(text, length);
  vesk_textctrl_chunk *chunk = chunk_take(colour->color, line_arena.copy(text, length), width);
  *line->tail = chunk;
  line->tail = &chunk->next;
  if (wrap_enabled && old_width + width >= view_width)
    break_and_advance_line(line);
}

void vesk_textctrl_store::break_and_advance_line(vesk_textctrl_line *line)
{
  const int W = view_width;
  while (line) {
    // Find the byte that makes the line reach W, remembering the position
    // just after the most recent space or tab before it.
    int sum = 0;
    int index = 0;
    vesk_textctrl_chunk *hit_chunk = nullptr, *space_chunk = nullptr;
    int hit_offset = 0, space_offset = 0;
    bool have_space = false;
    for (vesk_textctrl_chunk *c = line->first; c && !hit_chunk; c = c->next) {
      const unsigned char *t = reinterpret_cast<const unsigned char *>(c->text);
      for (int i = 0; t[i]; ++i, ++index) {
        sum += char_width[t[i]];
        if (sum >= W) {
          hit_chunk = c;
          hit_offset = i;
          break;
        }
        if (t[i] == ' ' || t[i] == '\t') {
          have_space = true;
          space_chunk = c;
          space_offset = i + 1;
        }
      }
    }
    if (!hit_chunk)
      return;  // narrower than the window
    if (!have_space && index == 0)
      return;  // the first byte alone fills the width: nothing to cut

    vesk_textctrl_chunk *cut_chunk = have_space ? space_chunk : hit_chunk;
    int cut_offset = have_space ? space_offset : hit_offset;
    int cut_length = (int)std::strlen(cut_chunk->text);

    // The upper line ends with `keep`; `moved` and its followers go down.
    vesk_textctrl_chunk *keep, *moved;
    if (cut_offset >= cut_length) {
      keep = cut_chunk;
      moved = cut_chunk->next;
    } else if (cut_offset == 0) {
      keep = nullptr;
      for (vesk_textctrl_chunk *c = line->first; c != cut_chunk; c = c->next)
        keep = c;
      moved = cut_chunk;
    } else {
      const char *rest = cut_chunk->text + cut_offset;
      int rest_length = cut_length - cut_offset;
      moved = chunk_take(cut_chunk->color, line_arena.copy(rest, rest_length), chunk_text_width(rest, rest_length));
      moved->next = cut_chunk->next;
      cut_chunk->text[cut_offset] = 0;
      cut_chunk->width = chunk_text_width(cut_chunk->text, cut_offset);
      keep = cut_chunk;
    }
    if (!keep) {
      VESK_LOG(2, "Error in vesk_textctrl::calc_break_position(), broken chunk not in list?\n");
      return;
    }
    keep->next = nullptr;
    line->tail = &keep->next;

    ++last_line;
    if (!scroll_hold && !top_anchored)
      bottom_line = last_line;
    vesk_textctrl_line *next_line = get_or_create_line(last_line);
    if (next_line->first) {
      VESK_LOG(2, "Error in vesk_textctrl::calc_break_position(), next line has stuff in it?\n");
      chunk_list_release(next_line->first);
    }
    next_line->first = moved;
    next_line->tail = &next_line->first;
    next_line->ends_with_newline = 0;
    int next_width = 0;
    for (vesk_textctrl_chunk *c = moved; c; c = c->next) {
      next_width += c->width;
      next_line->tail = &c->next;
    }
    line = next_width >= W ? next_line : nullptr;
  }
}

void vesk_textctrl_store::empty_lines()
{
  // Chunks only ever go to the line being filled, so nothing lies beyond it.
  for (int i = 0; i <= last_line && i < line_capacity; ++i) {
    vesk_textctrl_line *line = lines[i];
    if (!line)
      continue;
    chunk_list_release(line->first);
    line->first = nullptr;
    line->tail = &line->first;
    line->ends_with_newline = 0;
  }
}

void vesk_textctrl_store::release_raw_chunks()
{
  chunk_list_release(raw_first);
  raw_first = nullptr;
  raw_tail = &raw_first;
  raw_arena.release();
}

void vesk_textctrl_store::recalc_line_sizes()
{
  clear_mouse_selection();
  request_repaint();
  std::lock_guard<std::mutex> lock(store_mutex);
  empty_lines();
  line_arena.reset();
  last_line = 0;
  bottom_line = 0;
  for (vesk_textctrl_chunk *raw = raw_first; raw; raw = raw->next)
    add_chunk_line_array(raw);
}

void vesk_textctrl_store::Clear()
{
  clear_mouse_selection();
  request_repaint();
  std::lock_guard<std::mutex> lock(store_mutex);
  empty_lines();
  line_arena.release();
  last_line = 0;
  column = 0;
  bottom_line = 0;
  at_start = 1;
  release_raw_chunks();
  get_or_create_line(0);
}

void vesk_textctrl_store::set_char_metrics(const int widths[256], int height)
{
  std::memcpy(char_width, widths, sizeof(char_width));
  line_height = height;
  recalc_line_sizes();
}

void vesk_textctrl_store::get_character_pixel_sizes(int *width, int *height) const
{
  if (width) {
    int widest = 0;
    for (int c = 32; c <= 126; ++c)
      if (char_width[c] > widest)
        widest = char_width[c];
    *width = widest;
  }
  if (height)
    *height = line_height;
}

int vesk_textctrl_store::get_visible_line_count() const
{
  if (line_height <= 0) {
    VESK_LOG(2, "Error in vesk_textctrl::get_visible_line_count(), font height %d.\n", line_height);
    return 20;
  }
  int n = view_height / line_height;
  return n < 1 ? 1 : n;
}

void vesk_textctrl_store::get_scrollbar_data(int *position, int *range, int *thumb) const
{
  int visible = get_visible_line_count();
  int pos, rng;
  if (top_anchored) {
    pos = bottom_line;
    rng = last_line + visible + 1;
  } else {
    pos = bottom_line - visible;
    rng = last_line;
  }
  if (position)
    *position = pos;
  if (range)
    *range = rng;
  if (thumb)
    *thumb = visible;
}

void vesk_textctrl_store::ShowPosition(int n)
{
  int limit = top_anchored ? last_line : last_line + get_visible_line_count();
  if (n < 0)
    n = 0;
  bottom_line = n < limit ? n : limit;
  request_repaint();
}

int vesk_textctrl_store::set_scrollbar_position(int p)
{
  int visible = get_visible_line_count();
  if (top_anchored) {
    int n = p < 0 ? 0 : p;
    bottom_line = n < last_line ? n : last_line;
    request_repaint();
    return p;
  }
  int n = p + visible;
  if (n < 0)
    n = 0;
  int limit = last_line + visible;
  bottom_line = n < limit ? n : limit;
  request_repaint();
  return p + visible;
}

void vesk_textctrl_store::translate_xy_to_line_and_offset(int x, int y, int *line_out, int *offset_out) const
{
  const int h = line_height;
  if (h < 1) {
    VESK_LOG(2, "Error in vesk_textctrl::translate_xy_to_line_and_offset(), font height %d.\n", h);
    *line_out = 0;
    *offset_out = 0;
    return;
  }
  int computed;
  if (top_anchored)
    computed = (bottom_line > 0 ? bottom_line : 0) + floor_div(y, h);
  else
    computed = bottom_line + floor_div(y - (view_height - h), h);
  int line = computed;
  if (line > last_line)
    line = last_line;
  if (line < 0)
    line = 0;

  vesk_textctrl_line *l = line < line_capacity ? lines[line] : nullptr;
  if (!l) {
    if (computed != 0)
      VESK_LOG(2, "Error in vesk_textctrl::translate_xy_to_line_and_offset(), null line %d\n", computed);
    *line_out = last_line;
    *offset_out = 0;
    return;
  }
  int target = x > 0 ? x : 0;
  int sum = 0, index = 0;
  for (vesk_textctrl_chunk *c = l->first; c; c = c->next) {
    for (const unsigned char *t = reinterpret_cast<const unsigned char *>(c->text); *t; ++t, ++index) {
      sum += char_width[*t];
      if (sum >= target) {
        *line_out = line;
        *offset_out = index;
        return;
      }
    }
  }
  *line_out = line;
  *offset_out = index;
}

void vesk_textctrl_store::clear_mouse_selection()
{
  selection_active = 0;
  sel_start_line = sel_start_offset = sel_end_line = sel_end_offset = 0;
  anchor_line = anchor_offset = cursor_line = cursor_offset = 0;
  request_repaint();
}

void vesk_textctrl_store::set_ordered_selection()
{
  bool anchor_first = anchor_line < cursor_line || (anchor_line == cursor_line && anchor_offset <= cursor_offset);
  if (anchor_first) {
    sel_start_line = anchor_line;
    sel_start_offset = anchor_offset;
    sel_end_line = cursor_line;
    sel_end_offset = cursor_offset;
  } else {
    sel_start_line = cursor_line;
    sel_start_offset = cursor_offset;
    sel_end_line = anchor_line;
    sel_end_offset = anchor_offset;
  }
}

namespace {

// Appends the characters of a line whose index lies in [from, to].
void append_line_range(std::string &out, const vesk_textctrl_line *line, int from, int to)
{
  int index = 0;
  for (const vesk_textctrl_chunk *c = line->first; c && index <= to; c = c->next) {
    int length = (int)std::strlen(c->text);
    int a = from - index, b = to - index;
    if (a < 0)
      a = 0;
    if (b > length - 1)
      b = length - 1;
    if (a <= b)
      out.append(c->text + a, (size_t)(b - a + 1));
    index += length;
  }
}

}  // namespace

int vesk_textctrl_store::build_selection_text(std::string &out) const
{
  out.clear();
  auto line_at = [this](int i) -> const vesk_textctrl_line * {
    return i >= 0 && i < line_capacity ? lines[i] : nullptr;
  };
  const vesk_textctrl_line *start = line_at(sel_start_line);
  if (!start) {
    VESK_LOG(2, "Error in copy_selection_to_clipboard(), line %d NULL.\n", sel_start_line);
    return 0;
  }
  if (sel_start_line == sel_end_line) {
    append_line_range(out, start, sel_start_offset, sel_end_offset);
    return 1;
  }
  append_line_range(out, start, sel_start_offset, INT_MAX);
  if (start->ends_with_newline)
    out += '\n';
  for (int i = sel_start_line + 1; i < sel_end_line; ++i) {
    const vesk_textctrl_line *line = line_at(i);
    if (!line) {
      VESK_LOG(2, "Error in copy_selection_to_clipboard(), line %d NULL.\n", i);
      return 0;
    }
    append_line_range(out, line, 0, INT_MAX);
    if (line->ends_with_newline)
      out += '\n';
  }
  if (const vesk_textctrl_line *end = line_at(sel_end_line))
    append_line_range(out, end, 0, sel_end_offset);
  return 1;
}

int vesk_textctrl_store::get_line_text(int index, Buffer &out) const
{
  out.clear();
  if (index < 0 || index >= line_capacity || !lines[index])
    return 0;
  for (const vesk_textctrl_chunk *c = lines[index]->first; c; c = c->next)
    out.append(c->text);
  return 1;
}

int vesk_textctrl_store::line_length(int index) const
{
  if (index < 0 || index >= line_capacity || !lines[index])
    return 0;
  int n = 0;
  for (const vesk_textctrl_chunk *c = lines[index]->first; c; c = c->next)
    n += (int)std::strlen(c->text);
  return n;
}

long vesk_textctrl_store::count_line_chunks() const
{
  long n = 0;
  for (int i = 0; i <= last_line && i < line_capacity; ++i)
    if (lines[i])
      for (const vesk_textctrl_chunk *c = lines[i]->first; c; c = c->next)
        ++n;
  return n;
}

vesk_color vesk_textctrl_store::GetColorFromHexString(const char *text)
{
  if (!text || std::strlen(text) < 6) {
    VESK_LOG(2, "vesk_textctrl::GetColorFromHexString() - string too short.\n");
    return vesk_color(0, 0, 0);
  }
  int value = 0;
  for (int i = 0; i < 6; ++i) {
    char c = text[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else {
      VESK_LOG(2, "vesk_textctrl::GetColorFromHexString() - string doesn't appear to be hex.\n");
      return vesk_color(0, 0, 0);
    }
    value = value * 16 + d;
  }
  return vesk_color(value / 65536, (value / 256) % 256, value % 256);
}

namespace {

std::vector<std::string> split_words(const char *text)
{
  std::vector<std::string> words;
  const char *p = text ? text : "";
  while (*p) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')
      ++p;
    const char *start = p;
    while (*p && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r')
      ++p;
    if (p > start)
      words.emplace_back(start, (size_t)(p - start));
  }
  return words;
}

}  // namespace

int vesk_textctrl_store::add_colorflash(const char *text, int *total_out)
{
  std::vector<std::string> words = split_words(text);
  auto word = [&words](size_t i) { return i < words.size() ? words[i].c_str() : ""; };

  vesk_color c1 = GetColorFromHexString(word(0));
  vesk_color c2 = GetColorFromHexString(word(1));
  int duration;
  if (!is_int(word(2), &duration)) {
    VESK_LOG(2, "vesk_textctrl::parse_colorflash() - bad duration.\n");
    return 0;
  }
  auto *flash = new vesk_textctrl_flash;
  flash->current = c1;
  flash->segments = new vesk_textctrl_flash_segment{c2, duration, 0, nullptr};
  flash->next = flash_list;
  flash_list = flash;
  int64_t total = (int64_t)duration + 1;

  vesk_textctrl_flash_segment *last = flash->segments;
  for (size_t i = 3; i < words.size(); i += 2) {
    vesk_color cn = GetColorFromHexString(word(i));
    int dn;
    if (!is_int(word(i + 1), &dn)) {
      VESK_LOG(2, "vesk_textctrl::parse_colorflash() - bad subsequent duration.\n");
      break;
    }
    last->next = new vesk_textctrl_flash_segment{cn, dn, 0, nullptr};
    last = last->next;
    total += (int64_t)dn + 1;
  }
  // Durations of 0 or less still show for one step each.
  if (total < 1)
    total = 1;
  if (total > INT_MAX)
    total = INT_MAX;
  if (total_out)
    *total_out = (int)total;
  return 1;
}

vesk_color vesk_textctrl_store::calc_colorflash_color()
{
  vesk_color result(0, 0, 0);
  bool evaluated = false;
  vesk_textctrl_flash **link = &flash_list;
  while (vesk_textctrl_flash *flash = *link) {
    vesk_textctrl_flash_segment *seg = flash->segments;
    if (!seg) {
      *link = flash->next;
      delete flash;
      break;
    }
    const int64_t d = seg->duration, k = seg->done;
    vesk_color colour = flash->current;
    if (d > 0) {
      colour.red = (int)(((d - k) * flash->current.red + k * seg->target.red) / d);
      colour.green = (int)(((d - k) * flash->current.green + k * seg->target.green) / d);
      colour.blue = (int)(((d - k) * flash->current.blue + k * seg->target.blue) / d);
    }
    if (!evaluated || colour.red > result.red)
      result.red = colour.red;
    if (!evaluated || colour.green > result.green)
      result.green = colour.green;
    if (!evaluated || colour.blue > result.blue)
      result.blue = colour.blue;
    evaluated = true;
    if (d - k > 0) {
      ++seg->done;
    } else {
      flash->current = seg->target;
      flash->segments = seg->next;
      delete seg;
    }
    link = &flash->next;
  }
  return evaluated ? result : resting_background;
}

void vesk_textctrl_store::free_flash_list()
{
  while (vesk_textctrl_flash *flash = flash_list) {
    flash_list = flash->next;
    while (vesk_textctrl_flash_segment *seg = flash->segments) {
      flash->segments = seg->next;
      delete seg;
    }
    delete flash;
  }
}
