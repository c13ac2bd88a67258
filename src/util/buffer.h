// Fixed-capacity text buffer: a NUL-terminated string of at most 5999
// characters that never touches the heap. Appending cuts at the capacity.
#ifndef OMBRITH_UTIL_BUFFER_H
#define OMBRITH_UTIL_BUFFER_H

#include <cstring>

class Buffer {
public:
  enum { capacity = 6000 };

  // Text, always NUL-terminated. Callers may write it directly and then set
  // `length` themselves.
  char text[capacity];
  // Characters in `text`, or `capacity` once an append had to cut (full state).
  int length;

  Buffer() : length(0) { text[0] = 0; }
  Buffer(const Buffer &other) : length(other.length) { std::memcpy(text, other.text, sizeof(text)); }
  explicit Buffer(const char *s) : length(0) { text[0] = 0; append(s); }
  Buffer &operator=(const Buffer &other)
  {
    if (this != &other) {
      std::memcpy(text, other.text, sizeof(text));
      length = other.length;
    }
    return *this;
  }
  Buffer &operator=(const char *s)
  {
    clear();
    append(s);
    return *this;
  }
  ~Buffer()
  {
    // A stale reference to a destroyed buffer reads "dead".
    std::memcpy(text, "dead", 5);
    length = 4;
    // Stores into an object that is going away count as dead to the
    // optimiser; the empty asm keeps them so the marker really is written.
    __asm__ __volatile__("" : : "r"(this) : "memory");
  }

  void clear()
  {
    length = 0;
    text[0] = 0;
  }

  // Appends s; if the text would pass 5999 characters it keeps the first 5999
  // and the buffer becomes full (length == capacity).
  void append(const char *s)
  {
    if (!s)
      return;
    while (length < capacity) {
      char c = *s++;
      text[length] = c;
      if (!c)
        return;
      ++length;
    }
    text[capacity - 1] = 0;
  }

  // Appends one character while there is room for it and the NUL.
  void append_char(char c)
  {
    if (length <= capacity - 2) {
      text[length++] = c;
      text[length] = 0;
    }
  }

  const char *c_str() const { return text; }
  bool is_full() const { return length >= capacity; }
};

#endif
