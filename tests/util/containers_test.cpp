// Buffer, the pointer arrays, the hash table and the two hashes.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "test_support.h"
#include "util/buffer.h"
#include "util/containers.h"

TEST(Buffer, AppendCutsAtCapacityAndThenStaysFull)
{
  std::string long_text(6000, 'x');
  Buffer b;
  b.append(long_text.c_str());
  EXPECT_EQ(b.length, 6000);
  EXPECT_EQ(std::strlen(b.text), 5999u);
  EXPECT_EQ(b.text[5999], 0);

  b.append("y");
  EXPECT_EQ(b.length, 6000);
  EXPECT_EQ(std::strlen(b.text), 5999u);
  EXPECT_EQ(b.text[5998], 'x');

  Buffer c;
  c.append(std::string(5990, 'a').c_str());
  EXPECT_EQ(c.length, 5990);
  c.append("0123456789");
  EXPECT_EQ(c.length, 6000);
  EXPECT_EQ(std::string(c.text), std::string(5990, 'a') + "012345678");

  c = "fresh";  // assigning clears first
  EXPECT_EQ(c.length, 5);
  EXPECT_STREQ(c.text, "fresh");
}

TEST(Buffer, AppendCharStopsAt5999WithoutBecomingFull)
{
  Buffer b;
  for (int i = 0; i < 7000; ++i)
    b.append_char('z');
  EXPECT_EQ(b.length, 5999);
  EXPECT_EQ(std::strlen(b.text), 5999u);

  Buffer full;
  full.append(std::string(6000, 'q').c_str());
  full.append_char('r');
  EXPECT_EQ(full.length, 6000);
  EXPECT_EQ(std::strlen(full.text), 5999u);
}

TEST(Buffer, DestroyedBufferReadsDead)
{
  alignas(Buffer) unsigned char storage[sizeof(Buffer)];
  Buffer *b = new (storage) Buffer("still alive");
  b->~Buffer();
  // Read the raw bytes: this is what a stale reference would see.
  const Buffer *stale = reinterpret_cast<const Buffer *>(storage);
  EXPECT_EQ(std::memcmp(stale->text, "dead", 5), 0);
  EXPECT_EQ(stale->length, 4);
}

TEST(PointerArray, GrowsFrom64To128To256KeepingOrder)
{
  static int values[300];
  PointerArray<int> a;
  for (int i = 0; i < 64; ++i)
    a.push(&values[i]);
  EXPECT_EQ(a.capacity, 64);
  void **inline_storage = a.storage;

  a.push(&values[64]);
  EXPECT_EQ(a.capacity, 128);
  EXPECT_NE(a.storage, inline_storage);

  for (int i = 65; i < 128; ++i)
    a.push(&values[i]);
  EXPECT_EQ(a.capacity, 128);
  a.push(&values[128]);
  EXPECT_EQ(a.capacity, 256);

  for (int i = 129; i < 300; ++i)
    a.push(&values[i]);
  EXPECT_EQ(a.capacity, 512);
  ASSERT_EQ(a.count, 300);
  for (int i = 0; i < 300; ++i)
    ASSERT_EQ(a[i], &values[i]) << i;
}

TEST(Hash, KnownValues)
{
  EXPECT_EQ(calc_string_uint32_hash(""), 0x1AAD0981u);
  EXPECT_EQ(calc_string_uint32_hash("abc"), 0x4AF578A2u);
  EXPECT_EQ(calc_data_uint32_hash("abc", 3), 0x98E230CCu);
  // Bytes above 127 are hashed as unsigned values.
  EXPECT_NE(calc_string_uint32_hash("\xE9"), calc_string_uint32_hash("\x69"));
}

// Things stored in the table: a name and the hash function call counter.
namespace {
struct named_thing {
  std::string name;
};

int thing_hash_calls = 0;

uint32_t named_thing_hash(const hash_table_thing *t)
{
  ++thing_hash_calls;
  return calc_string_uint32_hash(reinterpret_cast<const named_thing *>(t)->name.c_str());
}
uint32_t name_key_hash(const hash_table_key *k) { return calc_string_uint32_hash(reinterpret_cast<const char *>(k)); }
int name_matches(const hash_table_thing *t, const hash_table_key *k)
{
  return reinterpret_cast<const named_thing *>(t)->name == reinterpret_cast<const char *>(k);
}
uint32_t constant_hash(const hash_table_thing *) { return 7; }

hash_table_thing *as_thing(named_thing &t) { return reinterpret_cast<hash_table_thing *>(&t); }
const hash_table_key *as_key(const char *s) { return reinterpret_cast<const hash_table_key *>(s); }

class HashTable : public ::testing::Test {
protected:
  HashTable() : table(named_thing_hash, name_key_hash, name_matches)
  {
    things.resize(200);
    for (size_t i = 0; i < things.size(); ++i)
      things[i].name = "sounds/file" + std::to_string(i) + ".ogg";
  }
  VoidPointerHashTable table;
  std::vector<named_thing> things;
};
} // namespace

TEST_F(HashTable, AddGetRemoveClear)
{
  EXPECT_EQ(table.get(as_key("missing")), nullptr);
  for (int i = 0; i < 10; ++i)
    table.add(as_thing(things[i]));
  EXPECT_EQ(table.count, 10u);
  EXPECT_EQ(table.get(as_key("sounds/file3.ogg")), as_thing(things[3]));
  EXPECT_EQ(table.get(as_key("sounds/file30.ogg")), nullptr);

  EXPECT_EQ(table.remove(as_thing(things[3])), 1);
  EXPECT_EQ(table.remove(as_thing(things[3])), 0);
  EXPECT_EQ(table.remove(as_thing(things[50])), 0);
  EXPECT_EQ(table.get(as_key("sounds/file3.ogg")), nullptr);
  EXPECT_EQ(table.count, 9u);

  // A thing with the same key but another identity is a different thing.
  named_thing twin{"sounds/file4.ogg"};
  EXPECT_EQ(table.remove(as_thing(twin)), 0);
  EXPECT_EQ(table.get(as_key("sounds/file4.ogg")), as_thing(things[4]));

  for (int i = 10; i < 150; ++i)
    table.add(as_thing(things[i]));
  EXPECT_EQ(table.capacity, 512u);
  table.clear();
  EXPECT_EQ(table.count, 0u);
  EXPECT_EQ(table.capacity, 512u);
  EXPECT_EQ(table.get(as_key("sounds/file4.ogg")), nullptr);
}

TEST_F(HashTable, DoublesBeforeThe130thAddWithoutRehashing)
{
  for (int i = 0; i < 129; ++i)
    table.add(as_thing(things[i]));
  EXPECT_EQ(table.count, 129u);
  EXPECT_EQ(table.capacity, 256u);  // 128 > 128 was false at the 129th add
  EXPECT_EQ(table.mask, 255u);

  thing_hash_calls = 0;
  table.add(as_thing(things[129]));
  EXPECT_EQ(thing_hash_calls, 1);  // moving the nodes used their stored hashes
  EXPECT_EQ(table.capacity, 512u);
  EXPECT_EQ(table.mask, 511u);
  EXPECT_EQ(table.count, 130u);
  for (int i = 0; i < 130; ++i)
    ASSERT_EQ(table.get(as_key(things[i].name.c_str())), as_thing(things[i])) << i;
}

TEST_F(HashTable, DuplicateAddIsReportedAndIgnored)
{
  log_capture log(1);
  table.add(as_thing(things[0]));
  table.add(as_thing(things[0]));
  EXPECT_EQ(table.count, 1u);
  EXPECT_EQ(log.text(), "Error in VoidPointerHashTable::add(), attempt to add duplicate thing.\n");
  EXPECT_EQ(table.remove(as_thing(things[0])), 1);
  EXPECT_EQ(table.remove(as_thing(things[0])), 0);
}

TEST_F(HashTable, LongBucketIsReportedButStillAdded)
{
  log_capture log(1);
  VoidPointerHashTable crowded(constant_hash, name_key_hash, name_matches);
  for (int i = 0; i < 51; ++i)
    crowded.add(as_thing(things[i]));
  EXPECT_EQ(log.text(), "");
  crowded.add(as_thing(things[51]));
  crowded.add(as_thing(things[52]));
  EXPECT_EQ(crowded.count, 53u);
  EXPECT_EQ(log.text(), "Error in VoidPointerHashTable::add(), found 51 things in bucket 7.\n"
                        "Error in VoidPointerHashTable::add(), found 52 things in bucket 7.\n");
}
