#include "util/containers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/debug_log.h"

VoidPointerArray::VoidPointerArray() : storage(inline_slots), capacity(inline_capacity), count(0) {}

VoidPointerArray::~VoidPointerArray()
{
  if (storage != inline_slots)
    std::free(storage);
  storage = inline_slots;
  capacity = inline_capacity;
  count = 0;
}

int VoidPointerArray::push(void *p)
{
  if (count >= capacity) {
    // Double the slot array; the inline slots are never freed.
    void **grown = nullptr;
    int32_t doubled = 0;
    if (capacity <= INT32_MAX / 2) {
      doubled = capacity * 2;
      grown = static_cast<void **>(std::malloc(sizeof(void *) * (size_t)doubled));
    }
    if (!grown) {
      // The entry is dropped; the array keeps what it holds and stays usable.
      char msg[160];
      std::snprintf(msg, sizeof(msg), "Error in VoidPointerArray::push(), unable to grow to %d entries.",
                    (int)doubled);
      library_code_notify(msg, 1, 0);
      return 0;
    }
    std::memcpy(grown, storage, sizeof(void *) * (size_t)count);
    if (storage != inline_slots)
      std::free(storage);
    storage = grown;
    capacity = doubled;
  }
  storage[count++] = p;
  return 1;
}

// ---------------------------------------------------------------------------

enum { initial_hash_table_capacity = 256, long_bucket_report_threshold = 51 };

VoidPointerHashTable::VoidPointerHashTable(hash_thing_function thing_hash, hash_key_function key_hash,
                                           hash_match_function key_match)
    : buckets(nullptr), capacity(initial_hash_table_capacity), mask(initial_hash_table_capacity - 1), count(0),
      thing_hash(thing_hash), key_hash(key_hash), key_match(key_match)
{
  buckets = static_cast<node **>(std::calloc(capacity, sizeof(node *)));
  if (!buckets) {
    library_code_notify("Error in VoidPointerHashTable(), initial table alloc failed.", 1, 0);
    capacity = 0;
    mask = 0;
  }
}

VoidPointerHashTable::~VoidPointerHashTable()
{
  clear();
  std::free(buckets);
  buckets = nullptr;
  capacity = 0;
  mask = 0;
  count = 0;
  thing_hash = nullptr;
  key_hash = nullptr;
  key_match = nullptr;
}

void VoidPointerHashTable::add(hash_table_thing *thing)
{
  if (!buckets)
    return;  // the table could not be set up; the owner was told at construction
  if (count > capacity / 2)
    expand_hash_table();

  uint32_t hash = thing_hash(thing);
  uint32_t index = hash & mask;
  int found = 0;
  for (node *n = buckets[index]; n; n = n->next) {
    if (n->thing == thing) {
      library_code_notify("Error in VoidPointerHashTable::add(), attempt to add duplicate thing.", 4, 0);
      return;
    }
    ++found;
  }
  if (found >= long_bucket_report_threshold) {
    char msg[160];
    std::snprintf(msg, sizeof(msg), "Error in VoidPointerHashTable::add(), found %d things in bucket %d.", found,
                  (int)index);
    library_code_notify(msg, 8, 0);
  }

  node *fresh = static_cast<node *>(std::malloc(sizeof(node)));
  if (!fresh) {
    library_code_notify("Error in VoidPointerHashTable::add(), node alloc failed.", 1, 0);
    return;
  }
  fresh->hash = hash;
  fresh->thing = thing;
  fresh->next = buckets[index];
  buckets[index] = fresh;
  ++count;
}

hash_table_thing *VoidPointerHashTable::get(const hash_table_key *key) const
{
  if (!buckets)
    return nullptr;
  for (node *n = buckets[key_hash(key) & mask]; n; n = n->next) {
    if (key_match(n->thing, key))
      return n->thing;
  }
  return nullptr;
}

int VoidPointerHashTable::remove(const hash_table_thing *thing)
{
  if (!buckets)
    return 0;
  for (node **link = &buckets[thing_hash(thing) & mask]; *link; link = &(*link)->next) {
    node *n = *link;
    if (n->thing == thing) {
      *link = n->next;
      std::free(n);
      --count;
      return 1;
    }
  }
  return 0;
}

void VoidPointerHashTable::clear()
{
  if (!buckets)
    return;
  for (uint32_t i = 0; i < capacity; ++i) {
    node *n = buckets[i];
    while (n) {
      node *next = n->next;
      std::free(n);
      n = next;
    }
    buckets[i] = nullptr;
  }
  count = 0;
}

void VoidPointerHashTable::expand_hash_table()
{
  if (!buckets)
    return;
  uint32_t new_capacity = capacity * 2;
  node **grown = nullptr;
  if (new_capacity > capacity)
    grown = static_cast<node **>(std::calloc(new_capacity, sizeof(node *)));
  if (!grown) {
    // The old buckets, capacity and mask stay in use; chains just get longer.
    char msg[200];
    std::snprintf(msg, sizeof(msg),
                  "Error in VoidPointerHashTable::expand_hash_table(), unable to allocate table of size %d.  Using "
                  "old table.",
                  (int)new_capacity);
    library_code_notify(msg, 2, 0);
    return;
  }
  uint32_t new_mask = new_capacity - 1;
  // Move every node by its stored hash, so the owner's functions are not called.
  for (uint32_t i = 0; i < capacity; ++i) {
    node *n = buckets[i];
    while (n) {
      node *next = n->next;
      uint32_t index = n->hash & new_mask;
      n->next = grown[index];
      grown[index] = n;
      n = next;
    }
  }
  std::free(buckets);
  buckets = grown;
  capacity = new_capacity;
  mask = new_mask;
}

// ---------------------------------------------------------------------------

static inline uint32_t hash_mix(uint32_t h, uint8_t b)
{
  h += b;
  h *= 1025u;
  h ^= h >> 6;
  return h;
}

static inline uint32_t hash_finish(uint32_t h)
{
  h *= 9u;
  h ^= h >> 11;
  h *= 32769u;
  return h;
}

uint32_t calc_string_uint32_hash(const char *s)
{
  uint32_t h = 0x5D3B915Du;
  uint32_t n = 0;
  if (s) {
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(s); *p; ++p, ++n)
      h = hash_mix(h, *p);
  }
  for (int i = 0; i < 4; ++i)
    h = hash_mix(h, (uint8_t)(n >> (8 * i)));
  return hash_finish(h);
}

uint32_t calc_data_uint32_hash(const void *data, int32_t length)
{
  uint32_t h = 0x5D3B915Du + (uint32_t)length;
  if (data) {
    const unsigned char *p = static_cast<const unsigned char *>(data);
    for (int32_t i = 0; i < length; ++i)
      h = hash_mix(h, p[i]);
  }
  return hash_finish(h);
}
