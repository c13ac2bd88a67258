#include "app/main_window.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "app/debug_log.h"
#include "app/tick_logic.h"
#include "config/config_store.h"
#include "gfx/embedded_window.h"
#include "gfx/font.h"
#include "input/line_edit.h"
#include "text/ansi_display.h"
#include "text/ansi_palette.h"
#include "util/platform.h"

vesk_mw *main_window = nullptr;
int mw_constructor_finished = 0;
int force_transfer_focus = 0;
int delayed_url_available = 0;
char delayed_url_buffer[1024] = "";

static volatile sig_atomic_t exit_signal_received = 0;

static void exit_signal_handler(int) { exit_signal_received = 1; }

void vesk_install_exit_signal_handlers()
{
  struct sigaction sa;
  std::memset(&sa, 0, sizeof(sa));
  sa.sa_handler = exit_signal_handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);
}

bool vesk_take_exit_signal()
{
  if (!exit_signal_received)
    return false;
  exit_signal_received = 0;
  return true;
}

// What the configuration store asks of the window when a preference changes.
// Menu checks, panels, themes, fonts and audio are added here as they come.
class vesk_mw_config_hook : public config_hook {
public:
  void relayout() override
  {
    if (!main_window)
      return;
    main_window->resize();
    main_window->Refresh();
  }
  void report_settings() override
  {
    if (main_window)
      main_window->config_update_pending = 1;
  }
  void refresh_prefs() override { relayout(); }

  // Text display: compact mode and font changes re-apply the text font, the
  // main scroll bar option resets the scroll bars.
  void option_changed(config_key key, int) override
  {
    if (!main_window)
      return;
    if (key == PREF_COMPACT_MODE) {
      main_window->global_font_resync();
    } else if (key == PREF_MW_SCROLLBAR_ENABLE) {
      main_window->reset_scrollbars();
      main_window->Refresh();
    }
  }
  void fonts_changed() override
  {
    if (main_window)
      main_window->global_font_resync();
  }
};

static vesk_mw_config_hook mw_config_hook;

wxBEGIN_EVENT_TABLE(vesk_mw, vesk_frame)
  EVT_TIMER(MAIN_TIMER, vesk_mw::OnTimer)
  EVT_TIMER(PING_TIMER, vesk_mw::PingTimer)
  EVT_TIMER(SAVE_TIMER, vesk_mw::SaveTimer)
  EVT_SIZE(vesk_mw::OnResize)
  EVT_SET_FOCUS(vesk_mw::OnFocusGot)
  EVT_CLOSE(vesk_mw::OnClose)
  EVT_ERASE_BACKGROUND(vesk_mw::discard_erase_event_handler)
  EVT_PAINT(vesk_mw::repaint_handler)
  EVT_LEFT_DOWN(vesk_mw::mouse_event_handler)
  EVT_LEFT_UP(vesk_mw::mouse_event_handler)
  EVT_LEFT_DCLICK(vesk_mw::mouse_event_handler)
  EVT_MIDDLE_DOWN(vesk_mw::mouse_event_handler)
  EVT_MIDDLE_UP(vesk_mw::mouse_event_handler)
  EVT_MIDDLE_DCLICK(vesk_mw::mouse_event_handler)
  EVT_RIGHT_DOWN(vesk_mw::mouse_event_handler)
  EVT_RIGHT_UP(vesk_mw::mouse_event_handler)
  EVT_RIGHT_DCLICK(vesk_mw::mouse_event_handler)
  EVT_MOTION(vesk_mw::mouse_event_handler)
  EVT_ENTER_WINDOW(vesk_mw::mouse_event_handler)
  EVT_LEAVE_WINDOW(vesk_mw::mouse_event_handler)
  EVT_MOUSEWHEEL(vesk_mw::mouse_event_handler)
wxEND_EVENT_TABLE()

vesk_mw::vesk_mw(const wxString &title, const wxPoint &pos, const wxSize &size)
    : vesk_frame(nullptr, wxID_ANY, title, pos, size, wxDEFAULT_FRAME_STYLE), shutdown_countdown(0),
      reconnect_pending(0), stream_demux(this), connection_started(0), connect_state(0), config_update_pending(0), ping_sent_usec(0), pending_text_flag(0), login_state(0),
      last_client_width(-1), last_client_height(-1), last_login_time(0), last_command_time(0),
      popup_menu_count(0), channel_divert_flag(0), main_text_display(nullptr), current_output_display(nullptr),
      force_trigger_counter(0),
      main_timer(this, MAIN_TIMER), save_timer(this, SAVE_TIMER), ping_timer(this, PING_TIMER), tick_count(0),
      background_bitmap(nullptr), background_width(-1), background_height(-1), logo_x(0), logo_y(0),
      logo_width(0), logo_height(0), logo_press_handled(0)
{
  pending_text.clear();
  main_window = this;

  // Panels, in their creation order; the command line comes first.
  input_window = new vesk_input_window(this, wxID_ANY, "main input window");
  main_text_display = new vesk_main_window(this, wxID_ANY, wxEmptyString);
  current_output_display = main_text_display;

  SetBackgroundColour(*wxBLACK);
  set_ansi_palette(MConfig::GetFontColors());
  input_window->edit->set_initial_font(global_font);
  input_window->SetFocus();
  if (global_font)
    main_text_display->set_initial_font(global_font);

  resize();
  Refresh();
  mw_constructor_finished = 1;
  MConfig::set_hook(&mw_config_hook);

  main_timer.Start(20);
  ping_timer.Start(15000);
  save_timer.Start(300000);
  vesk_install_exit_signal_handlers();
}

vesk_mw::~vesk_mw()
{
  main_timer.Stop();
  ping_timer.Stop();
  save_timer.Stop();
  game_socket.disconnect_close();
  delete background_bitmap;
  background_bitmap = nullptr;
  if (main_window == this) {
    MConfig::set_hook(nullptr);
    main_window = nullptr;
  }
}

void vesk_mw::poll_exit_signal()
{
  if (vesk_take_exit_signal() && shutdown_countdown == 0) {
    VESK_LOG(2, "vesk_mw - exit requested by signal.\n");
    system_shutdown_handler();
  }
}

void vesk_mw::OnTimer(wxTimerEvent &)
{
  if (!mw_constructor_finished) {
    VESK_LOG(2, "vesk_mw::OnTimer() - constructor not finished?\n");
    return;
  }
  ++tick_count;
  poll_exit_signal();

  // A focus transfer asked for by a panel click is repeated once.
  if (force_transfer_focus) {
    if (input_window)
      input_window->SetFocus();
    Raise();
    force_transfer_focus = 0;
  }

  // Everything the server sent is read and processed, then the queued
  // lines are written.
  socket_handler();

  // Every animating panel advances by one fixed 20 ms step.
  vesk_embedded_window::animation_update(20);

  // Settings changed since the last report go to the server.
  if (login_state == 2 && config_update_pending)
    send_config_update_to_server();

  // Client messages queued since the last tick.
  if (pending_text_flag) {
    display_set_default_colors();
    display_write(pending_text.text);
    main_text_display->refresh_text();
    pending_text_flag = 0;
    pending_text.clear();
  }

  // A connect asked for since the last tick. A live connection is kept: a
  // connect over it would fail and drop it.
  if (reconnect_pending) {
    reconnect_pending = 0;
    if (socket_is_connected())
      VESK_LOG(2, "vesk_mw::OnTimer() - reconnect ignored, already connected.\n");
    else
      socket_connect(0);
  }

  // A URL waiting to be opened.
  if (delayed_url_available) {
    delayed_url_available = 0;
    http_fork(delayed_url_buffer);
  }

  // An unfinished line (a prompt) that stayed pending for three ticks goes
  // to the trigger hook.
  if (trigger_line_step(force_trigger_counter, main_text_display->trigger_pending() != 0))
    main_text_display->force_trigger_line();

  // The exit countdown.
  run_shutdown_countdown();
}

void vesk_mw::run_shutdown_countdown()
{
  switch (shutdown_countdown_step(shutdown_countdown)) {
  case SHUTDOWN_NONE:
    return;
  case SHUTDOWN_EXIT_FORCED:
    VESK_LOG(2, "vesk_mw::shutdown - exit forced.\n");
    std::fflush(nullptr);
    _exit(0);
  case SHUTDOWN_SAVE_AND_EXIT:
    VESK_LOG(2, "vesk_mw::shutdown - requested exit\n");
    main_timer.Stop();
    save_system_config();
    Destroy();
    VESK_LOG(2, "vesk_mw::shutdown - exit forced to prevent hang due to close dialogs.\n");
    std::fflush(nullptr);
    _exit(0);
  }
}

void vesk_mw::PingTimer(wxTimerEvent &) { send_ping(); }

void vesk_mw::send_ping()
{
  if (login_state != 2)
    return;
  socket_send_command("mcping");
  ping_sent_usec = vesk_gettimeofday_useconds();
}

void vesk_mw::SaveTimer(wxTimerEvent &) { save_system_config(); }

void vesk_mw::OnResize(wxSizeEvent &)
{
  if (!mw_constructor_finished) {
    VESK_LOG(2, "vesk_mw::OnResize() - windows bug triggered, constructor not yet finished.  Ignoring.\n");
    return;
  }
  int w, h;
  GetClientSize(&w, &h);
  if (w == last_client_width && h == last_client_height) {
    VESK_LOG(2, "vesk_mw::OnResize() - ignoring double resize.\n");
    return;
  }
  if (w && h) {
    last_client_width = w;
    last_client_height = h;
  }
  resize();
  Refresh();
}

void vesk_mw::OnFocusGot(wxFocusEvent &event)
{
  if (input_window)
    input_window->SetFocus();
  event.Skip();
}

void vesk_mw::OnClose(wxCloseEvent &event)
{
  if (shutdown_countdown != 1 && event.CanVeto()) {
    event.Veto();
    verify_program_exit();
    return;
  }
  save_system_config();
  Destroy();
}

void vesk_mw::verify_program_exit()
{
  VESK_LOG(2, "vesk_mw::verify_program_exit()\n");
  system_shutdown_handler();
}

void vesk_mw::discard_erase_event_handler(wxEraseEvent &) {}

layout_input vesk_mw::gather_layout_input(int w, int h) const
{
  layout_input in;
  in.width = w;
  in.height = h;
  in.last_width = last_client_width;
  in.last_height = last_client_height;
  in.layout = MConfig::GetLayout();
  // Only panels that exist in this window take room; the switches of the
  // others are kept in the configuration and reported to the server.
  in.automap_enabled = false;
  in.automap_docked = MConfig::GetAutomapDocked() != 0;
  in.direction_buttons = false;
  in.hint_buttons = false;
  in.fkey_buttons = false;
  in.popup_buttons = false;
  in.status_bar = false;
  in.group_display = 0;
  in.health_bar = false;
  in.experience_bar = false;
  in.enemy_bar = false;
  in.channel_window = false;
  in.input_height = MConfig::GetInputHeight();
  in.channel_height = MConfig::GetChannelHeight();
  in.logged_in = login_state == 2;
  return in;
}

void vesk_mw::resize()
{
  redraw_background(0);
  int w, h;
  GetClientSize(&w, &h);
  layout_result r = compute_layout(gather_layout_input(w, h));
  if (input_window)
    input_window->SetSize(r.input_window.x, r.input_window.y, r.input_window.w, r.input_window.h);

  const layout_rect &t = r.text_display;
  main_text_display->SetSize(t.x, t.y, t.w, t.h);
  main_text_display->enable_scrolling();
}

void vesk_mw::zoom_in()
{
  ++global_font_size;
  if (global_font)
    global_font->SetPointSize(global_font_size); // rebuilds the glyphs
  enable_scrolling();
  global_font_resync();
}

void vesk_mw::zoom_out()
{
  if (global_font_size >= 4) {
    --global_font_size;
    if (global_font)
      global_font->SetPointSize(global_font_size);
    enable_scrolling();
    global_font_resync();
  } else {
    global_font_size = 3;
  }
}

void vesk_mw::incr_input_window_size()
{
  MConfig::SetInputHeight(layout_incr_input_height(MConfig::GetInputHeight()));
  resize();
  Refresh();
}

void vesk_mw::decr_input_window_size()
{
  MConfig::SetInputHeight(layout_decr_input_height(MConfig::GetInputHeight()));
  resize();
  Refresh();
}

void vesk_mw::incr_chan_window_size()
{
  MConfig::SetChannelHeight(layout_incr_channel_height(MConfig::GetChannelHeight()));
  resize();
}

void vesk_mw::decr_chan_window_size()
{
  MConfig::SetChannelHeight(layout_decr_channel_height(MConfig::GetChannelHeight()));
  resize();
}

void vesk_mw::delayed_write(const char *text)
{
  pending_text.append(text ? text : "(null)");
  pending_text_flag = 1;
}

void vesk_mw::open_url(const char *url)
{
  std::snprintf(delayed_url_buffer, sizeof(delayed_url_buffer), "%s", url ? url : "");
  VESK_LOG(2, "open_url() - '%s'.\n", delayed_url_buffer);
  delayed_url_available = 1;
}

int vesk_mw::http_fork(const char *url)
{
  if (vesk_http_fork(url))
    return 1;
  pending_text.append("\n");
  pending_text.append("\n");
  pending_text.append("Sorry, but I can't seem open your browser.\n");
  pending_text.append("\n");
  pending_text.append(url ? url : "(null)");
  pending_text.append("\n");
  pending_text.append("\n");
  pending_text_flag = 1;
  return 0;
}

void vesk_mw::start_reconnect()
{
  if (main_window)
    main_window->reconnect_pending = 1;
}

void vesk_mw::system_shutdown_handler()
{
  VESK_LOG(2, "vesk_mw system_shutdown_handler.\n");
  shutdown_countdown = 10;
}

// ---------------------------------------------------------------------------
// Main text display pass-throughs

void vesk_mw::display_write(const char *text) { main_text_display->write(text); }

void vesk_mw::display_set_color(int code1, int code2) { main_text_display->set_color(code1, code2); }

void vesk_mw::display_reset_colors() { main_text_display->reset_colors(); }

void vesk_mw::display_refresh() { main_text_display->refresh_text(); }

void vesk_mw::clear_main_scrollback() { main_text_display->clear_scrollback(); }

void vesk_mw::main_display_debug_fill() { main_text_display->generate_debug_fill_data(); }

void vesk_mw::display_set_default_colors()
{
  main_text_display->enable_scrolling();
  main_text_display->reset_colors();
  main_text_display->write("\n");
  reset_stream_demultiplexer();
}

void vesk_mw::reset_stream_demultiplexer() { stream_demux.reset(); }

void vesk_mw::enable_scrolling() { main_text_display->enable_scrolling(); }

void vesk_mw::disable_scrolling() { main_text_display->disable_scrolling(); }

int vesk_mw::scrolling_enabled() { return main_text_display->scrolling_enabled(); }

void vesk_mw::scroll_up()
{
  disable_scrolling();
  main_text_display->scroll_up();
}

void vesk_mw::scroll_down()
{
  disable_scrolling();
  main_text_display->scroll_down();
}

void vesk_mw::scroll_up(int lines)
{
  disable_scrolling();
  main_text_display->scroll_up(lines);
}

void vesk_mw::scroll_down(int lines)
{
  disable_scrolling();
  main_text_display->scroll_down(lines);
}

void vesk_mw::reset_scrollbars()
{
  main_text_display->set_scrollbar_enable(MConfig::GetMwScrollbar());
  main_text_display->enable_scrolling();
  main_text_display->ResetSize();
}

int vesk_mw::has_mouse_selection() { return main_text_display->text_control->has_mouse_selection(); }

void vesk_mw::clear_mouse_selection() { main_text_display->text_control->clear_mouse_selection(); }

// The status bar (with its scroll-lock indicator) is repainted here once it exists.
void vesk_mw::repaint_status_bar() {}

void vesk_mw::global_font_resync()
{
  if (!global_font)
    return;
  main_text_display->change_font(global_font);
  if (input_window)
    input_window->edit->change_font(global_font);
  // The character's configuration remembers the font and its size.
  MConfig::SetFont(*global_font);
}

void vesk_mw::clear_channel_window_selection() {}

void vesk_mw::set_channel_window_scrolling(int) {}

int vesk_mw::channel_window_scrolling_enabled() { return 1; }

void vesk_mw::toggle_popup_window(int) {}

void vesk_mw::toggle_automap_display() {}

void vesk_mw::incr_automap_size() {}

void vesk_mw::decr_automap_size() {}

void vesk_mw::history_display()
{
  if (input_window)
    input_window->edit->history_display();
}

int vesk_mw::input_local_echo_enabled() { return input_window ? input_window->edit->local_echo_enabled() : 1; }

void vesk_mw::enable_local_echo()
{
  if (input_window)
    input_window->edit->enable_echo();
}

void vesk_mw::disable_local_echo()
{
  if (input_window)
    input_window->edit->disable_echo();
}

void vesk_mw::swap_history(int set)
{
  if (input_window)
    input_window->edit->swap_history(set);
}


void vesk_mw::clear_channel_window() {}


void vesk_mw::run_record(const char *, const char *) {}

int transfer_focus_main(wxWindow *window)
{
  if (!window) {
    VESK_LOG(2, "Error in transfer_focus_main() - null w?\n");
    return 0;
  }
  wxWindow *parent = window->GetParent();
  for (wxWindow *w = window; w; w = w->GetParent()) {
    if (w->GetWindowStyleFlag() & 0x0008)
      return 0;
    if (w == main_window) {
      if (main_window->input_window)
        main_window->input_window->SetFocus();
      main_window->Raise();
      force_transfer_focus = 1;
      return 1;
    }
    if (w->IsTopLevel()) {
      if (parent) {
        parent->SetFocus();
        return 1;
      }
      return 0;
    }
  }
  return 0;
}
