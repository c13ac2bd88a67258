// The client's one top-level window: owns every panel, lays them out, and
// runs the 20 ms tick that drives the connection, animations and exit.
#ifndef OMBRITH_APP_MAIN_WINDOW_H
#define OMBRITH_APP_MAIN_WINDOW_H

#include <cstdint>
#include <ctime>

#include <wx/timer.h>

#include "app/gui_app.h"
#include "app/layout.h"
#include "net/outgoing_buffer.h"
#include "net/stream_demux.h"
#include "net/tcp_socket.h"
#include "util/buffer.h"

class vesk_input_window;
class vesk_bitmap;
class wxDC;

enum { MAIN_TIMER = 112, PING_TIMER = 113, SAVE_TIMER = 114 };

class vesk_ansi_display;
class vesk_main_window;

// The window also receives what the stream demultiplexer separates out of
// the server's bytes (text runs, records, echo switches, the bell).
class vesk_mw : public vesk_frame, public vesk_stream_demux_sink {
public:
  vesk_mw(const wxString &title, const wxPoint &pos, const wxSize &size);
  ~vesk_mw() override;

  // Timers and window events.
  void OnTimer(wxTimerEvent &event);
  void PingTimer(wxTimerEvent &event);
  // Sends "mcping" and notes the time, only while logged in.
  void send_ping();
  void SaveTimer(wxTimerEvent &event);
  void OnResize(wxSizeEvent &event);
  void OnFocusGot(wxFocusEvent &event);
  void OnClose(wxCloseEvent &event);
  void discard_erase_event_handler(wxEraseEvent &event);

  // Layout.
  void resize();
  layout_input gather_layout_input(int w, int h) const;

  // Size steps.
  void zoom_in();
  void zoom_out();
  // Gives the shared text font to the panels that show text.
  void global_font_resync();
  void incr_input_window_size();
  void decr_input_window_size();
  void incr_chan_window_size();
  void decr_chan_window_size();

  // Deferred actions, carried out on the next tick.
  void delayed_write(const char *text);
  void open_url(const char *url);
  int http_fork(const char *url);
  void start_reconnect();
  void system_shutdown_handler();
  void verify_program_exit();

  // Output and scrolling pass-throughs to the main text display.
  void display_write(const char *text);
  void display_set_default_colors();
  void display_set_color(int code1, int code2);
  void display_reset_colors();
  void display_refresh();
  void enable_scrolling();
  void disable_scrolling();
  int scrolling_enabled();
  // Each first stops the display from following; without a count, half a page.
  void scroll_up();
  void scroll_down();
  void scroll_up(int lines);
  void scroll_down(int lines);
  void reset_scrollbars();
  int has_mouse_selection();
  void clear_mouse_selection();
  void repaint_status_bar();

  // Channel window pass-throughs.
  void clear_channel_window_selection();
  void set_channel_window_scrolling(int enable);
  int channel_window_scrolling_enabled();

  // Panel switches and sizes the keyboard shortcuts reach.
  void toggle_popup_window(int n);
  void toggle_automap_display();
  void incr_automap_size();
  void decr_automap_size();

  // The one path of every outgoing line: client commands, local echo, sending.
  void handle_async_control_command(const char *line, int echo);
  void send_command_help();
  void menu_help_kb_shortcuts(wxCommandEvent &event);
  void menu_help_mud_basic_help(wxCommandEvent &event);
  void menu_help_mud_more_help(wxCommandEvent &event);
  void menu_help_about(wxCommandEvent &event);
  void handle_async_control_break();
  void handle_async_control_abort();
  void handle_async_tty_stop();
  void handle_async_tty_start();
  void display_write_menu_separator();

  // Records from the server: the dispatcher and the handlers it calls.
  void process_tagged_data(const char *name, const char *data, int length);
  void handle_login_record(const char *data);
  void handle_dirs_record(const char *data);
  void handle_event_record(const char *data);
  void config_cmd_process(const char *command);
  void send_config_update_to_server();
  void set_automap_display_enable(int enable);

  // Redirections of received text into popup displays and channels.
  void mc_divert(const char *name);
  void mc_undivert();
  void mc_append(const char *name);
  void mc_unappend();
  void channel_divert(const char *name);
  void channel_undivert();
  vesk_ansi_display *find_popup_display(const char *name);
  void redirect_to_unknown_popup();

  // Game connection (app/connection.cpp).
  int socket_is_connected();
  // Queues the line and a newline for the server (connected or not).
  void socket_send_command(const char *line);
  // Queues the text without a newline.
  void append_outgoing_string(const char *text);
  // Connects (blocking, bounded) to connect_address on the port, or on
  // connect_port when port is 0 or less, and identifies the client.
  void socket_connect(int port);
  // Closes the connection, returns the client to its disconnected state and
  // tells the player how to log in again.
  void socket_disconnect(const char *message);
  // The per-tick reader and writer; connects on its first call.
  void socket_handler();

  // The received byte stream: demultiplexed into text runs for the displays,
  // records for the dispatcher, echo switches and the bell.
  void process_socket_data(const char *data, int count);
  // One text run: to the channel window while channel diversion is on,
  // otherwise to the current output display.
  void display_socket_data(const char *text, int length);
  void clear_all_displays_changed_flag();
  void update_all_displays_changed_flag();
  void demux_text_run(const char *text, int length) override;
  void demux_record(const char *name, const char *data, int length) override;
  void demux_local_echo(int enable) override;
  void demux_bell() override;

  // Command line editor pass-throughs: the history listing, the server's
  // echo switch (hidden input) and the history set of the connection state.
  void history_display();
  int input_local_echo_enabled();
  void enable_local_echo();
  void disable_local_echo();
  void swap_history(int set);

  // Pieces of other panels that the command path uses.
  void clear_main_scrollback();
  void clear_channel_window();
  void main_display_debug_fill();
  void run_record(const char *name, const char *data);

  // Background, logo and border of the window's own surface
  // (gfx/main_window_background.cpp).
  void redraw_background(int force);
  static void paint_maze1_background(vesk_bitmap *bitmap, int width, int height);
  static void paint_maze2_background(vesk_bitmap *bitmap, int width, int height);
  static void paint_maze3_background(vesk_bitmap *bitmap, int width, int height);
  static void paint_circles_background(vesk_bitmap *bitmap, int width, int height);
  void repaint_handler(wxPaintEvent &event);
  void mouse_event_handler(wxMouseEvent &event);
  // What a paint draws once the paint context is open.
  void paint_surface(wxDC &dc);

  // The command line's frame panel, created first of the panels.
  vesk_input_window *input_window = nullptr;

  int shutdown_countdown;
  int reconnect_pending;
  // The game socket, the bytes queued for it and the demultiplexer of what
  // it receives.
  vesk_tcp_socket game_socket;
  vesk_outgoing_buffer socket_write_buffer;
  vesk_stream_demux stream_demux;
  // The first tick has started a connection.
  int connection_started;
  // The handler has seen the socket connected and now reads and writes it.
  int connect_state;
  int config_update_pending;
  int64_t ping_sent_usec;
  Buffer pending_text;
  int pending_text_flag;
  int login_state;
  int last_client_width;
  int last_client_height;
  time_t last_login_time;
  time_t last_command_time;
  int popup_menu_count;
  int channel_divert_flag;
  // The last exits value of a "dirs" record, the last measured ping time in
  // milliseconds, and the scroll position an undivert restores.
  int last_exits_value = 0;
  int last_ping_ms = -1;
  int divert_saved_scroll_pos = 0;
  // The main text display, and the display text goes to right now (the
  // main one unless text is diverted into a popup).
  vesk_main_window *main_text_display;
  vesk_ansi_display *current_output_display;
  // Consecutive ticks on which the main display had an unfinished line.
  int force_trigger_counter;

  wxTimer main_timer;
  wxTimer save_timer;
  wxTimer ping_timer;

  // Number of ticks run so far (for tests and the idle measurement).
  long tick_count;

  // The painted background and its size; the clickable logo rectangle.
  vesk_bitmap *background_bitmap;
  int background_width;
  int background_height;
  int logo_x;
  int logo_y;
  int logo_width;
  int logo_height;
  // Set once a press has opened the web page; cleared when the button is up.
  int logo_press_handled;

private:
  // The part of display_socket_data that goes to the channel window; 0 while
  // there is no channel window to take the text.
  int display_channel_text(const char *text, int length);
  void run_shutdown_countdown();
  // Puts the stream demultiplexer back into plain-text state with empty
  // record buffers.
  void reset_stream_demultiplexer();
  void poll_exit_signal();

  wxDECLARE_EVENT_TABLE();
};

extern vesk_mw *main_window;
extern int mw_constructor_finished;
extern int force_transfer_focus;
extern int delayed_url_available;
extern char delayed_url_buffer[1024];

int transfer_focus_main(wxWindow *window);

// The character name as it may appear in the window title.
wxString vesk_title_safe_name(const char *name);

struct reported_options;
// The options of the settings status line, read from the settings store.
reported_options vesk_reported_options();

// Installs handlers so that SIGTERM, SIGINT and SIGHUP request an orderly exit
// on the next tick.
void vesk_install_exit_signal_handlers();
// True once one of those signals arrived (and clears it).
bool vesk_take_exit_signal();

#endif
