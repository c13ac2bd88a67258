#include <cstdio>
#include <cstdlib>

#include <wx/app.h>

#include "app/debug_log.h"
#include "app/gui_app.h"

wxIMPLEMENT_APP_NO_MAIN(vesk_gui_app);

int main(int argc, char **argv)
{
  // The configuration directory is settled before the toolkit starts, so that
  // a missing HOME is reported the same way with or without a display.
  if (!vesk_gui_app_boot_config_directory())
    return 1;
  return wxEntry(argc, argv);
}
