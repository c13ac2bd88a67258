// Test entry point: initialises the toolkit when an X display is available so
// that drawing tests can run; logic tests run either way.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/clipbrd.h>
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
    // Give back what the tests put into the clipboard and primary selection.
    wxTheClipboard->UsePrimarySelection(true);
    wxTheClipboard->Clear();
    wxTheClipboard->UsePrimarySelection(false);
    wxTheClipboard->Clear();
    wxTheApp->OnExit();
    wxEntryCleanup();
  }
  return rc;
}
