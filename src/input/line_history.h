// The command line's three command histories (before connecting, connected,
// logged in) and the rules for storing and browsing them. Free of windows:
// the editor is reached through line_edit_view, so the rules can be checked
// against a plain string.
#ifndef OMBRITH_INPUT_LINE_HISTORY_H
#define OMBRITH_INPUT_LINE_HISTORY_H

#include <memory>
#include <string>

#include <wx/string.h>

// The editor as the history rules see it. Positions count characters.
class line_edit_view {
public:
  virtual ~line_edit_view() {}
  virtual wxString view_text() const = 0;
  virtual long view_insertion_point() const = 0;
  virtual void view_set_insertion_point(long pos) = 0;
  // Empties the editor, then shows the text with the insertion point at its end.
  virtual void view_show(const wxString &text) = 0;
  virtual void view_clear() = 0;
};

enum {
  HISTORY_NOT_CONNECTED = 0,
  HISTORY_CONNECTED = 1,
  HISTORY_LOGGED_IN = 2,
};

class vesk_line_history {
public:
  enum {
    set_count = 3,
    entry_count = 100,
    // Entry 0 is always empty, entry 1 holds the line being edited while the
    // user browses, entries 2 to 99 the stored commands, the newest at 2.
    first_stored = 2,
    last_stored = 99,
  };

  // Every set gets its empty entries 0 and 1; set 0 also gets "connect", so
  // that Up before the first connection offers it.
  vesk_line_history();

  // Up: inside a text of several lines first moves between lines; at the end
  // of the text shows the next older command.
  void history_up(line_edit_view &view);
  // Down: the reverse; from the line being edited shows the blank entry 0
  // (the edited line waits in entry 1), and from there empties the editor.
  void history_down(line_edit_view &view);
  // Stores a submitted command as the newest entry unless it repeats the
  // newest one or echo is off (hidden input is never kept). Ends browsing.
  void history_store(const wxString &text);
  // Switches to another set, remembering the browsing position of each.
  void swap_history(int set);

  // The "Recent Command History" listing: up to 19 commands, oldest first,
  // the newest numbered 1.
  std::string history_listing() const;

  // An entry of a set, or null when it is missing.
  const wxString *entry(int set, int index) const;

  std::unique_ptr<wxString> history[set_count][entry_count];
  int saved_pos[set_count];
  int history_pos;  // 1: editing, 2 and above: browsing the stored commands
  int history_set;
  int echo_disabled;
};

#endif
