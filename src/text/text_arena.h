// Bump allocation for the many small texts of a text store and a render list.
// Texts are never freed one by one: a whole arena is reset when its store is
// laid out again (the blocks are kept and refilled) or released when the
// scrollback is cleared. This saves the per-allocation overhead of the C
// library on millions of short runs, and makes a relayout allocation-free.
#ifndef OMBRITH_TEXT_TEXT_ARENA_H
#define OMBRITH_TEXT_TEXT_ARENA_H

#include <cstddef>

class vesk_text_arena {
public:
  explicit vesk_text_arena(size_t block_bytes = 65536);
  ~vesk_text_arena();
  vesk_text_arena(const vesk_text_arena &) = delete;
  vesk_text_arena &operator=(const vesk_text_arena &) = delete;

  // `bytes` of storage aligned to 8.
  void *allocate(size_t bytes);
  // A NUL-terminated copy of `length` bytes.
  char *copy(const char *text, int length);
  // Forgets every allocation but keeps the blocks for reuse.
  void reset();
  // Forgets every allocation and frees the blocks.
  void release();

  size_t bytes_reserved() const { return reserved_; }

private:
  struct block {
    block *next;
    size_t size;
  };
  block *new_block(size_t size);

  size_t block_bytes_;
  block *used_;    // blocks in use, current first
  block *spare_;   // blocks kept by reset()
  char *pos_;
  char *end_;
  size_t reserved_;
};

#endif
