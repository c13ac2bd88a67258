// The game connection's outgoing buffer: lines cut at its capacity with the
// overflow logged, and partial writes keeping the rest for the next try.
#include <gtest/gtest.h>

#include <string>

#include "net/outgoing_buffer.h"
#include "test_support.h"

namespace {

int count(const std::string &text, const std::string &what)
{
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

const char OVERFLOW[] = "Error in append_outgoing_string() - not enough space in outgoing buffer?\n";

} // namespace

TEST(OutgoingBuffer, LinesAreQueuedWithNewlines)
{
  vesk_outgoing_buffer b;
  b.append_line("look");
  b.append_string("sa");
  b.append_line("y hi");
  EXPECT_EQ(std::string(b.data(), (size_t)b.size()), "look\nsay hi\n");
}

TEST(OutgoingBuffer, OverflowCutsTheLineAndLogs)
{
  log_capture log(2);
  vesk_outgoing_buffer b;
  // 9999 characters fit; the newline takes the last byte and is logged.
  b.append_line(std::string(9999, 'a').c_str());
  EXPECT_EQ(b.size(), 10000);
  EXPECT_EQ(b.data()[9999], '\n');
  EXPECT_EQ(count(log.text(), OVERFLOW), 1);
  // A further line while full: nothing queued, two error lines.
  b.append_line("north");
  EXPECT_EQ(b.size(), 10000);
  EXPECT_EQ(count(log.text(), OVERFLOW), 3);

  // A text longer than the space left is cut to fit, without its newline.
  vesk_outgoing_buffer c;
  c.append_line(std::string(9990, 'b').c_str());
  c.append_line("0123456789ABC");
  EXPECT_EQ(c.size(), 10000);
  EXPECT_EQ(std::string(c.data() + 9991, 9), "012345678");
}

TEST(OutgoingBuffer, PartialWriteKeepsTheRestAtTheFront)
{
  vesk_outgoing_buffer b;
  std::string queued;
  for (int i = 0; i < 250; ++i)
    queued += (char)('a' + i % 26);
  b.append_string(queued.c_str());
  b.remove_front(100);
  ASSERT_EQ(b.size(), 150);
  EXPECT_EQ(std::string(b.data(), 150), queued.substr(100));
  b.remove_front(0);
  EXPECT_EQ(b.size(), 150);
  b.remove_front(150);
  EXPECT_EQ(b.size(), 0);
}
