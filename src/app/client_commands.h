// The client's own commands ("//..." and the words accepted while
// disconnected) and the texts the client shows about itself. The matching and
// the texts are free of windows: they write through command_output, which the
// main window implements on its main text display.
#ifndef OMBRITH_APP_CLIENT_COMMANDS_H
#define OMBRITH_APP_CLIENT_COMMANDS_H

extern const char *const vesk_client_version;

// Where the command texts go.
class command_output {
public:
  virtual ~command_output() {}
  virtual void write(const char *text) = 0;
  virtual void set_color(int code1, int code2) = 0;
  virtual void reset_colors() = 0;
  // Scrolling on, colours reset, a newline, plain-text state.
  virtual void set_default_colors() = 0;
  virtual void refresh() = 0;
};

enum client_command_kind {
  CMD_COMMAND_HELP,
  CMD_KEYBOARD_HELP,
  CMD_VERSION,
  CMD_BREAK,
  CMD_HISTORY,
  CMD_QUIT,
  CMD_DISCONNECT,
  CMD_CLEAR,
  CMD_CHANNEL_CLEAR,
  CMD_PING,
  CMD_ECHO,
  CMD_DEBUG_LEVEL,
  CMD_DEBUG_FILENAME,
  CMD_DEBUG_FILL,
  CMD_ICONS,
  CMD_SOUND_TEST,
  CMD_SEND,      // queue the line for the server
  CMD_CONNECT,   // connect; the port is the argument as an integer, 0 without one
  CMD_DROP,      // nothing happens
};

struct client_command_match {
  client_command_kind kind;
  const char *argument;  // rest of the line after the first word; null when missing
};

client_command_match match_client_command(const char *line, int login_state, bool connected);

// Colour pairs of the texts.
enum { COLOR_BRIGHT = 1, COLOR_NORMAL = 0, COLOR_YELLOW = 51, COLOR_WHITE = 55 };

extern const char *const menu_separator_line;

void write_local_echo(command_output &out, const char *line, bool separator);
void write_menu_separator(command_output &out);
void write_command_help(command_output &out);
void write_keyboard_help(command_output &out, bool logged_in);
// The about text; `server_version_requested` tells whether the server was
// asked for its version (otherwise the text says it cannot be retrieved).
void write_about(command_output &out, const char *launcher_version, const char *config_directory,
                 bool server_version_requested);
// Basic or more help when it cannot come from the server.
void write_help_unavailable(command_output &out, bool connected);

void dump_debug_logfile_status(command_output &out);
void handle_debug_level_command(command_output &out, const char *argument);
void handle_debug_filename_command(command_output &out, const char *argument);

#endif
