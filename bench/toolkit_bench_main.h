// The entry point of benchmarks that draw: the toolkit is started first
// (drawing needs an X display, so run them under xvfb-run), then the
// registered benchmarks run, then the toolkit is shut down.
#ifndef OMBRITH_BENCH_TOOLKIT_BENCH_MAIN_H
#define OMBRITH_BENCH_TOOLKIT_BENCH_MAIN_H

#include <cstdio>

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/init.h>

// Returns the exit status. Without a display, `display_required` makes it a
// failure; otherwise the benchmarks run and skip what needs the display.
// `ready` runs once the toolkit is up (may be null).
inline int run_benchmarks_with_toolkit(int argc, char **argv, bool display_required, bool *have_display,
                                       void (*ready)())
{
  int wx_argc = 1;
  char *wx_argv[] = {argv[0], nullptr};
  wxApp::SetInstance(new wxApp());
  bool display = wxEntryStart(wx_argc, wx_argv);
  if (have_display)
    *have_display = display;
  if (!display && display_required) {
    std::fprintf(stderr, "needs an X display (run under xvfb-run)\n");
    return 1;
  }
  if (display) {
    wxTheApp->CallOnInit();
    if (ready)
      ready();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (display) {
    wxTheApp->OnExit();
    wxEntryCleanup();
  }
  return 0;
}

#endif
