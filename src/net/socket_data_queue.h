// A first-in first-out byte queue made of fixed-size blocks. Blocks that
// leave a queue go to a process-wide free list and are reused, so steady
// traffic allocates nothing.
#ifndef OMBRITH_NET_SOCKET_DATA_QUEUE_H
#define OMBRITH_NET_SOCKET_DATA_QUEUE_H

#include "util/buffer.h"

class private_socket_queue_buffer {
public:
  enum { data_size = 4072 };

  int write_length; // bytes stored
  int read_position; // bytes taken
  private_socket_queue_buffer *next;
  char data[data_size];

  // A block from the free list (or a new one), emptied; null if memory ran out.
  static private_socket_queue_buffer *take();
  // Puts a block on the free list; it is never returned to the system.
  static void give_back(private_socket_queue_buffer *block);
  // Blocks waiting on the free list.
  static int free_count();

  static private_socket_queue_buffer *empty_buffer_list;
};

class vesk_socket_data_queue {
public:
  // max_blocks 0 or less means no limit.
  explicit vesk_socket_data_queue(int max_blocks = 0);
  ~vesk_socket_data_queue();
  vesk_socket_data_queue(const vesk_socket_data_queue &) = delete;
  vesk_socket_data_queue &operator=(const vesk_socket_data_queue &) = delete;

  // 1 stored, 0 refused (the block limit is reached: the full flag is set).
  int store(char c);
  // Bytes stored before the first refusal.
  int store(const char *data, int length);
  int store(const char *text);

  // Moves up to n bytes out of the queue; returns how many.
  int read_block(char *destination, int n);
  // Takes one line (the newline is consumed, not stored) or, when no newline
  // is queued, everything left. Returns the characters placed in `line`.
  int get_line(Buffer &line);

  int get_data_size() const;
  int is_empty() const;
  void clear();

  private_socket_queue_buffer *head;
  private_socket_queue_buffer *tail; // block being written; null when full or none
  int max_blocks;
  int block_count;
  int full;

private:
  int start_block();
  void drop_head();
};

#endif
