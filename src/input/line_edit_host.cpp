// The command line's host in the client: every request goes to the main
// window, options to the settings, the clipboard to the text view's
// clipboard functions.
#include "input/line_edit_host.h"

#include "app/main_window.h"
#include "config/config_store.h"
#include "text/textctrl.h"

namespace {

// The on/off switches of Ctrl+P and Ctrl+Shift+digit.
void toggle_option(line_key_option option)
{
  switch (option) {
  case OPTION_GROUP_STATUS:
    MConfig::SetGroupStatus(MConfig::GetGroupStatus() ? 0 : 1);
    break;
  case OPTION_HPBAR:
    MConfig::SetHpbarEnable(!MConfig::GetHpbarEnable());
    break;
  case OPTION_ENEMY_HPBAR:
    MConfig::SetEnemyHpbarEnable(!MConfig::GetEnemyHpbarEnable());
    break;
  case OPTION_EXP_DISPLAY:
    MConfig::SetExpDisplay(!MConfig::GetExpDisplay());
    break;
  case OPTION_FKEY_BUTTONS:
    MConfig::SetFkeyButton(!MConfig::GetFkeyButton());
    break;
  case OPTION_POPUP_BUTTONS:
    MConfig::SetPopupDisplay(!MConfig::GetPopupDisplay());
    break;
  case OPTION_MAIN_SCROLLBAR:
    MConfig::SetMwScrollbar(!MConfig::GetMwScrollbar());
    break;
  case OPTION_NONE:
    break;
  }
}

class main_window_host : public line_edit_host {
public:
  int keypad_walking() override { return MConfig::GetKeypadWalking(); }
  int cmd_pushthrough() override { return MConfig::GetCommandPushthrough(); }
  int locking_scrollback() override { return MConfig::GetLockingScrollback(); }
  int logged_in() override { return main_window && main_window->login_state == 2; }

  void handle_async_control_command(const char *line, int echo) override
  {
    if (main_window)
      main_window->handle_async_control_command(line, echo);
  }
  void handle_async_control_break() override
  {
    if (main_window)
      main_window->handle_async_control_break();
  }
  void handle_async_control_abort() override
  {
    if (main_window)
      main_window->handle_async_control_abort();
  }
  void handle_async_tty_stop() override
  {
    if (main_window)
      main_window->handle_async_tty_stop();
  }
  void handle_async_tty_start() override
  {
    if (main_window)
      main_window->handle_async_tty_start();
  }

  int scrolling_enabled() override { return main_window ? main_window->scrolling_enabled() : 1; }
  void disable_scrolling() override
  {
    if (main_window)
      main_window->disable_scrolling();
  }
  void scroll_up() override
  {
    if (main_window)
      main_window->scroll_up();
  }
  void scroll_down() override
  {
    if (main_window)
      main_window->scroll_down();
  }
  void scroll_up(int lines) override
  {
    if (main_window)
      main_window->scroll_up(lines);
  }
  void scroll_down(int lines) override
  {
    if (main_window)
      main_window->scroll_down(lines);
  }
  int has_mouse_selection() override { return main_window ? main_window->has_mouse_selection() : 0; }
  void clear_mouse_selection() override
  {
    if (main_window)
      main_window->clear_mouse_selection();
  }
  void display_set_default_colors() override
  {
    if (main_window)
      main_window->display_set_default_colors();
  }
  void display_write(const char *text) override
  {
    if (main_window)
      main_window->display_write(text);
  }
  void display_refresh() override
  {
    if (main_window)
      main_window->display_refresh();
  }

  int channel_window_scrolling_enabled() override
  {
    return main_window ? main_window->channel_window_scrolling_enabled() : 1;
  }
  void set_channel_window_scrolling(int enable) override
  {
    if (main_window)
      main_window->set_channel_window_scrolling(enable);
  }
  void clear_channel_window_selection() override
  {
    if (main_window)
      main_window->clear_channel_window_selection();
  }

  void window_shortcut(const line_key_action &action) override
  {
    if (!main_window)
      return;
    vesk_mw &mw = *main_window;
    switch (action.kind) {
    case KEY_ZOOM_IN:
      mw.zoom_in();
      break;
    case KEY_ZOOM_OUT:
      mw.zoom_out();
      break;
    case KEY_CHANNEL_TALLER:
      mw.incr_chan_window_size();
      break;
    case KEY_CHANNEL_LOWER:
      mw.decr_chan_window_size();
      break;
    case KEY_TOGGLE_POPUP:
      mw.toggle_popup_window(action.number);
      break;
    case KEY_TOGGLE_AUTOMAP:
      mw.toggle_automap_display();
      break;
    case KEY_TOGGLE_OPTION:
      toggle_option(action.option);
      break;
    case KEY_AUTOMAP_SMALLER:
      mw.decr_automap_size();
      break;
    case KEY_AUTOMAP_LARGER:
      mw.incr_automap_size();
      break;
    case KEY_INPUT_LOWER:
      mw.decr_input_window_size();
      break;
    case KEY_INPUT_TALLER:
      mw.incr_input_window_size();
      break;
    default:
      break;
    }
  }

  int get_clipboard_data(wxString &text) override { return ::get_clipboard_data(text); }
  void set_clipboard_data(const wxString &text) override { ::set_clipboard_data(text.utf8_str()); }
};

} // namespace

line_edit_host &main_window_line_edit_host()
{
  static main_window_host host;
  return host;
}
