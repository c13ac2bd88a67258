// The window-free half of the coloured text display: the ANSI subset
// interpreter, the render list (every coloured run as received, from which
// the store can be rebuilt and the scrollback exported), the trigger line,
// suspension, and the scrolling policy. vesk_ansi_display adds the toolkit
// parts (its window, frame, scroll bar and events) through the hooks below.
#ifndef OMBRITH_TEXT_ANSI_INTERPRETER_H
#define OMBRITH_TEXT_ANSI_INTERPRETER_H

#include <cstdio>
#include <string>

#include "text/text_arena.h"
#include "text/text_store.h"
#include "util/buffer.h"

// One coloured run as received.
struct vesk_render_list {
  vesk_render_list *next;
  const char *text;  // 8-bit text, NUL-terminated, in the display's render arena
  int length;
  int red, green, blue;
  int flags;       // attribute in effect: 0, 2, 4, 8 or 16
  int color_code;  // colour code in effect: 0 or 49-55
};

// Attribute values of sgr_flags (one at a time, not a bit set).
enum { SGR_NORMAL = 0, SGR_BLINK = 2, SGR_BOLD = 4, SGR_DIM = 8, SGR_REVERSE = 16 };

class vesk_ansi_interpreter {
public:
  enum { segment_size = 256, trigger_limit = 5999 };
  enum { STATE_TEXT = 1, STATE_ESCAPE = 2 };

  explicit vesk_ansi_interpreter(vesk_textctrl_store *text_store);
  virtual ~vesk_ansi_interpreter();
  vesk_ansi_interpreter(const vesk_ansi_interpreter &) = delete;
  vesk_ansi_interpreter &operator=(const vesk_ansi_interpreter &) = delete;

  // Received text, escape sequences included.
  void display_socket_data(const char *data, int length);
  // Text of the client's own, shown without interpreting escapes.
  void write(const char *text);
  void set_color(int code1, int code2);
  void reset_colors();
  void process_ansi_color();
  void process_ansi_code(int code);
  // Applies one SGR value as read from the stream (each decimal digit one
  // hexadecimal digit: 31 arrives as 0x31).
  void apply_sgr_value(int value);
  // Puts the parser back into plain-text state.
  void reset_parser_state() { parser_state = STATE_TEXT; }

  // Render list.
  void rerender_save_string(const char *text);
  void rerender_save_string(const char *text, int length);
  void rerender_flush();
  void rerender();
  void clear_scrollback();
  // Frees the whole list.
  void delete_render_list();
  // Scrollback export; 1 when every write succeeded.
  int render_html_to_file(FILE *file);
  int render_text_to_file(FILE *file);
  long render_list_length() const;

  // Scrolling policy.
  void scroll_to_bottom();
  void enable_scrolling();
  void disable_scrolling();
  int scrolling_enabled() const { return following; }
  void scroll_amount(int n);
  void scroll_up(int n);
  void scroll_down(int n);
  void scroll_up();
  void scroll_down();
  // A wheel turn over the display (positive: up).
  void wheel_scroll(int rotation);
  // The scroll bar's thumb moved to p.
  void disable_and_set_scroll_position_i(int p);
  void disable_and_set_scroll_position(int p);
  virtual int get_scroll_position();

  void suspend_updates() { updates_suspended = 1; }
  void resume_updates();
  void set_line_wrap_enable(int enable);

  // Trigger line.
  virtual void single_line_trigger(Buffer &line);
  int trigger_pending() const { return trigger_line.length > 0; }
  void force_trigger_line();
  static int trigger_disable;

  // Hooks for the window: update the toolkit scroll bar, repaint the display
  // and its text, repaint the main window's status bar.
  virtual void set_scrollbar() {}
  virtual void refresh() {}
  virtual void repaint_status_bar() {}

  vesk_textctrl_store *text_store;
  Buffer trigger_line;
  int scrollbar_enabled;
  int changed;
  int parser_state;
  int escape_state;
  int escape_param;
  int sgr_flags;
  int applied_flags;
  int sgr_color;
  int applied_color;
  int updates_suspended;
  int framed;
  int following;
  int scroll_pos;
  int hold_disabled;

  vesk_render_list *render_first;
  vesk_render_list **render_tail;
  vesk_text_arena render_arena;  // the entries and their texts
  std::string pending_run;
  int run_rgb, run_flags, run_code;
  int current_rgb, current_flags, current_code;

protected:
  void flush_segment(const char *segment, int length);
  void trigger_feed(const char *text, int length);
};

// The class name of a run in an exported HTML log ("white", "bred", ...).
const char *render_get_html_color(int color_code, int flags);

// Writes the scrollback of `display` to `path` as HTML (plain_text 0) or
// plain text, and shows the outcome in the display. Write and close errors
// are detected: the file is then not reported as saved. 1 on success.
int vesk_save_scrollback_log(vesk_ansi_interpreter &display, const char *path, int plain_text);

#endif
