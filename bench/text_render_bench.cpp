// Glyph text drawing: glyphs per second through the two text operations with
// the default text font, and a full 1920 x 1080 repaint (clear, then text over
// 80 % of the area). Needs an X display: run under xvfb-run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/init.h>

#include "gfx/bitmap.h"
#include "gfx/font.h"
#include "toolkit_bench_main.h"

namespace {

std::unique_ptr<vesk_font> default_font()
{
  // The same font the client starts with as its text font.
  return std::make_unique<vesk_font>(10, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                                     wxEmptyString, wxFONTENCODING_DEFAULT);
}

std::string sample_line(int length)
{
  const char *words = "The goblin hits you with a rusty dagger! You parry. [HP 143/150] ";
  std::string s;
  while ((int)s.size() < length)
    s += words;
  s.resize(length);
  return s;
}

void BM_RenderText(benchmark::State &state)
{
  auto font = default_font();
  std::string line = sample_line(80);
  int w, h;
  font->GetTextSize(line.c_str(), &w, &h);
  vesk_bitmap b(w, h);
  for (auto _ : state)
    b.RenderText(*font, line.c_str(), 0, 0, vesk_LIGHT_GREY, vesk_BLACK);
  state.counters["glyphs/s"] = benchmark::Counter((double)state.iterations() * line.size(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderText);

void BM_RenderTextTransparent(benchmark::State &state)
{
  auto font = default_font();
  std::string line = sample_line(80);
  int w, h;
  font->GetTextSize(line.c_str(), &w, &h);
  vesk_bitmap b(w, h);
  b.Clear(vesk_DARK_GREY);
  for (auto _ : state)
    b.RenderTextTransparent(*font, line.c_str(), 0, 0, vesk_YELLOW);
  state.counters["glyphs/s"] = benchmark::Counter((double)state.iterations() * line.size(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderTextTransparent);

// Short runs, as a text display draws them (one call per colour run).
void BM_RenderTextShortRuns(benchmark::State &state)
{
  auto font = default_font();
  const char *runs[] = {"You ", "hit ", "the ", "goblin", ". "};
  vesk_bitmap b(400, 20);
  size_t glyphs = 0;
  for (auto _ : state) {
    int x = 0;
    for (const char *r : runs) {
      int w, h;
      font->GetTextSize(r, &w, &h);
      b.RenderText(*font, r, x, 0, vesk_WHITE, vesk_BLACK);
      x += w;
      glyphs += std::char_traits<char>::length(r);
    }
  }
  state.counters["glyphs/s"] = benchmark::Counter((double)glyphs, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderTextShortRuns);

void BM_FullScreenClearAndText(benchmark::State &state)
{
  const int W = 1920, H = 1080;
  auto font = default_font();
  int cw, ch;
  font->GetCharacterSize('M', &cw, &ch);
  // Full-width lines over 80 % of the height.
  const int lines = (H * 8 / 10) / ch;
  std::string line = sample_line(W / cw);
  vesk_bitmap b(W, H);
  for (auto _ : state) {
    b.Clear(vesk_BLACK);
    for (int i = 0; i < lines; ++i)
      b.RenderText(*font, line.c_str(), 0, i * ch, vesk_LIGHT_GREY, vesk_BLACK);
  }
  state.counters["glyphs/frame"] = (double)lines * line.size();
  state.counters["covered%"] = 100.0 * lines * ch * ((int)line.size() * cw) / ((double)W * H);
  state.counters["frames/s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullScreenClearAndText)->Unit(benchmark::kMillisecond);

// What a paint costs on top: the toolkit copying the finished bitmap.
void BM_FullScreenCopyToDC(benchmark::State &state)
{
  vesk_bitmap b(1920, 1080);
  wxBitmap target(1920, 1080, 24);
  wxMemoryDC dc(target);
  for (auto _ : state) {
    b.DrawPixel(0, 0, vesk_WHITE); // the pixels changed since the last copy
    dc.DrawBitmap(b, 0, 0, false);
  }
}
BENCHMARK(BM_FullScreenCopyToDC)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return run_benchmarks_with_toolkit(argc, argv, true, nullptr, nullptr); }
