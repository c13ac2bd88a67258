#include "net/socket_data_queue.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "app/debug_log.h"

private_socket_queue_buffer *private_socket_queue_buffer::empty_buffer_list = nullptr;

// The free list is shared by every queue in the process; queues may live on
// different threads.
static std::mutex free_list_lock;
static int free_list_length = 0;

private_socket_queue_buffer *private_socket_queue_buffer::take()
{
  private_socket_queue_buffer *block = nullptr;
  {
    std::lock_guard<std::mutex> hold(free_list_lock);
    if (empty_buffer_list) {
      block = empty_buffer_list;
      empty_buffer_list = block->next;
      --free_list_length;
    }
  }
  if (!block)
    block = static_cast<private_socket_queue_buffer *>(std::malloc(sizeof(private_socket_queue_buffer)));
  if (block) {
    block->write_length = 0;
    block->read_position = 0;
    block->next = nullptr;
  }
  return block;
}

void private_socket_queue_buffer::give_back(private_socket_queue_buffer *block)
{
  if (!block)
    return;
  std::lock_guard<std::mutex> hold(free_list_lock);
  block->next = empty_buffer_list;
  empty_buffer_list = block;
  ++free_list_length;
}

int private_socket_queue_buffer::free_count()
{
  std::lock_guard<std::mutex> hold(free_list_lock);
  return free_list_length;
}

vesk_socket_data_queue::vesk_socket_data_queue(int max_blocks)
    : head(nullptr), tail(nullptr), max_blocks(max_blocks), block_count(0), full(0)
{
}

vesk_socket_data_queue::~vesk_socket_data_queue() { clear(); }

int vesk_socket_data_queue::start_block()
{
  if (max_blocks > 0 && block_count >= max_blocks) {
    full = 1;
    return 0;
  }
  private_socket_queue_buffer *block = private_socket_queue_buffer::take();
  if (!block) {
    library_code_notify("Error in vesk_socket_data_queue::store(), out of memory.", 1, 0);
    return 0;
  }
  if (head) {
    private_socket_queue_buffer *last = head;
    while (last->next)
      last = last->next;
    last->next = block;
  } else {
    head = block;
  }
  tail = block;
  ++block_count;
  full = 0;
  return 1;
}

int vesk_socket_data_queue::store(char c)
{
  if (!tail && !start_block())
    return 0;
  tail->data[tail->write_length++] = c;
  if (tail->write_length >= private_socket_queue_buffer::data_size)
    tail = nullptr;
  return 1;
}

int vesk_socket_data_queue::store(const char *data, int length)
{
  if (!data)
    return 0;
  int stored = 0;
  while (stored < length) {
    if (!tail && !start_block())
      break;
    int room = private_socket_queue_buffer::data_size - tail->write_length;
    int n = length - stored < room ? length - stored : room;
    std::memcpy(tail->data + tail->write_length, data + stored, (size_t)n);
    tail->write_length += n;
    stored += n;
    if (tail->write_length >= private_socket_queue_buffer::data_size)
      tail = nullptr;
  }
  return stored;
}

int vesk_socket_data_queue::store(const char *text) { return text ? store(text, (int)std::strlen(text)) : 0; }

void vesk_socket_data_queue::drop_head()
{
  private_socket_queue_buffer *block = head;
  head = block->next;
  if (tail == block)
    tail = nullptr;
  private_socket_queue_buffer::give_back(block);
  --block_count;
  full = 0;
}

int vesk_socket_data_queue::read_block(char *destination, int n)
{
  if (!head || !destination || n < 1)
    return 0;
  if (head->read_position >= head->write_length) {
    if (head->next)
      library_code_notify("Warning in vesk_socket_data_queue::read_block(), top buffer empty in list of other buffers.",
                          4, 0);
    return 0;
  }
  int moved = 0;
  while (head && moved < n) {
    private_socket_queue_buffer *block = head;
    int available = block->write_length - block->read_position;
    int take = n - moved < available ? n - moved : available;
    std::memcpy(destination + moved, block->data + block->read_position, (size_t)take);
    block->read_position += take;
    moved += take;
    if (block->read_position < block->write_length)
      break;
    if (block->write_length < private_socket_queue_buffer::data_size)
      break; // the block being written stays, empty, as the head
    drop_head();
  }
  return moved;
}

int vesk_socket_data_queue::get_line(Buffer &line)
{
  line.clear();
  int taken = 0;
  while (head) {
    private_socket_queue_buffer *block = head;
    if (block->read_position >= block->write_length) {
      if (block->write_length < private_socket_queue_buffer::data_size)
        break;
      drop_head();
      continue;
    }
    char c = block->data[block->read_position];
    if (c != '\n') {
      if (line.length >= Buffer::capacity - 1) {
        library_code_notify("Warning in vesk_socket_data_queue::get_line(), dest buffer full.", 4, 0);
        return taken;
      }
      line.append_char(c);
      ++taken;
    }
    ++block->read_position;
    if (block->read_position >= block->write_length && block->write_length >= private_socket_queue_buffer::data_size)
      drop_head();
    if (c == '\n')
      break;
  }
  return taken;
}

int vesk_socket_data_queue::get_data_size() const
{
  int size = 0;
  for (private_socket_queue_buffer *b = head; b; b = b->next)
    size += b->write_length - b->read_position;
  return size;
}

int vesk_socket_data_queue::is_empty() const
{
  return !head || (!head->next && head->read_position >= head->write_length);
}

void vesk_socket_data_queue::clear()
{
  while (head)
    drop_head();
  tail = nullptr;
  block_count = 0;
  full = 0;
}
