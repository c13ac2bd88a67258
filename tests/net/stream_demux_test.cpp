// The stream demultiplexer: every case is fed as one block and then split
// into two blocks at every byte position. Fed whole, the exact runs and
// events must match; split, the same text, records and echo switches must
// come out in the same order (text runs may be cut differently).
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "net/stream_demux.h"
#include "test_support.h"

namespace {

struct recording_sink : vesk_stream_demux_sink {
  std::vector<std::string> events; // "text:...", "record:name|data|length", "echo:1", "bell"

  void demux_text_run(const char *text, int length) override
  {
    EXPECT_GT(length, 0);
    EXPECT_LE(length, vesk_stream_demux::TEXT_RUN_SIZE);
    EXPECT_EQ(0, text[length]) << "runs are NUL-terminated";
    events.push_back("text:" + std::string(text, (size_t)length));
  }
  void demux_record(const char *name, const char *data, int length) override
  {
    EXPECT_EQ(0, data[length]);
    events.push_back("record:" + std::string(name) + "|" + std::string(data, (size_t)length) + "|" +
                     std::to_string(length));
  }
  void demux_local_echo(int enable) override { events.push_back("echo:" + std::to_string(enable)); }
  void demux_bell() override { events.push_back("bell"); }

  // Adjacent text runs merged; bells counted at the end, because a bell
  // rings at once while the text before it in the same block is delivered
  // later.
  std::vector<std::string> merged() const
  {
    std::vector<std::string> out;
    int bells = 0;
    for (const std::string &e : events) {
      if (e == "bell") {
        ++bells;
      } else if (e.compare(0, 5, "text:") == 0 && !out.empty() && out.back().compare(0, 5, "text:") == 0) {
        out.back() += e.substr(5);
      } else {
        out.push_back(e);
      }
    }
    if (bells)
      out.push_back("bells:" + std::to_string(bells));
    return out;
  }
};

struct demux_case {
  const char *title;
  std::string input;
  std::vector<std::string> expected; // exact events when fed whole
  const char *log = nullptr;         // a warning every feed must log
};

std::string repeat(char c, size_t n) { return std::string(n, c); }

std::vector<demux_case> cases()
{
  const std::string name64 = repeat('n', 64);
  return {
      {"escaped semicolon", "abc;;def", {"text:abc", "text:;def"}},
      {"record with data", "x;shp;10 20 30;ehp;y", {"text:x", "record:hp|10 20 30|8", "text:y"}},
      {"record without data", "x;tlogoff;y", {"text:x", "record:logoff||0", "text:y"}},
      {"record spanning reads", ";smap;abcd;emap;", {"record:map|abcd|4"}},
      {"carriage returns dropped from data", ";sx;a\r\nb;ex;", {"record:x|a\nb|3"}},
      {"empty data", ";sx;;ex;z", {"record:x||0", "text:z"}},
      {"3000 bytes of text", repeat('t', 3000), {"text:" + repeat('t', 2560), "text:" + repeat('t', 440)}},
      {"echo on", "a\xff\xfd\x01" "b", {"text:a", "echo:1", "text:b"}},
      {"echo off", "a\xff\xfe\x01" "b", {"text:a", "text:\n", "echo:0", "text:b"}},
      {"WILL ECHO changes nothing", "a\xff\xfb\x01" "b", {"text:a", "text:b"}},
      {"WONT and other options change nothing", "\xff\xfc\x01\xff\xfd\x03" "c", {"text:c"}},
      {"IAC IAC delivers nothing", "a\xff\xff" "b", {"text:a", "text:b"}},
      {"other telnet commands are dropped", "\xff\xf1x", {"text:x"}},
      {"bell rings and is not shown", "a\x07" "b", {"bell", "text:ab"}},
      {"bytes in record data are not interpreted", ";sx;\xff\x07\x01;ex;", {"record:x|\xff\x07\x01|3"}},
      {"NUL is text", std::string("a\0b", 3), {std::string("text:a\0b", 8)}},
      {"semicolon before another byte is text", "a;qb", {"text:a", "text:;qb"},
       "Warning in vesk_mw::process_socket_data(), semicolon found?\n"},
      {"start name of 64 characters", ";s" + name64 + "abc;sk;1;ek;", {"text:abc", "record:k|1|1"},
       "Warning in vesk_mw::process_socket_data(), mcs tag '"},
      {"name without data of 64 characters", ";t" + name64 + "z", {"text:z"},
       "Warning in vesk_mw::process_socket_data(), mct tag '"},
      {"end name of 64 characters", ";sa;1;e" + name64 + "q", {"record:a|1|1", "text:q"},
       "Warning in vesk_mw::process_socket_data(), mce tag '"},
      {"63 characters are a name", ";t" + repeat('m', 63) + ";", {"record:" + repeat('m', 63) + "||0"}},
      // The 15000th byte ends the record; the rest of the data is text, and
      // the end marker matches the start name still stored.
      {"data of 15000 bytes is discarded", ";sbig;" + repeat('d', 15002) + "tail;ebig;after",
       {"text:ddtail", "text:after"},
       "Warning in vesk_mw::process_socket_data(), tagged data was too long, discarding.\n"},
      {"data of 14999 bytes is kept", ";sbig;" + repeat('d', 14999) + ";ebig;",
       {"record:big|" + repeat('d', 14999) + "|14999"}},
      {"mismatched end name", ";sa;1;eb;", {"record:a|1|1"},
       "Warning vesk_mw::process_socket_data(), mce tag 'b' does not match mcs tag 'a'.\n"},
      {"end marker without start", "x;ey;z", {"text:x", "text:z"},
       "Warning in vesk_mw::process_socket_data(), end tag '' without start tag.\n"},
      {"record start before the last ended", ";sa;1;sb;2;eb;", {"record:a|1|1", "record:b|2|1"},
       "Warning in vesk_mw::process_socket_data(), double start tags?  Previous was 'a'.\n"},
  };
}

std::vector<std::string> feed(const std::vector<std::string> &blocks, std::vector<std::string> *exact = nullptr)
{
  recording_sink sink;
  vesk_stream_demux demux(&sink);
  for (const std::string &b : blocks)
    demux.process_socket_data(b.data(), (int)b.size());
  if (exact)
    *exact = sink.events;
  return sink.merged();
}

size_t count(const std::string &text, const std::string &what)
{
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

} // namespace

TEST(StreamDemux, EveryCaseWholeAndSplitAtEveryByte)
{
  for (const demux_case &c : cases()) {
    SCOPED_TRACE(c.title);
    log_capture log(2);
    std::vector<std::string> exact;
    std::vector<std::string> whole = feed({c.input}, &exact);
    EXPECT_EQ(c.expected, exact);
    for (size_t cut = 1; cut < c.input.size(); ++cut) {
      std::vector<std::string> split = feed({c.input.substr(0, cut), c.input.substr(cut)});
      ASSERT_EQ(whole, split) << "split after byte " << cut;
    }
    std::string text = log.text();
    if (c.log)
      EXPECT_EQ(c.input.size(), count(text, c.log)) << "one warning per feed:\n" << text.substr(0, 2000);
    else
      EXPECT_EQ("", text.substr(0, 2000));
  }
}

TEST(StreamDemux, WarningsNeedLevelTwoAndShowTheBlock)
{
  {
    log_capture log(1);
    feed({"a;qb"});
    EXPECT_EQ("", log.text());
  }
  log_capture log(2);
  feed({"a;qb"});
  EXPECT_EQ("Warning in vesk_mw::process_socket_data(), semicolon found?\nCurrent string data ->a;qb<-\n", log.text());
}

TEST(StreamDemux, ResetsAbandonWhatWasHalfRead)
{
  recording_sink sink;
  vesk_stream_demux demux(&sink);
  demux.process_socket_data(";smap;ab", 8);
  demux.set_text_state();
  EXPECT_EQ(vesk_stream_demux::STATE_TEXT, demux.state);
  demux.process_socket_data("cd;emap;", 8);
  EXPECT_EQ((std::vector<std::string>{"text:cd"}), sink.events) << "the record is gone; its end marker is read";

  sink.events.clear();
  demux.process_socket_data(";sx;1", 5);
  demux.reset();
  EXPECT_EQ(0, demux.start_name[0]);
  EXPECT_EQ(0, demux.end_name[0]);
  log_capture log(2);
  demux.process_socket_data(";sy;2;ey;", 9);
  EXPECT_EQ((std::vector<std::string>{"record:y|2|1"}), sink.events);
  EXPECT_EQ("", log.text()) << "no double-start warning after a reset";
}
