#include "app/gui_app.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <wx/display.h>
#include <wx/image.h>

#include "app/debug_log.h"
#include "app/main_window.h"
#include "config/config_store.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/themes.h"
#include "net/ssl_context.h"
#include "util/buffer.h"
#include "util/random.h"
#include "util/strings.h"

char bootloader_version[257] = "";
int global_display_xsize = 640;
int global_display_ysize = 480;
int global_font_size = 10;
vesk_font *global_font = nullptr;
vesk_font *global_button_small_font = nullptr;
vesk_font *global_button_large_font = nullptr;

wxIconBundle vesk_gui_app::frame_icon_bundle;
int vesk_gui_app::frame_icon_bundle_built = 0;

vesk_frame::vesk_frame(wxWindow *parent, wxWindowID id, const wxString &title, const wxPoint &pos,
                       const wxSize &size, long style)
    : wxFrame(parent, id, title, pos, size, style, wxString("vesk frame ") + title)
{
  if (wxIconBundle *icons = vesk_gui_app::vesk_gui_app_get_frame_icon_bundle())
    SetIcons(*icons);
}

wxIconBundle *vesk_gui_app::vesk_gui_app_get_frame_icon_bundle()
{
  return frame_icon_bundle_built ? &frame_icon_bundle : nullptr;
}

void vesk_gui_app::vesk_gui_app_set_frame_icon(const wxIcon &icon)
{
  frame_icon_bundle.AddIcon(icon);
  frame_icon_bundle_built = 1;
}

int vesk_gui_app::vesk_gui_app_network_startup()
{
  std::signal(SIGPIPE, SIG_IGN);
  if (!vesk_ssl_startup()) {
    VESK_LOG(1, "Boot failed, SSL startup is broken.\n");
    return 0;
  }
  return 1;
}

void vesk_parse_command_line(int argc, const char *const *argv)
{
  bool expect_version = false;
  for (int i = 0; i < argc; ++i) {
    Buffer arg;
    arg.append(argv[i] ? argv[i] : "");
    if (i == 0) {
      VESK_LOG(2, "DEBUG - Command line executable name:  %s\n", arg.text);
    } else if (expect_version) {
      VESK_LOG(2, "DEBUG - Command line launcher version: %s\n", arg.text);
      std::snprintf(bootloader_version, sizeof(bootloader_version), "%.256s", arg.text);
      expect_version = false;
    } else if (wordcmp(arg.text, "-l")) {
      VESK_LOG(2, "DEBUG - Command line launcher flag:    %s\n", arg.text);
      expect_version = true;
    } else if (wordcmp(arg.text, "-n")) {
      VESK_LOG(2, "DEBUG - Command line old launcher:     %s\n", arg.text);
      std::snprintf(bootloader_version, sizeof(bootloader_version), "%s", "(old style launcher)");
    } else {
      VESK_LOG(2, "DEBUG - Unknown command line arg:      %s\n", arg.text);
    }
  }
}

int vesk_gui_app_boot_config_directory()
{
  if (vesk_client_get_config_directory_path())
    return 1;
  if (!vesk_client_set_up_config_directory("Ombrith")) {
    std::printf("Boot failed, unable to get at system config directory.\n");
    std::fflush(stdout);
    std::exit(1);
  }
  return 1;
}

bool vesk_gui_app::OnInit()
{
  vesk_gui_app_boot_config_directory();

  Buffer log_name;
  const char *dir = vesk_client_get_config_directory_path();
  log_name.append(dir ? dir : "(null)");
  log_name.append("/mclient_log.txt");
  vesk_client_set_debug_logfile_name(log_name.text);

  VESK_LOG(2, "--------------------------- BOOT START --------------------------\n");

  vesk_gui_app_network_startup();

  xrand_initialize();
  initialize_themes();

  wxImage::AddHandler(new wxPNGHandler);
  construct_all_images();

  // The shared fonts: the text font and the two button fonts.
  global_font = new vesk_font(global_font_size, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                              wxEmptyString, wxFONTENCODING_DEFAULT);
  global_button_small_font = new vesk_font(7, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                                           wxEmptyString, wxFONTENCODING_DEFAULT);
  global_button_large_font = new vesk_font(10, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL,
                                           false, wxEmptyString, wxFONTENCODING_DEFAULT);

  // System and character settings; they may replace the shared fonts, so
  // this comes after the fonts are made.
  load_system_config();

  // The arguments arrive as toolkit strings; turn them back into UTF-8.
  std::vector<std::string> utf8_args;
  for (int i = 0; i < argc; ++i)
    utf8_args.push_back(argv[i].utf8_string());
  std::vector<const char *> args;
  for (const std::string &a : utf8_args)
    args.push_back(a.c_str());
  vesk_parse_command_line((int)args.size(), args.data());

  reset_theme();

  vesk_mw *mw = new vesk_mw("Ombrith", wxDefaultPosition, wxSize(984, 728));
  mw->Show(true);
  SetTopWindow(mw);

  int display_index = wxDisplay::GetFromWindow(mw);
  wxDisplay display(display_index == wxNOT_FOUND ? 0u : (unsigned)display_index);
  wxRect area = display.GetClientArea();
  global_display_xsize = area.width;
  global_display_ysize = area.height;
  if (global_display_xsize < 1) {
    VESK_LOG(1, "Error in OnInit(), got bogus screen/display xsize of %d.  Setting to 640.\n", global_display_xsize);
    global_display_xsize = 640;
  }
  if (global_display_ysize < 1) {
    VESK_LOG(1, "Error in OnInit(), got bogus screen/display ysize of %d.  Setting to 480.\n", global_display_ysize);
    global_display_ysize = 480;
  }
  VESK_LOG(2, "OnInit(), got screen/display size of %d, %d.\n", global_display_xsize, global_display_ysize);
  return true;
}

int vesk_gui_app::OnExit()
{
  VESK_LOG(2, "--------------------------- PROGRAM EXIT --------------------------\n");
  return 0;
}
