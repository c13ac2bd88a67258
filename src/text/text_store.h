// The store behind every scrolling text area: coloured runs kept exactly as
// they were appended (the raw chunks), the display lines cut from them at
// newlines and word-wrap points, and the window-free half of the view (view
// position, selection, hit testing, the colour-flash fade). The toolkit
// window vesk_textctrl builds on this and only adds drawing and events.
#ifndef OMBRITH_TEXT_TEXT_STORE_H
#define OMBRITH_TEXT_TEXT_STORE_H

#include <mutex>
#include <string>

#include "gfx/color.h"
#include "text/text_arena.h"
#include "util/buffer.h"
#include "util/platform.h"

// One piece of text in one colour. Raw chunks have width 0; line chunks
// carry the pixel width of their text in the current font.
struct vesk_textctrl_chunk {
  vesk_color color;
  char *text;  // NUL-terminated; never holds a newline once in a line
  vesk_textctrl_chunk *next;
  int width;
};

// One display line.
struct vesk_textctrl_line {
  vesk_textctrl_chunk *first;
  vesk_textctrl_chunk **tail;  // where the next chunk is attached
  int ends_with_newline;       // 1: ended by a newline in the text
};

// Shared by every text store: 262144-byte blocks of chunk records, and
// blocks of line records.
extern vesk_memory_pool<vesk_textctrl_chunk> vesk_textctrl_chunk_pool;
extern vesk_memory_pool<vesk_textctrl_line> vesk_textctrl_line_pool;

// ASCII stand-in for each byte 128-255.
extern const char eascii_lookup_table[129];

// Colour flash: an entry fades through its segments one step at a time.
struct vesk_textctrl_flash_segment {
  vesk_color target;
  int duration;  // steps
  int done;      // steps already done
  vesk_textctrl_flash_segment *next;
};

struct vesk_textctrl_flash {
  vesk_color current;
  vesk_textctrl_flash_segment *segments;
  vesk_textctrl_flash *next;
};

extern const vesk_color selected_background_color;

class vesk_textctrl_store {
public:
  enum { line_block = 65536, max_run = 5999 };

  vesk_textctrl_store();
  virtual ~vesk_textctrl_store();
  vesk_textctrl_store(const vesk_textctrl_store &) = delete;
  vesk_textctrl_store &operator=(const vesk_textctrl_store &) = delete;

  // Store operations.
  void AppendRawText(const char *text);
  void SetTextColor(const vesk_color &foreground, const vesk_color &background);
  void Clear();
  // The font-dependent numbers: pixel width of each byte value and the line
  // height. Lays everything out again.
  void set_char_metrics(const int widths[256], int height);
  void get_character_pixel_sizes(int *width, int *height) const;

  // Layout steps.
  vesk_textctrl_line *get_or_create_line(int index);
  void add_chunk_line_array(const vesk_textctrl_chunk *raw);
  void add_chunk_line(const char *text, int length, const vesk_textctrl_chunk *colour);
  void break_and_advance_line(vesk_textctrl_line *line);
  void recalc_line_sizes();

  // View arithmetic. view_width and view_height are the control's size.
  int get_visible_line_count() const;
  void get_scrollbar_data(int *position, int *range, int *thumb) const;
  void ShowPosition(int n);
  int set_scrollbar_position(int p);
  void translate_xy_to_line_and_offset(int x, int y, int *line, int *offset) const;

  // Selection.
  int has_mouse_selection() const { return selection_active; }
  void clear_mouse_selection();
  // The ordered selection from anchor and cursor.
  void set_ordered_selection();
  // The selected text (line ends only after lines ended by a newline).
  // 0 when a line it needs is missing.
  int build_selection_text(std::string &out) const;
  // A line's characters joined (at most 5999); 0 if the line does not exist.
  int get_line_text(int index, Buffer &out) const;
  // Characters in a line.
  int line_length(int index) const;

  // Colour flash.
  static vesk_color GetColorFromHexString(const char *text);
  // Adds the flash described by the payload to the head of flash_list and
  // gives its total number of steps; 0 (nothing added) for a bad duration.
  int add_colorflash(const char *text, int *total);
  // One step of every flash; the resulting background.
  vesk_color calc_colorflash_color();
  void free_flash_list();

  // Asks for the view to be drawn again; the window overrides it.
  virtual void request_repaint() {}

  // Number of chunks and stored bytes (for the stress figures).
  long count_line_chunks() const;

  std::mutex store_mutex;
  int char_width[256];
  int line_height;
  vesk_textctrl_chunk *raw_first;
  vesk_textctrl_chunk **raw_tail;
  vesk_textctrl_line **lines;
  int line_capacity;
  int last_line;
  int column;
  int at_start;
  int wrap_enabled;
  int last_width;
  vesk_color text_color;

  // View.
  int view_width;
  int view_height;
  int top_anchored;
  int bottom_line;
  int scroll_hold;
  vesk_color background_color;
  vesk_color resting_background;

  int selection_active;
  int sel_start_line, sel_start_offset, sel_end_line, sel_end_offset;
  int anchor_line, anchor_offset;
  int cursor_line, cursor_offset;
  int mouse_captured;
  int url_latch;
  int drag_scroll_speed;
  vesk_textctrl_flash *flash_list;

  // Where the chunk texts live: raw texts until Clear, line texts until the
  // next relayout.
  vesk_text_arena raw_arena;
  vesk_text_arena line_arena;

protected:
  void empty_lines();
  void release_raw_chunks();
  int chunk_text_width(const char *text, int length) const;
};

#endif
