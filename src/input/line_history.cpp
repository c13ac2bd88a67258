#include "input/line_history.h"

#include <cstdio>

#include "app/debug_log.h"
#include "input/transliterate.h"

vesk_line_history::vesk_line_history() : history_pos(1), history_set(0), echo_disabled(0)
{
  for (int s = 0; s < set_count; ++s) {
    history[s][0].reset(new wxString());
    history[s][1].reset(new wxString());
    saved_pos[s] = 1;
  }
  history[HISTORY_NOT_CONNECTED][2].reset(new wxString("connect"));
}

const wxString *vesk_line_history::entry(int set, int index) const
{
  if (set < 0 || set >= set_count || index < 0 || index >= entry_count)
    return nullptr;
  return history[set][index].get();
}

void vesk_line_history::history_up(line_edit_view &view)
{
  wxString text = view.view_text();
  long ip = view.view_insertion_point();
  long end = (long)text.length();
  if (ip < end) {
    // Inside a text of several lines Up moves to the line above first.
    long pos = 0;
    for (long i = (ip > 0 ? ip : 0) - 1; i >= 0; --i) {
      if (text[(size_t)i] == '\n') {
        pos = i;
        break;
      }
    }
    view.view_set_insertion_point(pos);
    return;
  }

  std::unique_ptr<wxString> *set = history[history_set];
  if (history_pos > last_stored - 1 || history_pos < 0 || !set[history_pos] || !set[history_pos + 1])
    return;

  if (history_pos == 1) {
    if (!set[1]) {
      VESK_LOG(2, "Error in history_up(), entry 1 null?\n");
      return;
    }
    *set[1] = text;
  }

  ++history_pos;
  view.view_show(*set[history_pos]);
}

void vesk_line_history::history_down(line_edit_view &view)
{
  wxString text = view.view_text();
  long ip = view.view_insertion_point();
  long end = (long)text.length();
  if (ip < end) {
    // Inside a text of several lines Down moves to the line below first.
    long pos = end;
    for (long i = ip > 0 ? ip : 0; i < end; ++i) {
      if (text[(size_t)i] == '\n') {
        pos = i + 1;
        break;
      }
    }
    view.view_set_insertion_point(pos);
    return;
  }

  if (history_pos <= 0) {
    view.view_clear();
    return;
  }

  std::unique_ptr<wxString> *set = history[history_set];
  if (history_pos >= entry_count || !set[history_pos])
    return;
  if (history_pos == 1)
    *set[1] = text;

  --history_pos;
  if (!set[history_pos])
    return;
  view.view_show(*set[history_pos]);
}

void vesk_line_history::history_store(const wxString &text)
{
  std::unique_ptr<wxString> *set = history[history_set];
  // Hidden input (echo off) is never kept; browsing still ends, and the
  // line saved in entry 1 while browsing (which may be hidden input) goes.
  if (!echo_disabled && (!set[first_stored] || *set[first_stored] != text)) {
    for (int i = last_stored; i > first_stored; --i)
      set[i] = std::move(set[i - 1]);
    set[first_stored].reset(new wxString(text));
  }

  history_pos = 1;
  if (!set[1]) {
    VESK_LOG(2, "Error in history_store(), entry 1 null?\n");
    return;
  }
  set[1]->clear();
}

void vesk_line_history::swap_history(int set)
{
  if (set == history_set)
    return;
  if (set < 0 || set >= set_count) {
    VESK_LOG(1, "Error in swap_history(), no history set %d.\n", set);
    return;
  }
  saved_pos[history_set] = history_pos;
  history_set = set;
  history_pos = saved_pos[set];
}

std::string vesk_line_history::history_listing() const
{
  std::string out = "\nRecent Command History:";
  for (int i = 20; i >= first_stored; --i) {
    const wxString *e = history[history_set][i].get();
    if (!e)
      continue;
    char number[32];
    std::snprintf(number, sizeof(number), "\n%2d - ", i - 1);
    out += number;
    utf8_transliterate(e->utf8_str(), out);
  }
  out += "\n";
  return out;
}
