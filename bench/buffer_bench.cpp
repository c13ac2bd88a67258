// Cost of composing text in a Buffer and of the string hash.
#include <benchmark/benchmark.h>

#include "util/buffer.h"
#include "util/containers.h"

static void BM_BufferAppendLine(benchmark::State &state)
{
  for (auto _ : state) {
    Buffer b;
    for (int i = 0; i < 50; ++i)
      b.append("You see a small goblin here. ");
    benchmark::DoNotOptimize(b.length);
  }
  state.SetBytesProcessed(state.iterations() * 50 * 29);
}
BENCHMARK(BM_BufferAppendLine);

BENCHMARK_MAIN();
