// Repainting the main window's background for a 1920 x 1080 client area
// (a 2048 x 1280 bitmap) in each style. Needs an X display: run under xvfb-run.
#include <benchmark/benchmark.h>

#include <cstdio>

#include <wx/app.h>
#include <wx/init.h>

#include "gfx/background.h"
#include "gfx/themes.h"
#include "toolkit_bench_main.h"

namespace {

void BM_BackgroundRedraw(benchmark::State &state)
{
  const int style = (int)state.range(0);
  background_cache cache;
  for (auto _ : state)
    background_update(cache, 1920, 1080, 1, style, 2);
  delete cache.bitmap;
}
// 0 None, 1 Solid, 2 Maze1, 3 Maze2, 4 Bubbles, 5 Maze3.
BENCHMARK(BM_BackgroundRedraw)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

} // namespace

namespace {
void set_up_themes()
{
  initialize_themes();
  switch_background_theme_to(2);
}
} // namespace

int main(int argc, char **argv) { return run_benchmarks_with_toolkit(argc, argv, true, nullptr, set_up_themes); }
