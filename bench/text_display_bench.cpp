// The text display's hot paths: received coloured text through the ANSI
// interpreter into the render list and the store, a full repaint of a
// 1920 x 1080 view, a relayout of 100 000 stored lines after a width change,
// and the memory taken per stored line. The repaint needs an X display: run
// under xvfb-run (the other benchmarks run anyway).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "game_text.h"
#include "gfx/font.h"
#include "text/ansi_display.h"
#include "text/ansi_interpreter.h"
#include "text/ansi_palette.h"
#include "text/text_store.h"
#include "toolkit_bench_main.h"

namespace {

bool have_display = false;

double escape_fraction(const std::string &text)
{
  size_t escape = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == 27) {
      size_t j = i;
      while (j < text.size() && text[j] != 'm')
        ++j;
      escape += j - i + 1;
      i = j;
    }
  return (double)escape / (double)text.size();
}

void set_widths(vesk_textctrl_store &store, int char_width, int line_height)
{
  int widths[256] = {};
  for (int c = 32; c <= 126; ++c)
    widths[c] = char_width;
  store.set_char_metrics(widths, line_height);
}

long resident_bytes()
{
  long pages = 0, resident = 0;
  FILE *f = std::fopen("/proc/self/statm", "r");
  if (!f)
    return 0;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
    resident = 0;
  std::fclose(f);
  return resident * sysconf(_SC_PAGESIZE);
}

// Received text in 4 KB blocks (one socket read each), through the
// interpreter, the render list and the store; the view is state.range(0)
// pixels wide with 8-pixel characters.
void BM_DisplaySocketData(benchmark::State &state)
{
  const std::string text = game_text(8 << 20);
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<vesk_textctrl_store>();
    store->view_width = (int)state.range(0);
    store->view_height = 1080;
    set_widths(*store, 8, 16);
    auto display = std::make_unique<vesk_ansi_interpreter>(store.get());
    display->reset_colors();
    state.ResumeTiming();
    for (size_t at = 0; at < text.size(); at += 4096) {
      size_t n = text.size() - at < 4096 ? text.size() - at : 4096;
      display->display_socket_data(text.data() + at, (int)n);
    }
    state.PauseTiming();
    display.reset();
    store.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)text.size());
  state.counters["escape_share"] = escape_fraction(text);
}
BENCHMARK(BM_DisplaySocketData)->Arg(1900)->Arg(640)->Unit(benchmark::kMillisecond);

// The same through the display window the client uses (text control 1900
// pixels wide, the client's default text font); appending does not paint.
void BM_DisplaySocketDataWindow(benchmark::State &state)
{
  if (!have_display) {
    state.SkipWithError("needs an X display (run under xvfb-run)");
    return;
  }
  vesk_font font(10, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxEmptyString,
                 wxFONTENCODING_DEFAULT);
  wxFrame *frame = new wxFrame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(1000, 800));
  new wxWindow(frame, wxID_ANY);  // keeps the frame from sizing its only child
  const std::string text = game_text(8 << 20);
  for (auto _ : state) {
    state.PauseTiming();
    auto *display = new vesk_ansi_display(frame, wxID_ANY, "bench display");
    display->set_initial_font(&font);
    display->set_scrollbar_enable(0);
    display->framed = 0;
    display->SetSize(0, 0, 1900, 1000);
    state.ResumeTiming();
    for (size_t at = 0; at < text.size(); at += 4096) {
      size_t n = text.size() - at < 4096 ? text.size() - at : 4096;
      display->display_socket_data(text.data() + at, (int)n);
    }
    state.PauseTiming();
    display->Destroy();
    wxTheApp->ProcessPendingEvents();
    state.ResumeTiming();
  }
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)text.size());
  frame->Destroy();
}
BENCHMARK(BM_DisplaySocketDataWindow)->Unit(benchmark::kMillisecond);

// A width change with 100 000 lines in the store, between 1900 pixels and
// state.range(0) pixels (1700: no line wraps at either width; 640: the
// longer lines wrap at 80 characters).
void BM_Relayout100k(benchmark::State &state)
{
  vesk_textctrl_store store;
  store.view_width = 1900;
  store.view_height = 1080;
  set_widths(store, 8, 16);
  vesk_ansi_interpreter display(&store);
  display.reset_colors();
  std::string text = game_text(100000 * 80);
  display.display_socket_data(text.data(), (int)text.size());
  // Exactly 100 000 lines.
  while (store.last_line < 100000)
    display.write("one more line of text to round the count\n");
  const int stored = store.last_line;
  const int other = (int)state.range(0);
  int width = 1900;
  for (auto _ : state) {
    width = width == 1900 ? other : 1900;
    store.view_width = width;
    store.recalc_line_sizes();
  }
  state.counters["stored_lines"] = stored;
}
BENCHMARK(BM_Relayout100k)->Arg(1700)->Arg(640)->Unit(benchmark::kMillisecond);

// Memory per stored line for 1 000 000 lines received as game text (render
// list, raw chunks and line chunks together): the growth of the resident set
// (meaningful when this benchmark runs alone, in a fresh process) and of the
// heap bytes in use.
void BM_MemoryPerLine(benchmark::State &state)
{
  const std::string chunk = game_text(8 << 20, 777);
  for (auto _ : state) {
    long before = resident_bytes();
    struct mallinfo2 mi = mallinfo2();
    size_t heap_before = mi.uordblks + mi.hblkhd;
    auto store = std::make_unique<vesk_textctrl_store>();
    store->view_width = 1900;
    store->view_height = 1080;
    set_widths(*store, 8, 16);
    auto display = std::make_unique<vesk_ansi_interpreter>(store.get());
    display->reset_colors();
    size_t lines_in_chunk = 0;
    for (char c : chunk)
      lines_in_chunk += c == '\n';
    long text_bytes = 0;
    while (store->last_line < 1000000) {
      for (size_t at = 0; at < chunk.size() && store->last_line < 1000000; at += 4096) {
        size_t n = chunk.size() - at < 4096 ? chunk.size() - at : 4096;
        display->display_socket_data(chunk.data() + at, (int)n);
        text_bytes += (long)n;
      }
    }
    long after = resident_bytes();
    mi = mallinfo2();
    size_t heap_after = mi.uordblks + mi.hblkhd;
    state.counters["lines"] = store->last_line;
    state.counters["rss_bytes_per_line"] = (double)(after - before) / store->last_line;
    state.counters["heap_bytes_per_line"] = (double)(heap_after - heap_before) / store->last_line;
    state.counters["received_bytes_per_line"] = (double)text_bytes / store->last_line;
    state.counters["render_entries_per_line"] = (double)display->render_list_length() / store->last_line;
    state.counters["line_chunks_per_line"] = (double)store->count_line_chunks() / store->last_line;
    benchmark::DoNotOptimize(lines_in_chunk);
  }
}
BENCHMARK(BM_MemoryPerLine)->Iterations(1)->Unit(benchmark::kMillisecond);

// A full repaint of a 1920 x 1080 view full of coloured text with the
// client's default text font.
void BM_FullRepaint1080p(benchmark::State &state)
{
  if (!have_display) {
    state.SkipWithError("needs an X display (run under xvfb-run)");
    return;
  }
  vesk_font font(10, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxEmptyString,
                 wxFONTENCODING_DEFAULT);
  wxFrame *frame = new wxFrame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(1000, 800));
  auto *display = new vesk_ansi_display(frame, wxID_ANY, "bench display");
  new wxWindow(frame, wxID_ANY);  // keeps the frame from sizing its only child
  display->set_initial_font(&font);
  display->set_scrollbar_enable(0);
  display->framed = 0;
  display->SetSize(0, 0, 1920, 1080);
  vesk_textctrl *tc = display->text_control;
  // Long lines so that the whole width is covered.
  std::string text = game_text(2 << 20);
  display->display_socket_data(text.data(), (int)text.size());
  std::string wide;
  for (int i = 0; i < 200; ++i) {
    std::string one = game_text(400, 99 + i);
    for (char &c : one)
      if (c == '\r' || c == '\n')
        c = ' ';
    wide += one + "\n";
  }
  display->display_socket_data(wide.data(), (int)wide.size());
  display->scroll_to_bottom();
  long glyphs = 0;
  for (int i = tc->bottom_line - tc->get_visible_line_count(); i <= tc->bottom_line; ++i)
    glyphs += tc->line_length(i);
  for (auto _ : state)
    tc->repaint_dc(*tc->bitmap);
  state.counters["visible_lines"] = tc->get_visible_line_count();
  state.counters["glyphs"] = (double)glyphs;
  frame->Destroy();
}
BENCHMARK(BM_FullRepaint1080p)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return run_benchmarks_with_toolkit(argc, argv, false, &have_display, nullptr); }
