#include "net/outgoing_buffer.h"

#include <cstring>

#include "app/debug_log.h"

static void log_overflow() { VESK_LOG(2, "Error in append_outgoing_string() - not enough space in outgoing buffer?\n"); }

void vesk_outgoing_buffer::append_string(const char *text)
{
  if (!text)
    return;
  int n = (int)std::strlen(text);
  int space = free_space();
  if (n >= space) {
    log_overflow();
    n = space;
  }
  std::memcpy(bytes + length, text, (size_t)n);
  length += n;
}

void vesk_outgoing_buffer::append_line(const char *text)
{
  append_string(text);
  int space = free_space();
  if (space > 1) {
    bytes[length++] = '\n';
  } else if (space == 1) {
    // The newline still fits, but the buffer is now full.
    bytes[length++] = '\n';
    log_overflow();
  } else {
    log_overflow();
  }
}

void vesk_outgoing_buffer::remove_front(int n)
{
  if (n <= 0)
    return;
  if (n >= length) {
    length = 0;
    return;
  }
  std::memmove(bytes, bytes + n, (size_t)(length - n));
  length -= n;
}
