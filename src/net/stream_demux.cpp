#include "net/stream_demux.h"

#include <cstring>

#include "app/debug_log.h"
#include "util/buffer.h"

vesk_stream_demux::vesk_stream_demux(vesk_stream_demux_sink *sink)
    : state(STATE_TEXT), telnet_command(0), name_count(0), sink(sink)
{
  start_name[0] = 0;
  end_name[0] = 0;
  record_data[0] = 0;
}

void vesk_stream_demux::reset()
{
  state = STATE_TEXT;
  start_name[0] = 0;
  end_name[0] = 0;
}

namespace {

// The text run of one call: a fixed local array, delivered when full, when
// something else interrupts the text, and when the block ends.
struct text_run {
  vesk_stream_demux_sink *sink;
  int length;
  char text[vesk_stream_demux::TEXT_RUN_SIZE + 1];

  explicit text_run(vesk_stream_demux_sink *s) : sink(s), length(0) {}

  void flush()
  {
    if (length > 0) {
      text[length] = 0;
      sink->demux_text_run(text, length);
      length = 0;
    }
  }
  void add(char c)
  {
    text[length++] = c;
    if (length >= vesk_stream_demux::TEXT_RUN_SIZE)
      flush();
  }
};

} // namespace

void vesk_stream_demux::process_socket_data(const char *data, int count)
{
  if (!data || count < 1)
    return;
  text_run run(sink);
  const unsigned char *bytes = reinterpret_cast<const unsigned char *>(data);

  for (int i = 0; i < count; ++i) {
    unsigned char b = bytes[i];
    switch (state) {
    case STATE_TEXT:
      if (b == ';') {
        run.flush();
        state = STATE_SEMICOLON;
      } else if (b == BEL) {
        sink->demux_bell();
      } else if (b == TELNET_IAC) {
        run.flush();
        state = STATE_IAC;
      } else {
        run.add((char)b);
      }
      break;

    case STATE_IAC:
      telnet_command = b;
      state = (b >= TELNET_WILL && b <= TELNET_DONT) ? STATE_NEGOTIATION : STATE_TEXT;
      break;

    case STATE_NEGOTIATION:
      if (b == TELNET_ECHO) {
        run.flush();
        if (telnet_command == TELNET_DO) {
          sink->demux_local_echo(1);
        } else if (telnet_command == TELNET_DONT) {
          sink->demux_text_run("\n", 1);
          sink->demux_local_echo(0);
        }
      }
      state = STATE_TEXT;
      break;

    case STATE_SEMICOLON:
      if (b == ';') {
        run.add(';');
        state = STATE_TEXT;
      } else if (b == 'e') {
        if (end_name[0])
          VESK_LOG(2, "Warning in vesk_mw::process_socket_data(), double end tags?  Previous was '%s'.\n", end_name);
        if (!start_name[0])
          VESK_LOG(2, "Warning in vesk_mw::process_socket_data(), end tag '%s' without start tag.\n", end_name);
        name_count = 0;
        end_name[0] = 0;
        state = STATE_END_NAME;
      } else if (b == 's' || b == 't') {
        if (start_name[0])
          VESK_LOG(2, "Warning in vesk_mw::process_socket_data(), double start tags?  Previous was '%s'.\n",
                   start_name);
        name_count = 0;
        start_name[0] = 0;
        end_name[0] = 0;
        state = b == 's' ? STATE_START_NAME : STATE_NAME_ONLY;
      } else {
        state = STATE_TEXT;
        if (vesk_client_debug_log_level >= 2) {
          Buffer block;
          int n = count < Buffer::capacity - 1 ? count : Buffer::capacity - 1;
          std::memcpy(block.text, data, (size_t)n);
          block.text[n] = 0;
          block.length = n;
          vesk_client_debug_log_function("Warning in vesk_mw::process_socket_data(), semicolon found?\n");
          vesk_client_debug_log_function("Current string data ->%s<-\n", block.text);
        }
        run.add(';');
        run.add((char)b);
      }
      break;

    case STATE_START_NAME:
      if (b == ';') {
        state = STATE_DATA;
        name_count = 0;
      } else {
        start_name[name_count++] = (char)b;
        start_name[name_count] = 0;
        if (name_count >= NAME_SIZE - 1) {
          VESK_LOG(2, "Warning in vesk_mw::process_socket_data(), mcs tag '%s' too long?\n", start_name);
          state = STATE_TEXT;
          name_count = 0;
          start_name[0] = 0;
        }
      }
      break;

    case STATE_DATA:
      if (b == '\r')
        break;
      if (b == ';') {
        record_data[name_count] = 0;
        sink->demux_record(start_name, record_data, name_count);
        state = STATE_SEMICOLON;
      } else if (name_count >= DATA_SIZE - 1) {
        VESK_LOG(2, "Warning in vesk_mw::process_socket_data(), tagged data was too long, discarding.\n");
        state = STATE_TEXT;
        record_data[0] = 0;
        name_count = 0;
        end_name[0] = 0;
      } else {
        record_data[name_count++] = (char)b;
      }
      break;

    case STATE_END_NAME:
      if (b == ';') {
        state = STATE_TEXT;
        if (std::strcmp(end_name, start_name) != 0)
          VESK_LOG(2, "Warning vesk_mw::process_socket_data(), mce tag '%s' does not match mcs tag '%s'.\n", end_name,
                   start_name);
        name_count = 0;
        end_name[0] = 0;
        start_name[0] = 0;
      } else {
        end_name[name_count++] = (char)b;
        end_name[name_count] = 0;
        if (name_count >= NAME_SIZE - 1) {
          VESK_LOG(2, "Warning in vesk_mw::process_socket_data(), mce tag '%s' too long?\n", end_name);
          state = STATE_TEXT;
          name_count = 0;
          end_name[0] = 0;
        }
      }
      break;

    case STATE_NAME_ONLY:
      if (b == ';') {
        sink->demux_record(start_name, "", 0);
        state = STATE_TEXT;
        name_count = 0;
        start_name[0] = 0;
      } else {
        start_name[name_count++] = (char)b;
        start_name[name_count] = 0;
        if (name_count >= NAME_SIZE - 1) {
          VESK_LOG(2, "Warning in vesk_mw::process_socket_data(), mct tag '%s' too long?\n", start_name);
          state = STATE_TEXT;
          name_count = 0;
          start_name[0] = 0;
        }
      }
      break;

    default:
      break;
    }
  }
  run.flush();
}
