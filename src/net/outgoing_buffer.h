// The game connection's outgoing bytes: a fixed 10000-byte array of command
// lines not yet written to the socket. Queuing cuts what does not fit (and
// logs it); a partial write keeps the rest at the front for the next try.
// Nothing is allocated per command.
#ifndef OMBRITH_NET_OUTGOING_BUFFER_H
#define OMBRITH_NET_OUTGOING_BUFFER_H

class vesk_outgoing_buffer {
public:
  enum { CAPACITY = 10000 };

  vesk_outgoing_buffer() : length(0) {}

  // Appends the text as far as it fits.
  void append_string(const char *text);
  // Appends the text and a newline.
  void append_line(const char *text);
  // Drops the first n bytes (written to the socket) and moves the rest to
  // the front.
  void remove_front(int n);
  void clear() { length = 0; }

  const char *data() const { return bytes; }
  int size() const { return length; }
  int free_space() const { return CAPACITY - length; }

private:
  char bytes[CAPACITY];
  int length;
};

#endif
