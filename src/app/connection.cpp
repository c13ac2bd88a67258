// The main window's game connection: connecting and identifying, the
// outgoing buffer, the per-tick reader and writer, the end of a connection,
// and the delivery of what the stream demultiplexer separates out of the
// received bytes.
#include <cstring>

#include <wx/utils.h>

#include "app/client_commands.h"
#include "app/debug_log.h"
#include "app/main_window.h"
#include "config/config_store.h"
#include "net/dns_lookup.h"
#include "text/ansi_display.h"
#include "util/buffer.h"

namespace {

// Bytes asked for per read; the handler reads until nothing is left.
enum { READ_BLOCK_SIZE = 10000 };
// Milliseconds allowed for the TCP connect and, again, for the TLS handshake.
enum { CONNECT_TIMEOUT_MS = 5000 };

} // namespace

int vesk_mw::socket_is_connected() { return game_socket.state == SOCKET_CONNECTED ? 1 : 0; }

void vesk_mw::append_outgoing_string(const char *text) { socket_write_buffer.append_string(text); }

void vesk_mw::socket_send_command(const char *line) { socket_write_buffer.append_line(line ? line : ""); }

void vesk_mw::socket_connect(int port)
{
  if (port <= 0)
    port = connect_port;
  // The game connection always uses TLS; the flag stays set between
  // connections.
  if (!game_socket.ssl_enabled)
    game_socket.enable_ssl();

  display_set_default_colors();
  display_write("\n");
  display_write("Connecting to server...\n");
  // The connect below blocks for a bounded time; show the message first.
  display_refresh();
  Update();

  struct sockaddr_in address;
  std::memset(&address, 0, sizeof(address));
  if (!vesk_dns_blocking_lookup(connect_address.c_str(), &address)) {
    socket_disconnect("Unable to look up address for game server.");
    display_refresh();
    return;
  }
  VESK_LOG(2, "vesk_mw::socket_connect() - dns lookup ok, address '%s', port %d.\n", connect_address.c_str(), port);

  if (game_socket.blocking_connect(&address, port, CONNECT_TIMEOUT_MS) < 0) {
    game_socket.disconnect_close();
    socket_disconnect("Unable to connect to server.");
    display_refresh();
    return;
  }
  // A result of 0 (no TLS object could be made) counts as connected here:
  // the socket stays in its connecting state and the handler never starts
  // reading until the player connects anew.
  VESK_LOG(2, "vesk_mw::socket_connect() - socket connect ok.\n");
  stream_demux.set_text_state();
  socket_write_buffer.clear();
  // Reading starts once the handler has seen the new connection.
  connect_state = 0;

  Buffer identification;
  identification.append("_mClient ");
  identification.append(global_uuid);
  identification.append(" ");
  identification.append(vesk_client_version);
  socket_send_command(identification.text);

  display_refresh();
  swap_history(1);
}

void vesk_mw::socket_disconnect(const char *message)
{
  if (!message)
    message = "";
  VESK_LOG(2, "vesk_mw::socket_disconnect() - %s\n", message);
  game_socket.disconnect_close();
  // An intended end is not a lost connection: the handler must not report
  // it a second time.
  connect_state = 0;

  stream_demux.set_text_state();
  socket_write_buffer.clear();
  swap_history(0);
  login_state = 0;
  SetTitle("Ombrith");

  display_set_color(0, 55);
  display_write("\n");
  display_write("\n");
  display_write(message);
  display_write("\n");
  display_write("\n");
  display_write("To log in again, type '");
  display_set_color(1, 51);
  display_write("connect");
  display_set_color(0, 55);
  display_write("' or use the ");
  display_set_color(1, 51);
  display_write("File / Connect");
  display_set_color(0, 55);
  display_write(" menu option.\n");
  display_write("\n");
  display_refresh();

  // The channel window is laid out only while logged in.
  resize();
  Refresh();
}

void vesk_mw::socket_handler()
{
  if (!connection_started) {
    socket_connect(0);
    connection_started = 1;
  }

  int status = game_socket.get_connection_status();
  if (!connect_state) {
    // Reading and writing start on the tick after the connection is seen.
    if (status == SOCKET_CONNECTED)
      connect_state = 1;
    return;
  }
  if (status != SOCKET_CONNECTED) {
    VESK_LOG(1, "vesk_mw::socket_handler() - abnormal connection failure?\n");
    socket_disconnect("Connection to server lost.");
    connect_state = 0;
    return;
  }

  // Everything available now is read and processed before the tick goes on.
  static char block[READ_BLOCK_SIZE];
  while (connect_state) {
    int n = game_socket.nonblocking_read(block, READ_BLOCK_SIZE);
    if (n == 0)
      break;
    if (n < 0) {
      socket_disconnect(game_socket.read_error != 0 ? "Connection to server lost." : "Connection closed by server.");
      connect_state = 0;
      break;
    }
    process_socket_data(block, n);
  }
  // A record or a client message may have ended the connection meanwhile.
  if (!connect_state || !socket_is_connected())
    return;

  if (socket_write_buffer.size() > 0) {
    int n = game_socket.nonblocking_write(socket_write_buffer.data(), socket_write_buffer.size());
    if (n < 0) {
      socket_disconnect("Connection to server lost.");
      connect_state = 0;
    } else {
      socket_write_buffer.remove_front(n);
    }
  }
}

// ---------------------------------------------------------------------------
// Received bytes

void vesk_mw::process_socket_data(const char *data, int count)
{
  clear_all_displays_changed_flag();
  stream_demux.process_socket_data(data, count);
  update_all_displays_changed_flag();
}

int vesk_mw::display_channel_text(const char *, int) { return 0; }

void vesk_mw::display_socket_data(const char *text, int length)
{
  if (channel_divert_flag) {
    // The channel window shows the run; the main display too when the
    // channel window is off, when duplication is asked for, or when there
    // is no channel window to take it.
    int taken = display_channel_text(text, length);
    if (!taken || !MConfig::GetChannelWindow() || MConfig::GetChannelDupe())
      main_text_display->display_socket_data(text, length);
    return;
  }
  current_output_display->display_socket_data(text, length);
}

void vesk_mw::clear_all_displays_changed_flag() { main_text_display->changed = 0; }

void vesk_mw::update_all_displays_changed_flag()
{
  if (main_text_display->changed)
    main_text_display->refresh_text();
}

void vesk_mw::demux_text_run(const char *text, int length) { display_socket_data(text, length); }

void vesk_mw::demux_record(const char *name, const char *data, int length)
{
  process_tagged_data(name, data, length);
}

void vesk_mw::demux_local_echo(int enable)
{
  if (enable)
    enable_local_echo();
  else
    disable_local_echo();
}

void vesk_mw::demux_bell() { wxBell(); }
