// Cost of composing text in a Buffer, of the string hash, of the hash table
// (the soundpack manifest's index) and of the URL finder.
#include <benchmark/benchmark.h>

#include "util/buffer.h"
#include "util/containers.h"
#include "util/strings.h"

#include <string>
#include <vector>

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

static void BM_StringHash(benchmark::State &state)
{
  const char *name = "sounds/combat/sword_hit_metal_03.ogg";
  for (auto _ : state)
    benchmark::DoNotOptimize(calc_string_uint32_hash(name));
  state.SetBytesProcessed(state.iterations() * 36);
}
BENCHMARK(BM_StringHash);

namespace {
struct entry {
  std::string name;
};
uint32_t entry_hash(const hash_table_thing *t)
{
  return calc_string_uint32_hash(reinterpret_cast<const entry *>(t)->name.c_str());
}
uint32_t key_hash(const hash_table_key *k) { return calc_string_uint32_hash(reinterpret_cast<const char *>(k)); }
int key_match(const hash_table_thing *t, const hash_table_key *k)
{
  return reinterpret_cast<const entry *>(t)->name == reinterpret_cast<const char *>(k);
}
} // namespace

// Building an index of n manifest entries and looking each one up once.
static void BM_HashTableBuildAndLookUp(benchmark::State &state)
{
  std::vector<entry> entries((size_t)state.range(0));
  for (size_t i = 0; i < entries.size(); ++i)
    entries[i].name = "sounds/area" + std::to_string(i % 37) + "/file" + std::to_string(i) + ".ogg";
  for (auto _ : state) {
    VoidPointerHashTable table(entry_hash, key_hash, key_match);
    for (entry &e : entries)
      table.add(reinterpret_cast<hash_table_thing *>(&e));
    for (entry &e : entries)
      benchmark::DoNotOptimize(table.get(reinterpret_cast<const hash_table_key *>(e.name.c_str())));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HashTableBuildAndLookUp)->Arg(1000)->Arg(20000);

// The text view asks for the URL under the mouse in a long line.
static void BM_UrlFinder(benchmark::State &state)
{
  std::string line = "You hear someone say: the new maps are at (https://www.example.org/maps/index.html), "
                     "have a look at them before the next quest starts.";
  int position = (int)line.find("maps/index");
  for (auto _ : state) {
    Buffer out;
    int start, end;
    benchmark::DoNotOptimize(vesk_extract_url_from_string(out, line.c_str(), position, &start, &end));
  }
}
BENCHMARK(BM_UrlFinder);

BENCHMARK_MAIN();
