// The main window's record dispatcher: every complete record from the
// server arrives here by name and goes to the panel or state it concerns.
#include "app/debug_log.h"
#include "app/main_window.h"
#include "net/tag_dispatch.h"

void vesk_mw::process_tagged_data(const char *name, const char *data, int length)
{
  if (!data) {
    data = "";
    length = 0;
  }
  (void)length;
  int button = 0;
  switch (classify_record(name, &button)) {
  default:
    VESK_LOG(2, "Warning in vesk_mw::process_tagged_data(), no handler for tag '%s'.\n", name ? name : "(null)");
    break;
  }
}
