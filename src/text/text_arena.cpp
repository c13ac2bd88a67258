#include "text/text_arena.h"

#include <cstdlib>
#include <cstring>

#include "app/debug_log.h"

namespace {

const size_t header_bytes = 16;  // keeps the data 8-aligned after the header

size_t round8(size_t n) { return (n + 7) & ~(size_t)7; }

} // namespace

vesk_text_arena::vesk_text_arena(size_t block_bytes)
    : block_bytes_(block_bytes), used_(nullptr), spare_(nullptr), pos_(nullptr), end_(nullptr), reserved_(0)
{
}

vesk_text_arena::~vesk_text_arena() { release(); }

vesk_text_arena::block *vesk_text_arena::new_block(size_t size)
{
  void *memory = std::malloc(header_bytes + size);
  if (!memory) {
    library_code_notify("Error in vesk_text_arena, out of memory for text.", NOTIFY_ALLOC, 0);
    std::abort();
  }
  block *b = static_cast<block *>(memory);
  b->size = size;
  reserved_ += header_bytes + size;
  return b;
}

void *vesk_text_arena::allocate(size_t bytes)
{
  bytes = round8(bytes ? bytes : 1);
  if ((size_t)(end_ - pos_) < bytes || !pos_) {
    block *b;
    if (bytes > block_bytes_ / 4) {
      // A big request gets a block of its own behind the current one, so the
      // rest of the current block stays in use.
      b = new_block(bytes);
      if (used_) {
        b->next = used_->next;
        used_->next = b;
      } else {
        b->next = nullptr;
        used_ = b;
        pos_ = end_ = reinterpret_cast<char *>(b) + header_bytes + bytes;
      }
      return reinterpret_cast<char *>(b) + header_bytes;
    }
    if (spare_) {
      b = spare_;
      spare_ = spare_->next;
    } else {
      b = new_block(block_bytes_);
    }
    b->next = used_;
    used_ = b;
    pos_ = reinterpret_cast<char *>(b) + header_bytes;
    end_ = pos_ + b->size;
  }
  void *p = pos_;
  pos_ += bytes;
  return p;
}

char *vesk_text_arena::copy(const char *text, int length)
{
  char *p = static_cast<char *>(allocate((size_t)length + 1));
  std::memcpy(p, text, (size_t)length);
  p[length] = 0;
  return p;
}

void vesk_text_arena::reset()
{
  while (block *b = used_) {
    used_ = b->next;
    if (b->size == block_bytes_) {
      b->next = spare_;
      spare_ = b;
    } else {
      reserved_ -= header_bytes + b->size;
      std::free(b);
    }
  }
  pos_ = end_ = nullptr;
}

void vesk_text_arena::release()
{
  reset();
  while (block *b = spare_) {
    spare_ = b->next;
    std::free(b);
  }
  reserved_ = 0;
}
