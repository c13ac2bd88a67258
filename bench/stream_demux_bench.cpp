// Throughput of the stream demultiplexer alone on realistic game output:
// coloured room text, prompts, an hp record after every output, and every
// few rooms a map, dirs and skystate record. Fed in blocks of 10000 bytes,
// the size the game connection reads per call.
#include <benchmark/benchmark.h>

#include <string>

#include "net/stream_demux.h"

namespace {

struct counting_sink : vesk_stream_demux_sink {
  long long text_bytes = 0;
  long long records = 0;
  void demux_text_run(const char *text, int length) override
  {
    benchmark::DoNotOptimize(text);
    text_bytes += length;
  }
  void demux_record(const char *name, const char *data, int length) override
  {
    benchmark::DoNotOptimize(name);
    benchmark::DoNotOptimize(data);
    (void)length;
    ++records;
  }
  void demux_local_echo(int) override {}
  void demux_bell() override {}
};

std::string record(const std::string &name, const std::string &data)
{
  return ";s" + name + ";" + data + ";e" + name + ";";
}

std::string map_payload()
{
  std::string m = "A";
  for (int line = 0; line < 12 + 11 + 12 + 12; ++line)
    m += std::string(line < 12 ? 11 : 12, line % 5 ? '@' : 'D') + "\n";
  for (int line = 0; line < 11; ++line)
    m += std::string(44, line % 3 ? '@' : 'J') + "\n";
  return m;
}

// About `size` bytes of a game session.
std::string game_output(size_t size)
{
  static const char *const rooms[] = {
      "\x1b[1m\x1b[36mTown Square\x1b[0m\r\n\x1b[37mA wide square of grey flagstones opens around a fountain shaped "
      "like a leaping fish. Market stalls crowd the east side;; the temple steps rise to the west.\x1b[0m\r\n",
      "\x1b[1m\x1b[36mForest Path\x1b[0m\r\n\x1b[32mTall pines close in on a narrow trail.\x1b[37m The wind in the "
      "needles sounds almost like voices.\x1b[0m\r\n\x1b[33mA squirrel\x1b[37m is here, chattering at you.\r\n",
      "\x1b[1m\x1b[36mThe Smithy\x1b[0m\r\n\x1b[37mThe heat of the forge hits you like a wall. \x1b[31mSparks\x1b[37m "
      "fly from the anvil.\x1b[0m\r\n\x1b[1m\x1b[33mBrannoc says, 'Need a blade sharpened?'\x1b[0m\r\n",
  };
  const std::string map = record("map", map_payload());
  std::string out;
  for (int i = 0; out.size() < size; ++i) {
    if (i % 4 == 0)
      out += map + record("dirs", "on CV") + record("skystate", "110 3 845 2:05 pm");
    out += rooms[i % 3];
    out += "\x1b[32m[Exits: north east south west]\x1b[0m\r\n";
    out += record("hp", "120 150 30 40 88 100");
    out += "\r\n\x1b[32m<120hp 30mn 88mv>\x1b[0m ";
  }
  return out;
}

void BM_StreamDemuxGameOutput(benchmark::State &state)
{
  const std::string input = game_output(4 << 20);
  counting_sink sink;
  vesk_stream_demux demux(&sink);
  for (auto _ : state) {
    for (size_t at = 0; at < input.size(); at += 10000) {
      size_t n = input.size() - at < 10000 ? input.size() - at : 10000;
      demux.process_socket_data(input.data() + at, (int)n);
    }
  }
  benchmark::DoNotOptimize(sink.text_bytes);
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)input.size());
  state.counters["records_per_MB"] = (double)sink.records / (double)state.iterations() / (input.size() / 1e6);
}
BENCHMARK(BM_StreamDemuxGameOutput)->Unit(benchmark::kMillisecond);

void BM_StreamDemuxPlainText(benchmark::State &state)
{
  std::string input;
  while (input.size() < (4u << 20))
    input += "The quick brown fox jumps over the lazy dog near the river bank.\r\n";
  counting_sink sink;
  vesk_stream_demux demux(&sink);
  for (auto _ : state) {
    for (size_t at = 0; at < input.size(); at += 10000) {
      size_t n = input.size() - at < 10000 ? input.size() - at : 10000;
      demux.process_socket_data(input.data() + at, (int)n);
    }
  }
  benchmark::DoNotOptimize(sink.text_bytes);
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)input.size());
}
BENCHMARK(BM_StreamDemuxPlainText)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
