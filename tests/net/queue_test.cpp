// The pooled block queue: block boundaries, the block limit, reading across
// blocks, lines, and reuse of freed blocks.
#include <gtest/gtest.h>
#include <string>

#include "net/socket_data_queue.h"
#include "test_support.h"

namespace {

const int block = private_socket_queue_buffer::data_size; // 4072

std::string numbered(size_t n, size_t from = 0)
{
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i)
    s[i] = (char)('A' + (from + i) % 23);
  return s;
}

} // namespace

TEST(SocketDataQueue, BlockBoundaryAndLimit)
{
  vesk_socket_data_queue q(2);
  std::string data = numbered(2 * block + 1);

  EXPECT_EQ(block, q.store(data.data(), block));
  EXPECT_EQ(1, q.block_count);
  EXPECT_EQ(nullptr, q.tail) << "a full block is no longer written";
  EXPECT_EQ(1, q.store(data[block]));
  EXPECT_EQ(2, q.block_count) << "byte 4073 starts a second block";

  // Byte 8145 would need a third block.
  EXPECT_EQ(block - 1, q.store(data.data() + block + 1, block - 1));
  EXPECT_EQ(2 * block, q.get_data_size());
  EXPECT_EQ(0, q.full);
  EXPECT_EQ(0, q.store(data[2 * block]));
  EXPECT_EQ(1, q.full);
  EXPECT_EQ(0, q.store("more", 4)) << "refused byte by byte";
  EXPECT_EQ(2 * block, q.get_data_size()) << "nothing stored is lost";

  std::string out(block, '\0');
  EXPECT_EQ(block, q.read_block(&out[0], block));
  EXPECT_EQ(data.substr(0, block), out);
  EXPECT_EQ(1, q.block_count) << "the read block went back to the pool";
  EXPECT_EQ(0, q.full);
  EXPECT_EQ(1, q.store(data[2 * block]));

  out.assign(block + 1, '\0');
  EXPECT_EQ(block + 1, q.read_block(&out[0], block + 10));
  EXPECT_EQ(data.substr(block), out);
  EXPECT_TRUE(q.is_empty());
  EXPECT_EQ(0, q.get_data_size());
}

TEST(SocketDataQueue, ReadingStopsAtTheBlockBeingWritten)
{
  vesk_socket_data_queue q;
  std::string data = numbered(5000);
  ASSERT_EQ(5000, q.store(data.data(), 5000));
  std::string out(6000, '\0');
  EXPECT_EQ(3000, q.read_block(&out[0], 3000));
  EXPECT_EQ(2000, q.read_block(&out[3000], 3000));
  EXPECT_EQ(data, out.substr(0, 5000));
  EXPECT_EQ(0, q.read_block(&out[0], 10));
  EXPECT_TRUE(q.is_empty());
  EXPECT_EQ(1, q.block_count) << "the emptied block being written stays as the head";

  ASSERT_EQ(5, q.store("later"));
  EXPECT_FALSE(q.is_empty());
  EXPECT_EQ(5, q.read_block(&out[0], 10));
  EXPECT_EQ("later", out.substr(0, 5));
}

TEST(SocketDataQueue, GetLine)
{
  vesk_socket_data_queue q;
  Buffer line;
  q.store("abc\ndef");
  EXPECT_EQ(3, q.get_line(line));
  EXPECT_STREQ("abc", line.text);
  EXPECT_EQ(3, q.get_line(line)) << "a partial line is taken too";
  EXPECT_STREQ("def", line.text);
  EXPECT_EQ(0, q.get_line(line));
  EXPECT_STREQ("", line.text);

  q.store("\nx\n");
  EXPECT_EQ(0, q.get_line(line)) << "an empty line";
  EXPECT_EQ(1, q.get_line(line));
  EXPECT_STREQ("x", line.text);
  EXPECT_TRUE(q.is_empty());

  // A line across block boundaries, longer than a Buffer holds.
  std::string long_line = numbered(7000);
  q.store(long_line.c_str());
  q.store("\nnext\n");
  {
    log_capture log(1);
    EXPECT_EQ(5999, q.get_line(line));
    EXPECT_NE(std::string::npos, log.text().find("Warning in vesk_socket_data_queue::get_line(), dest buffer full."));
  }
  EXPECT_EQ(long_line.substr(0, 5999), std::string(line.text));
  EXPECT_EQ(1001, q.get_line(line)) << "the rest of the line stayed queued";
  EXPECT_EQ(long_line.substr(5999), std::string(line.text));
  EXPECT_EQ(4, q.get_line(line));
  EXPECT_STREQ("next", line.text);
  EXPECT_TRUE(q.is_empty());
}

TEST(SocketDataQueue, BlocksAreReused)
{
  {
    vesk_socket_data_queue warm;
    std::string data = numbered(3 * block);
    warm.store(data.data(), (int)data.size());
  }
  int pooled = private_socket_queue_buffer::free_count();
  ASSERT_GE(pooled, 3);
  vesk_socket_data_queue q;
  std::string data = numbered(3 * block, 5);
  ASSERT_EQ(3 * block, q.store(data.data(), 3 * block));
  EXPECT_EQ(pooled - 3, private_socket_queue_buffer::free_count()) << "taken from the pool, not allocated";
  std::string out(3 * block, '\0');
  EXPECT_EQ(3 * block, q.read_block(&out[0], 3 * block));
  EXPECT_EQ(data, out) << "reused blocks start empty";
  q.clear();
  EXPECT_EQ(pooled, private_socket_queue_buffer::free_count());
  EXPECT_EQ(0, q.block_count);
  EXPECT_EQ(nullptr, q.head);
}
