// Random bytes through the stream demultiplexer and on into the ANSI text
// display (interpreter, render list and text store, without a window), in
// blocks cut at random points. Checks every report against the promises of
// the sink interface, and checks that the same bytes fed as one block give
// the same text, records and echo switches in the same order, and the same
// text in the display. Colour-flash events go to the store's flash parser.
//
// Build (clang): cmake -S . -B build-fuzz -G Ninja -DOMBRITH_FUZZ=ON ...
// Run: mkdir -p fuzz-corpus && cp -r fuzz/seeds/stream_demux fuzz-corpus/
//      build-fuzz/fuzz_stream_demux_fuzz -max_total_time=600 fuzz-corpus/stream_demux
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "app/debug_log.h"
#include "net/stream_demux.h"
#include "text/ansi_interpreter.h"
#include "text/ansi_palette.h"
#include "text/text_store.h"

namespace {

void check(bool ok)
{
  if (!ok)
    __builtin_trap();
}

// A text store laid out as an 80-column view with fixed-width characters.
// Making one costs far more than the rest of a run (its line array), so the
// two stores live for the whole process and are cleared before each input,
// which leaves them as a new one would be. The interpreter is new each time.
vesk_textctrl_store &shared_store(int which)
{
  static vesk_textctrl_store *stores[2];
  if (!stores[which]) {
    stores[which] = new vesk_textctrl_store;
    int widths[256];
    for (int &w : widths)
      w = 8;
    stores[which]->view_width = 640;
    stores[which]->view_height = 400;
    stores[which]->set_char_metrics(widths, 16);
  }
  return *stores[which];
}

struct display_under_test {
  vesk_textctrl_store &store;
  vesk_ansi_interpreter display;

  explicit display_under_test(int which) : store(shared_store(which)), display(&store)
  {
    store.Clear();
    store.free_flash_list();
    store.text_color = vesk_color(255, 255, 255);
    display.reset_colors();
  }

  // Everything the display recorded, pending run included.
  std::string text() const
  {
    std::string t;
    for (const vesk_render_list *e = display.render_first; e; e = e->next)
      t.append(e->text, (size_t)e->length);
    return t + display.pending_run;
  }
};

struct checking_sink : vesk_stream_demux_sink {
  std::vector<std::string> events; // merged text runs, records, echo switches
  int bells = 0;
  display_under_test screen;

  explicit checking_sink(int which) : screen(which) {}

  void add_text(const std::string &t)
  {
    if (!events.empty() && events.back()[0] == 'T')
      events.back() += t;
    else
      events.push_back("T" + t);
  }
  void demux_text_run(const char *text, int length) override
  {
    check(length > 0 && length <= vesk_stream_demux::TEXT_RUN_SIZE);
    check(text[length] == 0);
    add_text(std::string(text, (size_t)length));
    screen.display.display_socket_data(text, length);
  }
  void demux_record(const char *name, const char *data, int length) override
  {
    size_t name_length = std::strlen(name);
    check(name_length < vesk_stream_demux::NAME_SIZE - 1);
    check(!std::memchr(name, ';', name_length));
    check(length >= 0 && length < vesk_stream_demux::DATA_SIZE);
    check(data[length] == 0);
    check(!std::memchr(data, ';', (size_t)length));
    check(!std::memchr(data, '\r', (size_t)length));
    events.push_back("R" + std::string(name) + "|" + std::string(data, (size_t)length));
    // A colour flash: parsed, then a few steps of it run.
    if (std::strcmp(name, "event") == 0 && std::strncmp(data, "colorflash ", 11) == 0) {
      int total = 0;
      screen.store.add_colorflash(data + 11, &total);
      for (int i = 0; i < 4; ++i)
        screen.store.calc_colorflash_color();
      screen.store.free_flash_list();
    }
  }
  void demux_local_echo(int enable) override
  {
    check(enable == 0 || enable == 1);
    events.push_back(enable ? "E1" : "E0");
  }
  void demux_bell() override { ++bells; }
};

bool valid_state(int s)
{
  return s == 1 || s == 10 || s == 11 || s == 20 || s == 21 || s == 22 || s == 23 || s == 30;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  // Level 2 runs the warning paths too; their text goes nowhere.
  vesk_client_set_debug_logfile_name("/dev/null");
  vesk_client_debug_log_level = 2;
  set_ansi_palette(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  FuzzedDataProvider input(data, size);
  int cut_count = input.ConsumeIntegralInRange<int>(0, 24);
  std::vector<uint16_t> cuts;
  for (int i = 0; i < cut_count; ++i)
    cuts.push_back(input.ConsumeIntegral<uint16_t>());
  std::string stream = input.ConsumeRemainingBytesAsString();
  // Long runs of one byte reach the length limits of names and data cheaply.
  if (!stream.empty() && (unsigned char)stream[0] == 0xf0 && stream.size() >= 3)
    stream = stream.substr(3) + std::string((unsigned char)stream[1] * 64u, stream[2]);

  std::vector<size_t> points;
  for (uint16_t c : cuts)
    points.push_back(stream.empty() ? 0 : c % (stream.size() + 1));
  std::sort(points.begin(), points.end());

  checking_sink split_sink(0);
  vesk_stream_demux split(&split_sink);
  size_t at = 0;
  for (size_t p : points) {
    split.process_socket_data(stream.data() + at, (int)(p - at));
    check(valid_state(split.state));
    at = p;
  }
  split.process_socket_data(stream.data() + at, (int)(stream.size() - at));
  check(valid_state(split.state));

  checking_sink whole_sink(1);
  vesk_stream_demux whole(&whole_sink);
  whole.process_socket_data(stream.data(), (int)stream.size());

  check(split_sink.events == whole_sink.events);
  check(split_sink.bells == whole_sink.bells);
  check(split.state == whole.state);
  check(std::strcmp(split.start_name, whole.start_name) == 0);
  check(std::strcmp(split.end_name, whole.end_name) == 0);
  // The display reads escape sequences across runs: however the runs were
  // cut, it shows the same text in the same number of lines.
  check(split_sink.screen.text() == whole_sink.screen.text());
  check(split_sink.screen.store.last_line == whole_sink.screen.store.last_line);
  return 0;
}
