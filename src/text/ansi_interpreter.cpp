#include "text/ansi_interpreter.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include "app/debug_log.h"
#include "input/transliterate.h"
#include "text/ansi_palette.h"

int vesk_ansi_interpreter::trigger_disable = 0;

namespace {

const vesk_color reverse_background(64, 64, 64);
const vesk_color normal_background(0, 0, 0);

vesk_color rgb_to_color(int rgb) { return vesk_color((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }

// A run's text passed through the transliteration (printable ASCII stays as
// it is), at most 5999 characters.
void render_text_transliterate(const char *text, Buffer &out)
{
  out.clear();
  wx_utf8_buffer_print(text, out);
}

}  // namespace

vesk_ansi_interpreter::vesk_ansi_interpreter(vesk_textctrl_store *store)
    : text_store(store), scrollbar_enabled(1), changed(0), parser_state(STATE_TEXT), escape_state(0),
      escape_param(0), sgr_flags(0), applied_flags(-1), sgr_color(0), applied_color(-1), updates_suspended(0),
      framed(1), following(1), scroll_pos(0), hold_disabled(0), render_first(nullptr), render_tail(&render_first),
      run_rgb(0), run_flags(0), run_code(0), current_rgb(0), current_flags(0), current_code(0)
{
}

vesk_ansi_interpreter::~vesk_ansi_interpreter() { delete_render_list(); }

void vesk_ansi_interpreter::delete_render_list()
{
  render_first = nullptr;
  render_tail = &render_first;
  render_arena.release();
}

long vesk_ansi_interpreter::render_list_length() const
{
  long n = 0;
  for (const vesk_render_list *e = render_first; e; e = e->next)
    ++n;
  return n;
}

// ---------------------------------------------------------------------------
// Received text

void vesk_ansi_interpreter::flush_segment(const char *segment, int length)
{
  // An empty segment (a read that ended inside an escape sequence) adds
  // nothing; passed on, it would count as the store's first text and keep
  // the leading newlines of the real first text, so that how the bytes were
  // split between reads changed what is shown.
  if (length <= 0)
    return;
  rerender_save_string(segment, length);
  if (!updates_suspended)
    text_store->AppendRawText(segment);
  trigger_feed(segment, length);
}

void vesk_ansi_interpreter::display_socket_data(const char *data, int length)
{
  if (!data || length <= 0)
    return;
  changed = 1;
  char segment[segment_size + 1];
  int n = 0;
  const unsigned char *p = reinterpret_cast<const unsigned char *>(data);
  for (int i = 0; i < length; ++i) {
    const unsigned char c = p[i];
    if (parser_state == STATE_TEXT) {
      if (c == 27) {
        if (n > 0) {
          segment[n] = 0;
          flush_segment(segment, n);
          n = 0;
        }
        parser_state = STATE_ESCAPE;
        escape_state = 0;
        escape_param = 0;
      } else if (c == '\t' || (c >= 28 && c <= 126)) {
        segment[n++] = (char)c;
      } else if (c >= 128) {
        segment[n++] = '.';
      } else if (c == '\n') {
        segment[n++] = '\n';
        segment[n] = 0;
        flush_segment(segment, n);
        n = 0;
        process_ansi_color();
      }
      // Every other control byte (carriage return and bell included) is dropped.
      if (n >= segment_size) {
        segment[n] = 0;
        flush_segment(segment, n);
        n = 0;
      }
    } else if (escape_state == 0) {
      if (c == '[') {
        escape_state = 1;
      } else {
        process_ansi_code(c);
        parser_state = STATE_TEXT;
      }
    } else if (c >= '0' && c <= '9') {
      // Each decimal digit becomes one hexadecimal digit of the value. A
      // parameter too long to hold stays out of range instead of wrapping
      // round to a valid code.
      if (escape_param < 0x08000000)
        escape_param = escape_param * 16 + (c - '0');
      else
        escape_param = 0x7fffffff;
    } else if (c == 'm') {
      apply_sgr_value(escape_param);
      process_ansi_color();
      parser_state = STATE_TEXT;
    } else {
      VESK_LOG(2, "process_ansi_code(2) - ignoring unhandled code %d.\n", c);
      parser_state = STATE_TEXT;
    }
  }
  segment[n] = 0;
  flush_segment(segment, n);
}

void vesk_ansi_interpreter::apply_sgr_value(int value)
{
  switch (value) {
  case 0x0:
    sgr_flags = SGR_NORMAL;
    sgr_color = 0;
    break;
  case 0x1:
    sgr_flags = SGR_BOLD;
    break;
  case 0x2:
    sgr_flags = SGR_DIM;
    break;
  case 0x5:
    sgr_flags = SGR_BLINK;
    break;
  case 0x7:
    sgr_flags = SGR_REVERSE;
    break;
  case 0x22:
    sgr_flags = SGR_NORMAL;
    break;
  case 0x31:
  case 0x32:
  case 0x33:
  case 0x34:
  case 0x35:
  case 0x36:
  case 0x37:
    sgr_color = value;
    break;
  default:
    VESK_LOG(2, "error in vesk_ansi_display::process_ansi_code() - bad value '%d'.\n", value);
    break;
  }
}

void vesk_ansi_interpreter::process_ansi_code(int code)
{
  if (code == 'c') {
    reset_colors();
    int count = 2 * text_store->get_visible_line_count() + 1;
    for (int i = 0; i < count; ++i)
      write("\n");
    return;
  }
  VESK_LOG(2, "process_ansi_code(1) - got unhandled code %d.\n", code);
}

void vesk_ansi_interpreter::process_ansi_color()
{
  int group = ansi_group_for_code(sgr_color);
  if (group < 0) {
    VESK_LOG(2, "error in vesk_ansi_display::process_ansi_color() - bad color '%d'?\n", sgr_color);
    return;
  }
  int entry = sgr_flags == SGR_BOLD ? ANSI_ENTRY_BOLD : sgr_flags == SGR_DIM ? ANSI_ENTRY_DIM : ANSI_ENTRY_NORMAL;
  int rgb = ansi_palette[group * 3 + entry];
  if (sgr_flags == applied_flags && sgr_color == applied_color)
    return;
  current_rgb = rgb;
  current_flags = sgr_flags;
  current_code = sgr_color;
  if (pending_run.empty()) {
    run_rgb = current_rgb;
    run_flags = current_flags;
    run_code = current_code;
  }
  if (!updates_suspended)
    text_store->SetTextColor(rgb_to_color(rgb), sgr_flags == SGR_REVERSE ? reverse_background : normal_background);
  applied_flags = sgr_flags;
  applied_color = sgr_color;
}

void vesk_ansi_interpreter::set_color(int code1, int code2)
{
  for (int code : {code1, code2}) {
    switch (code) {
    case 0:
      sgr_flags = SGR_NORMAL;
      sgr_color = 0;
      break;
    case 1:
      sgr_flags = SGR_BOLD;
      break;
    case 2:
      sgr_flags = SGR_DIM;
      break;
    case 5:
      sgr_flags = SGR_BLINK;
      break;
    case 7:
      sgr_flags = SGR_REVERSE;
      break;
    case 34:
      sgr_flags = SGR_NORMAL;
      break;
    default:
      if (code >= 49 && code <= 55) {
        sgr_color = code;
      } else {
        VESK_LOG(2, "error in vesk_ansi_display::process_ansi_code() - bad value '%d'.\n", code);
        continue;
      }
    }
    process_ansi_color();
  }
}

void vesk_ansi_interpreter::reset_colors()
{
  sgr_flags = SGR_NORMAL;
  sgr_color = 51;
  process_ansi_color();
  sgr_color = 55;
  process_ansi_color();
}

void vesk_ansi_interpreter::write(const char *text)
{
  if (!text)
    return;
  int length = (int)std::strlen(text);
  rerender_save_string(text, length);
  if (!updates_suspended)
    text_store->AppendRawText(text);
  trigger_feed(text, length);
}

// ---------------------------------------------------------------------------
// Trigger line

void vesk_ansi_interpreter::trigger_feed(const char *text, int length)
{
  if (trigger_disable)
    return;
  trigger_disable = 1;
  for (int i = 0; i < length; ++i) {
    char c = text[i];
    if (c == '\n') {
      single_line_trigger(trigger_line);
      trigger_line.clear();
    } else if (trigger_line.length < trigger_limit) {
      trigger_line.text[trigger_line.length++] = c;
      trigger_line.text[trigger_line.length] = 0;
    }
  }
  trigger_disable = 0;
}

void vesk_ansi_interpreter::single_line_trigger(Buffer &) {}

void vesk_ansi_interpreter::force_trigger_line()
{
  if (trigger_line.length <= 0)
    return;
  trigger_disable = 1;
  single_line_trigger(trigger_line);
  trigger_line.clear();
  trigger_disable = 0;
}

// ---------------------------------------------------------------------------
// Render list

void vesk_ansi_interpreter::rerender_save_string(const char *text)
{
  if (text)
    rerender_save_string(text, (int)std::strlen(text));
}

void vesk_ansi_interpreter::rerender_save_string(const char *text, int length)
{
  if (!text || length <= 0)
    return;
  if (current_flags != run_flags || current_rgb != run_rgb)
    rerender_flush();
  pending_run.append(text, (size_t)length);
}

void vesk_ansi_interpreter::rerender_flush()
{
  if (!pending_run.empty()) {
    auto *entry = static_cast<vesk_render_list *>(render_arena.allocate(sizeof(vesk_render_list)));
    entry->next = nullptr;
    entry->length = (int)pending_run.size();
    entry->text = render_arena.copy(pending_run.data(), entry->length);
    entry->red = (run_rgb >> 16) & 255;
    entry->green = (run_rgb >> 8) & 255;
    entry->blue = run_rgb & 255;
    entry->flags = run_flags;
    entry->color_code = run_code;
    *render_tail = entry;
    render_tail = &entry->next;
    pending_run.clear();
  }
  run_rgb = current_rgb;
  run_flags = current_flags;
  run_code = current_code;
}

void vesk_ansi_interpreter::rerender()
{
  rerender_flush();
  text_store->Clear();
  Buffer text;
  for (const vesk_render_list *e = render_first; e; e = e->next) {
    text_store->SetTextColor(vesk_color(e->red, e->green, e->blue),
                             (e->flags & SGR_REVERSE) ? reverse_background : normal_background);
    render_text_transliterate(e->text, text);
    text_store->AppendRawText(text.text);
  }
  // Text arriving next takes the attributes now in effect, which may have
  // changed after the last recorded run.
  text_store->SetTextColor(rgb_to_color(current_rgb),
                           current_flags == SGR_REVERSE ? reverse_background : normal_background);
  scroll_to_bottom();
}

void vesk_ansi_interpreter::clear_scrollback()
{
  rerender_flush();
  delete_render_list();
  if (!updates_suspended)
    text_store->Clear();
  run_flags = current_flags = 0;
  run_rgb = current_rgb = 0;
  current_code = 0;
  reset_colors();
}

void vesk_ansi_interpreter::resume_updates()
{
  if (!updates_suspended) {
    VESK_LOG(2, "Error in vesk_ansi_display::resume_updates(), updates were not suspended?\n");
    return;
  }
  updates_suspended = 0;
  rerender();
  refresh();
}

void vesk_ansi_interpreter::set_line_wrap_enable(int enable)
{
  text_store->wrap_enabled = enable;
  rerender();
}

// ---------------------------------------------------------------------------
// Export

const char *render_get_html_color(int color_code, int flags)
{
  static const char *const names[3][7] = {
      {"white", "red", "green", "yellow", "blue", "purple", "cyan"},
      {"bwhite", "bred", "bgreen", "byellow", "bblue", "bpurple", "bcyan"},
      {"dwhite", "dred", "dgreen", "dyellow", "dblue", "dpurple", "dcyan"},
  };
  int colour;
  if (color_code == 0 || color_code == 55)
    colour = 0;
  else if (color_code >= 49 && color_code <= 54)
    colour = color_code - 48;
  else {
    VESK_LOG(2, "error in render_get_html_color() - bad color '%d'?\n", color_code);
    return "bogus";
  }
  int prefix = flags == SGR_BOLD ? 1 : flags == SGR_DIM ? 2 : 0;
  return names[prefix][colour];
}

int vesk_ansi_interpreter::render_text_to_file(FILE *file)
{
  if (!pending_run.empty())
    rerender_flush();
  bool ok = true;
  Buffer text;
  for (const vesk_render_list *e = render_first; e; e = e->next) {
    render_text_transliterate(e->text, text);
    size_t n = std::strlen(text.text);
    if (n && std::fwrite(text.text, 1, n, file) != n)
      ok = false;
  }
  return ok && !std::ferror(file);
}

int vesk_ansi_interpreter::render_html_to_file(FILE *file)
{
  if (!pending_run.empty())
    rerender_flush();
  bool ok = true;
  auto put = [&](const char *s) {
    if (std::fputs(s, file) < 0)
      ok = false;
  };
  auto colour = [](int group, int entry) { return ansi_color_default[group * 3 + entry]; };

  time_t now = std::time(nullptr);
  const char *stamp = std::ctime(&now);
  put("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n");
  if (std::fprintf(file, "<html>\n<head>\n<title>Ombrith Logfile - %s</title>\n", stamp ? stamp : "\n") < 0)
    ok = false;
  put("<meta http-equiv=\"Content-Type\" content=\"text/html;charset=utf-8\" >\n");
  put("<style type=\"text/css\">\n");
  put("body     {background-color:#000000}\n");

  struct style_line {
    const char *format;
    int group;
  };
  static const style_line styles[7] = {
      {"white", ANSI_GROUP_WHITE}, {"red", ANSI_GROUP_RED},   {"yellow", ANSI_GROUP_YELLOW},
      {"green", ANSI_GROUP_GREEN}, {"cyan", ANSI_GROUP_CYAN}, {"blue", ANSI_GROUP_BLUE},
      {"purple", ANSI_GROUP_MAGENTA},
  };
  for (const style_line &s : styles) {
    // ".dwhite  {color:%06x}\n": the class name padded so the braces line up.
    static const char *const prefixes[3] = {"d", "", "b"};
    static const int entries[3] = {ANSI_ENTRY_DIM, ANSI_ENTRY_NORMAL, ANSI_ENTRY_BOLD};
    for (int k = 0; k < 3; ++k) {
      char name[16];
      std::snprintf(name, sizeof(name), ".%s%s", prefixes[k], s.format);
      if (std::fprintf(file, "%-9s{color:%06x}\n", name, colour(s.group, entries[k])) < 0)
        ok = false;
    }
  }
  put("</style>\n");
  put("</head>\n");
  put("<body><pre><tt>\n");

  Buffer text;
  std::string escaped;
  for (const vesk_render_list *e = render_first; e; e = e->next) {
    render_text_transliterate(e->text, text);
    escaped.clear();
    for (const char *p = text.text; *p; ++p) {
      switch (*p) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += *p;
      }
    }
    if (std::fprintf(file, "<span class=\"%s\">", render_get_html_color(e->color_code, e->flags)) < 0)
      ok = false;
    if (!escaped.empty() && std::fwrite(escaped.data(), 1, escaped.size(), file) != escaped.size())
      ok = false;
    put("</span>");
  }
  put("\n</tt></pre></body>\n</html>\n");
  return ok && !std::ferror(file);
}

int vesk_save_scrollback_log(vesk_ansi_interpreter &display, const char *path, int plain_text)
{
  Buffer message;
  FILE *file = std::fopen(path, "wb");
  if (!file) {
    message.append("\n\nError - unable to open file '");
    message.append(path);
    message.append("'.\nLogfile was not saved!\n\n");
    display.write(message.text);
    display.refresh();
    return 0;
  }
  int ok = plain_text ? display.render_text_to_file(file) : display.render_html_to_file(file);
  int saved_errno = errno;
  if (std::fflush(file) != 0) {
    ok = 0;
    saved_errno = errno;
  }
  if (std::fclose(file) != 0 && ok) {
    ok = 0;
    saved_errno = errno;
  }
  if (ok) {
    message.append(plain_text ? "\n\nPlain text log saved to file '" : "\n\nHTML log saved to file '");
    message.append(path);
    message.append("'.\n\n");
  } else {
    message.append("\n\nError - writing to file '");
    message.append(path);
    message.append("' failed (");
    message.append(std::strerror(saved_errno ? saved_errno : EIO));
    message.append(").\nThe logfile may be incomplete!\n\n");
  }
  display.write(message.text);
  display.refresh();
  return ok;
}

// ---------------------------------------------------------------------------
// Scrolling policy

void vesk_ansi_interpreter::scroll_to_bottom()
{
  int last = text_store->last_line;
  scroll_pos = text_store->top_anchored ? last + 1 - text_store->get_visible_line_count() : last;
  text_store->ShowPosition(scroll_pos);
  set_scrollbar();
}

void vesk_ansi_interpreter::enable_scrolling()
{
  if (following)
    return;
  following = 1;
  text_store->scroll_hold = 0;
  scroll_to_bottom();
  refresh();
  repaint_status_bar();
}

void vesk_ansi_interpreter::disable_scrolling()
{
  if (!following)
    return;
  if (!hold_disabled) {
    following = 0;
    text_store->scroll_hold = 1;
    scroll_to_bottom();
  }
  refresh();
  repaint_status_bar();
}

void vesk_ansi_interpreter::scroll_amount(int n)
{
  int last = text_store->last_line;
  int visible = text_store->get_visible_line_count();
  int lo, hi;
  if (text_store->top_anchored) {
    lo = 0;
    hi = last + 1 - visible;
  } else {
    lo = visible - 1;
    hi = last;
  }
  int p = scroll_pos + n;
  if (p < lo)
    p = lo;
  if (p > hi)
    p = hi;
  scroll_pos = p;
  if (p == hi && !following)
    enable_scrolling();
  text_store->ShowPosition(scroll_pos);
  set_scrollbar();
}

void vesk_ansi_interpreter::scroll_up(int n)
{
  int half = text_store->get_visible_line_count() * 50 / 100;
  if (n > half)
    n = half;
  scroll_amount(n <= 0 ? -1 : -n);
}

void vesk_ansi_interpreter::scroll_down(int n)
{
  int half = text_store->get_visible_line_count() * 50 / 100;
  if (n > half)
    n = half;
  scroll_amount(n <= 0 ? 1 : n);
}

void vesk_ansi_interpreter::scroll_up()
{
  int half = text_store->get_visible_line_count() * 50 / 100;
  scroll_amount(half < 1 ? -1 : -half);
}

void vesk_ansi_interpreter::scroll_down()
{
  int half = text_store->get_visible_line_count() * 50 / 100;
  scroll_amount(half < 1 ? 1 : half);
}

void vesk_ansi_interpreter::wheel_scroll(int rotation)
{
  if (rotation == 0)
    return;
  disable_scrolling();
  int n = text_store->get_visible_line_count() * 50 / 100;
  if (n > 3)
    n = 3;
  if (n < 1)
    n = 1;
  scroll_amount(rotation > 0 ? -n : n);
}

void vesk_ansi_interpreter::disable_and_set_scroll_position_i(int p)
{
  int last = text_store->last_line;
  int visible = text_store->get_visible_line_count();
  int end_mark = text_store->top_anchored ? last + visible : last;
  if (end_mark > visible) {
    scroll_pos = text_store->set_scrollbar_position(p);
    if (scroll_pos < end_mark) {
      if (following && !hold_disabled) {
        following = 0;
        text_store->scroll_hold = 1;
        refresh();
      }
    } else if (!following) {
      enable_scrolling();
    }
  } else {
    scroll_pos = p;
    if (!following)
      enable_scrolling();
  }
}

void vesk_ansi_interpreter::disable_and_set_scroll_position(int p)
{
  refresh();
  scroll_pos = text_store->set_scrollbar_position(p);
  set_scrollbar();
}

int vesk_ansi_interpreter::get_scroll_position()
{
  int position = 0;
  text_store->get_scrollbar_data(&position, nullptr, nullptr);
  return position;
}
