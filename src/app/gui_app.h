// The application object, the frame base class and the process-wide globals
// set up at start-up.
#ifndef OMBRITH_APP_GUI_APP_H
#define OMBRITH_APP_GUI_APP_H

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/iconbndl.h>

class vesk_font;

class vesk_gui_app : public wxApp {
public:
  bool OnInit() override;
  int OnExit() override;

  static int vesk_gui_app_network_startup();
  static wxIconBundle *vesk_gui_app_get_frame_icon_bundle();
  static void vesk_gui_app_set_frame_icon(const wxIcon &icon);

private:
  static wxIconBundle frame_icon_bundle;
  static int frame_icon_bundle_built;
};

class vesk_frame : public wxFrame {
public:
  vesk_frame(wxWindow *parent, wxWindowID id, const wxString &title, const wxPoint &pos, const wxSize &size,
             long style);
};

extern char bootloader_version[257];
extern int global_display_xsize;
extern int global_display_ysize;
extern int global_font_size;
extern vesk_font *global_font;
extern vesk_font *global_button_small_font;
extern vesk_font *global_button_large_font;

// Chooses and creates the configuration directory; prints the boot failure
// and ends the process with status 1 when there is none.
int vesk_gui_app_boot_config_directory();

// Reads the launcher's arguments ("-l version", "-n") into bootloader_version.
void vesk_parse_command_line(int argc, const char *const *argv);

#endif
