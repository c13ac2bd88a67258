// Growable pointer array (no heap until it holds more than 64 entries) and a
// chained hash table of untyped pointers whose hashing is supplied by the owner.
#ifndef OMBRITH_UTIL_CONTAINERS_H
#define OMBRITH_UTIL_CONTAINERS_H

#include <cstdint>

class VoidPointerArray {
public:
  enum { inline_capacity = 64 };

  VoidPointerArray();
  ~VoidPointerArray();
  VoidPointerArray(const VoidPointerArray &) = delete;
  VoidPointerArray &operator=(const VoidPointerArray &) = delete;

  // Appends p, doubling the slot array when full. Returns 0 (and drops p,
  // with a report) only if the doubled array cannot be allocated.
  int push(void *p);

  void **storage;  // the inline slots until the first growth
  int32_t capacity;
  int32_t count;

private:
  void *inline_slots[inline_capacity];
};

// Typed view of VoidPointerArray; the array does not own what it points to.
template <class T> class PointerArray : public VoidPointerArray {
public:
  int push(const T *p) { return VoidPointerArray::push(const_cast<T *>(p)); }
  const T *get(int index) const { return static_cast<const T *>(storage[index]); }
  const T *operator[](int index) const { return get(index); }
};

struct hash_table_thing;
struct hash_table_key;

typedef uint32_t (*hash_thing_function)(const hash_table_thing *);
typedef uint32_t (*hash_key_function)(const hash_table_key *);
typedef int (*hash_match_function)(const hash_table_thing *, const hash_table_key *);

class VoidPointerHashTable {
public:
  VoidPointerHashTable(hash_thing_function thing_hash, hash_key_function key_hash,
                       hash_match_function key_match);
  ~VoidPointerHashTable();
  VoidPointerHashTable(const VoidPointerHashTable &) = delete;
  VoidPointerHashTable &operator=(const VoidPointerHashTable &) = delete;

  void add(hash_table_thing *thing);
  hash_table_thing *get(const hash_table_key *key) const;
  int remove(const hash_table_thing *thing);
  void clear();
  void expand_hash_table();

  struct node {
    uint32_t hash;
    hash_table_thing *thing;
    node *next;
  };

  node **buckets;
  uint32_t capacity;
  uint32_t mask;
  uint32_t count;
  hash_thing_function thing_hash;
  hash_key_function key_hash;
  hash_match_function key_match;
};

uint32_t calc_string_uint32_hash(const char *s);
uint32_t calc_data_uint32_hash(const void *data, int32_t length);

#endif
