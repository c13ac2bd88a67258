// Received coloured text through the main window's process_socket_data: the
// stream demultiplexer, the delivery of text runs to the main display (ANSI
// interpreter, render list, store) and the one refresh per received block,
// in blocks of 10000 bytes as the game connection reads them. Needs an X
// display: run under xvfb-run.
#include <benchmark/benchmark.h>

#include <string>

#include <wx/app.h>
#include <wx/init.h>

#include "app/gui_app.h"
#include "app/main_window.h"
#include "game_text.h"
#include "gfx/font.h"
#include "text/ansi_display.h"
#include "toolkit_bench_main.h"

namespace {

bool have_display = false;

void BM_MainWindowProcessSocketData(benchmark::State &state)
{
  if (!have_display) {
    state.SkipWithError("needs an X display (run under xvfb-run)");
    return;
  }
  if (!global_font)
    global_font = new vesk_font(global_font_size, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL,
                                false, wxEmptyString, wxFONTENCODING_DEFAULT);
  vesk_mw *mw = new vesk_mw("Ombrith", wxDefaultPosition, wxSize(984, 728));
  // The window's ticks would connect; only the received-data path runs here.
  mw->main_timer.Stop();
  mw->ping_timer.Stop();
  mw->save_timer.Stop();
  mw->Show(true);
  const std::string text = game_text(8 << 20);
  for (auto _ : state) {
    for (size_t at = 0; at < text.size(); at += 10000) {
      size_t n = text.size() - at < 10000 ? text.size() - at : 10000;
      mw->process_socket_data(text.data() + at, (int)n);
    }
    state.PauseTiming();
    mw->clear_main_scrollback();
    state.ResumeTiming();
  }
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)text.size());
  mw->Destroy();
  wxTheApp->ProcessPendingEvents();
}
BENCHMARK(BM_MainWindowProcessSocketData)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return run_benchmarks_with_toolkit(argc, argv, false, &have_display, nullptr); }
