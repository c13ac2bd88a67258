// Test entry point: initialises the toolkit when an X display is available so
// that drawing tests can run; logic tests run either way.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

bool ombrith_test_display_available = false;

int main(int argc, char **argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  int wx_argc = 1;
  char *wx_argv[] = {argv[0], nullptr};
  wxApp::SetInstance(new wxApp());
  ombrith_test_display_available = wxEntryStart(wx_argc, wx_argv);
  if (ombrith_test_display_available)
    wxTheApp->CallOnInit();
  int rc = RUN_ALL_TESTS();
  if (ombrith_test_display_available) {
    wxTheApp->OnExit();
    wxEntryCleanup();
  }
  return rc;
}
