#include "app/client_commands.h"

#include <cstdio>
#include <cstring>

#include "app/debug_log.h"
#include "util/buffer.h"
#include "util/strings.h"

const char *const vesk_client_version = "1.096-mst-rc3";

const char *const menu_separator_line = "\n=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=";

namespace {

struct command_row {
  const char *word;
  int minimum;  // abbreviation length; 0 = the whole word only
  client_command_kind kind;
};

// Checked in this order; the first match wins.
const command_row leading_rows[] = {
    {"//commands", 3, CMD_COMMAND_HELP},   {"//help", 3, CMD_KEYBOARD_HELP},
    {"//version", 3, CMD_VERSION},         {"//break", 3, CMD_BREAK},
    {"//history", 3, CMD_HISTORY},         {"//quit", 6, CMD_QUIT},
    {"//exit", 6, CMD_QUIT},               {"//disconnect", 6, CMD_DISCONNECT},
    {"//clear", 4, CMD_CLEAR},             {"//chanclear", 4, CMD_CHANNEL_CLEAR},
    {"//cclear", 4, CMD_CHANNEL_CLEAR},
};

const command_row trailing_rows[] = {
    {"//echo", 3, CMD_ECHO},
    {"//debuglevel", 5, CMD_DEBUG_LEVEL},
    {"//debugfilename", 8, CMD_DEBUG_FILENAME},
    {"//debugfill", 0, CMD_DEBUG_FILL},
    {"//icons", 0, CMD_ICONS},
    {"//soundtest", 0, CMD_SOUND_TEST},
};

const command_row disconnected_rows[] = {
    {"connect", 1, CMD_CONNECT}, {"restart", 2, CMD_CONNECT}, {"start", 2, CMD_CONNECT},
    {"login", 4, CMD_CONNECT},   {"quit", 3, CMD_QUIT},       {"exit", 2, CMD_QUIT},
};

bool row_matches(const command_row &row, const char *line)
{
  if (row.minimum == 0)
    return wordcmp(line, row.word) != 0;
  return is_abbrev(line, row.word, row.minimum) != 0;
}

} // namespace

client_command_match match_client_command(const char *line, int login_state, bool connected)
{
  client_command_match m{CMD_DROP, nullptr};
  if (!line)
    return m;
  const char *word = line;
  m.argument = next_arg(line);
  for (const command_row &row : leading_rows)
    if (row_matches(row, word)) {
      m.kind = row.kind;
      return m;
    }
  if (login_state == 2 && (wordcmp(word, "mcping") || is_abbrev(word, "//ping", 3))) {
    m.kind = CMD_PING;
    return m;
  }
  for (const command_row &row : trailing_rows)
    if (row_matches(row, word)) {
      m.kind = row.kind;
      return m;
    }
  if (connected) {
    m.kind = CMD_SEND;
    return m;
  }
  for (const command_row &row : disconnected_rows)
    if (row_matches(row, word)) {
      m.kind = row.kind;
      return m;
    }
  return m;
}

void write_local_echo(command_output &out, const char *line, bool separator)
{
  bool non_empty = line && *line;
  out.reset_colors();
  out.write("\n");
  if (separator && non_empty)
    out.write("\n");
  out.set_color(COLOR_BRIGHT, COLOR_YELLOW);
  out.write(">");
  out.reset_colors();
  out.write(line ? line : "");
  out.set_color(COLOR_BRIGHT, COLOR_YELLOW);
  out.write("<");
  if (separator && non_empty) {
    out.set_color(COLOR_BRIGHT, COLOR_WHITE);
    out.write("\n-------------------------------------------------------------------------");
  }
  out.reset_colors();
  out.refresh();
}

void write_menu_separator(command_output &out)
{
  out.set_color(COLOR_BRIGHT, COLOR_YELLOW);
  out.write(menu_separator_line);
  out.set_color(COLOR_NORMAL, COLOR_WHITE);
}

void write_command_help(command_output &out)
{
  static const char *const lines[] = {
      "\nMClient Control Commands -------------------------------",
      "\n//commands               - this help screen",
      "\n//help                   - show keyboard shortcuts",
      "\n//version                - show client/server versions",
      "\n//break                  - send TTY *break*",
      "\n//history                - show recent client history",
      "\n//ping                   - check/update ping time",
      "\n//debug                  - display/change debug level",
      "\n//debugfile              - change name of debug file",
      "\n//cclear                 - quick clear of channel windows",
      "\n//clear                  - quick clear of all backscroll",
      "\n//quit                   - quick program exit",
      "\n//disconnect             - quick disconnect",
      "\n",
      "\nCommands Used While Disconnected -----------------------",
      "\nconnect <port>           - connect on a specified port",
      "\nquit                     - quick program exit",
      "\n",
  };
  out.reset_colors();
  out.write("\n");
  for (const char *line : lines)
    out.write(line);
  out.refresh();
}

void write_keyboard_help(command_output &out, bool logged_in)
{
  static const char *const before_fkeys[] = {
      "\nPgUp/PgDn         - lock and scroll the screen (any other key to unlock)",
      "\nEscape            - erase current line",
      "\nControl C         - (break) erase current line and stop all aliases",
      "\nControl \\         - (abort) erase current line and stop all aliases",
      "\nControl K         - erase/kill current line",
      "\nControl M         - toggle automap window",
      "\nControl P         - toggle hitpoint display bar",
      "\nControl S         - freeze screen scrolling",
      "\nControl Z         - freeze screen scrolling",
      "\nControl Q         - unfreeze screen scrolling",
      "\nControl -         - decrease font size",
      "\nControl +         - increase font size",
      "\nControl [         - decrease automap size",
      "\nControl ]         - increase automap size",
      "\nControl {         - decrease input window size",
      "\nControl }         - increase input window size",
      "\nControl 1-9       - quick open/close of popup windows",
      "\nControl-Shift 1-9 - quick enable/disable of various features",
  };
  out.set_default_colors();
  out.write("\n");
  write_menu_separator(out);
  out.set_color(COLOR_NORMAL, COLOR_WHITE);
  out.write("\nKeyboard controls you can use with this client:");
  out.write("\n");
  for (const char *line : before_fkeys)
    out.write(line);
  if (logged_in)
    out.write("\nF1-F12            - trigger aliases 'f01' through 'f12'");
  out.write("\nUp/Down           - look through previous commands");
  write_menu_separator(out);
  out.set_color(COLOR_NORMAL, COLOR_WHITE);
  out.write("\n");
  out.refresh();
}

void write_about(command_output &out, const char *launcher_version, const char *config_directory,
                 bool server_version_requested)
{
  out.set_default_colors();
  out.write("\n");
  write_menu_separator(out);
  out.set_color(COLOR_NORMAL, COLOR_WHITE);
  out.write("\nOmbrith Client Version: ");
  out.write(vesk_client_version);
  if (launcher_version && *launcher_version) {
    out.write("\nLauncher Version:          ");
    out.write(launcher_version);
  }
  out.write("\nClient config directory:   ");
  out.write(config_directory ? config_directory : "(null)");
  out.write("\n");
  out.write("\nOmbrith is operated by the Ombrith team; news, rules and help are on the game's web site.");
  write_menu_separator(out);
  out.set_color(COLOR_NORMAL, COLOR_WHITE);
  out.write("\n");
  if (!server_version_requested)
    out.write("\nUnable to retrieve server version.");
  out.refresh();
}

void write_help_unavailable(command_output &out, bool connected)
{
  out.set_default_colors();
  out.write("\n");
  write_menu_separator(out);
  out.set_color(COLOR_NORMAL, COLOR_WHITE);
  out.write("\n");
  if (!connected)
    out.write("\nYou must be connected to the server to view the in-game help.");
  else
    out.write("\nSorry, but in-game help isn't available until after you have logged in.");
  out.write("\n(The on-line help is the same, you could try there instead.)");
  out.write("\n");
  write_menu_separator(out);
  out.set_color(COLOR_NORMAL, COLOR_WHITE);
  out.write("\n");
  out.refresh();
}

void dump_debug_logfile_status(command_output &out)
{
  out.write("\n");
  if (vesk_client_get_debug_logfile_open_failed()) {
    out.write("\n");
    out.write("Debug logging is currently DISABLED - unable to open debug file.\n");
    out.write("The failed filename is:  ");
    const char *name = vesk_client_get_debug_logfile_name();
    out.write(name ? name : "(null)");
  } else {
    char line[128];
    std::snprintf(line, sizeof(line), "The current debug level is:     %d\n", vesk_client_debug_log_level);
    out.write(line);
    out.write("The current debug filename is:  ");
    const char *name = vesk_client_get_debug_logfile_name();
    out.write(name ? name : "(null)");
  }
  out.write("\n");
}

void handle_debug_level_command(command_output &out, const char *argument)
{
  if (argument && *argument) {
    int old_level = vesk_client_debug_log_level;
    int new_level = 0;
    is_int(argument, &new_level);
    vesk_client_debug_log_level = new_level;
    char line[128];
    std::snprintf(line, sizeof(line), "Debug level changed from %d to %d.\n", old_level, new_level);
    out.write("\n");
    out.write(line);
    out.write("\n");
    return;
  }
  dump_debug_logfile_status(out);
  out.write("\n");
  out.write("To change the debug level, you must give a number between 0 and 3.\n");
  out.write("\n");
}

void handle_debug_filename_command(command_output &out, const char *argument)
{
  if (!argument || !*argument) {
    dump_debug_logfile_status(out);
    out.write("\n");
    out.write("You must give a filename to change the debug file.\n");
    out.write("\n");
    return;
  }
  Buffer old_name;
  if (const char *name = vesk_client_get_debug_logfile_name())
    old_name.append(name);
  if (vesk_client_is_debug_logfile_open())
    vesk_client_debug_logfile_close();
  vesk_client_set_debug_logfile_name(argument);
  if (!vesk_client_get_debug_logfile_open_failed() && vesk_client_is_debug_logfile_open()) {
    out.write("\n");
    out.write("Debug logfile changed.\n");
  } else if (old_name.length > 0) {
    vesk_client_set_debug_logfile_name(old_name.text);
    out.write("\n");
    if (!vesk_client_get_debug_logfile_open_failed() && vesk_client_is_debug_logfile_open())
      out.write("Unable to open new logfile, old logfile not changed.\n");
    else
      out.write("Unable to open new logfile, and could not re-open old logfile.  No logfile currently set.\n");
  } else {
    out.write("\n");
    out.write("Unable to open logfile.  Please try again with a different name/path.\n");
  }
  out.write("\n");
}
