// The main window's command path and help texts.
#include <ctime>

#include "app/client_commands.h"
#include "app/debug_log.h"
#include "app/main_window.h"
#include "util/buffer.h"
#include "util/strings.h"

namespace {

// The main text display as the target of the command texts.
class main_display_output : public command_output {
public:
  explicit main_display_output(vesk_mw &mw) : mw_(mw) {}
  void write(const char *text) override { mw_.display_write(text); }
  void set_color(int code1, int code2) override { mw_.display_set_color(code1, code2); }
  void reset_colors() override { mw_.display_reset_colors(); }
  void set_default_colors() override { mw_.display_set_default_colors(); }
  void refresh() override { mw_.display_refresh(); }

private:
  vesk_mw &mw_;
};

} // namespace

int config_local_echo_option();
int config_command_separator_option();

void vesk_mw::handle_async_control_command(const char *line, int echo)
{
  if (!line)
    line = "";
  last_command_time = std::time(nullptr);
  main_display_output out(*this);

  if (input_local_echo_enabled() && config_local_echo_option() && echo == 1)
    write_local_echo(out, line, config_command_separator_option() != 0);

  client_command_match m = match_client_command(line, login_state, socket_is_connected() != 0);
  switch (m.kind) {
  case CMD_COMMAND_HELP:
    send_command_help();
    break;
  case CMD_KEYBOARD_HELP: {
    wxCommandEvent unused;
    menu_help_kb_shortcuts(unused);
    break;
  }
  case CMD_VERSION: {
    wxCommandEvent unused;
    menu_help_about(unused);
    break;
  }
  case CMD_BREAK:
    handle_async_control_break();
    break;
  case CMD_HISTORY:
    history_display();
    break;
  case CMD_QUIT:
    system_shutdown_handler();
    break;
  case CMD_DISCONNECT:
    socket_disconnect("Disconnecting.");
    break;
  case CMD_CLEAR:
    clear_main_scrollback();
    display_refresh();
    break;
  case CMD_CHANNEL_CLEAR:
    clear_channel_window();
    display_refresh();
    break;
  case CMD_PING:
    send_ping();
    break;
  case CMD_ECHO:
    display_write("\n");
    display_write(m.argument ? m.argument : "");
    display_refresh();
    break;
  case CMD_DEBUG_LEVEL:
    handle_debug_level_command(out, m.argument);
    break;
  case CMD_DEBUG_FILENAME:
    handle_debug_filename_command(out, m.argument);
    break;
  case CMD_DEBUG_FILL:
    main_display_debug_fill();
    display_refresh();
    break;
  case CMD_ICONS:
    run_record("icons", m.argument ? m.argument : "");
    display_refresh();
    break;
  case CMD_SOUND_TEST:
    run_record("sound", m.argument ? m.argument : "");
    display_refresh();
    break;
  case CMD_SEND:
    socket_send_command(line);
    break;
  case CMD_CONNECT: {
    int port = 0;
    if (m.argument)
      is_int(m.argument, &port);
    socket_connect(port);
    break;
  }
  case CMD_DROP:
    break;
  }
}

void vesk_mw::send_command_help()
{
  main_display_output out(*this);
  write_command_help(out);
}

void vesk_mw::menu_help_kb_shortcuts(wxCommandEvent &)
{
  main_display_output out(*this);
  write_keyboard_help(out, login_state == 2);
}

void vesk_mw::menu_help_about(wxCommandEvent &)
{
  main_display_output out(*this);
  bool ask_server = socket_is_connected() && login_state == 2;
  write_about(out, bootloader_version, vesk_client_get_config_directory_path(), ask_server);
  if (ask_server)
    socket_send_command("version");
}

void vesk_mw::menu_help_mud_basic_help(wxCommandEvent &)
{
  if (socket_is_connected() && login_state == 2) {
    socket_send_command("help");
    return;
  }
  main_display_output out(*this);
  write_help_unavailable(out, socket_is_connected() != 0);
}

void vesk_mw::menu_help_mud_more_help(wxCommandEvent &)
{
  if (socket_is_connected() && login_state == 2) {
    socket_send_command("help me");
    return;
  }
  main_display_output out(*this);
  write_help_unavailable(out, socket_is_connected() != 0);
}

void vesk_mw::handle_async_control_break()
{
  socket_send_command("\x03");
  enable_scrolling();
}

void vesk_mw::handle_async_control_abort()
{
  socket_send_command("\x1a");
  enable_scrolling();
}

void vesk_mw::handle_async_tty_stop() { disable_scrolling(); }

void vesk_mw::handle_async_tty_start() { enable_scrolling(); }

void vesk_mw::display_write_menu_separator()
{
  main_display_output out(*this);
  write_menu_separator(out);
}

// Local echo and the command separator are character settings; until they
// are read from the settings store both are on, as in a fresh configuration.
int config_local_echo_option() { return 1; }
int config_command_separator_option() { return 1; }
