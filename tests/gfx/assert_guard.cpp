// Any toolkit assertion during the drawing tests is a test failure: it
// would otherwise open a dialog or pass unnoticed.
#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/string.h>

namespace {
void fail_on_assert(const wxString &file, int line, const wxString &func, const wxString &cond,
                    const wxString &msg)
{
  ADD_FAILURE() << "toolkit assertion at " << file.utf8_str().data() << ":" << line << " in "
                << func.utf8_str().data() << ": " << cond.utf8_str().data() << " " << msg.utf8_str().data();
}

class assert_guard_environment : public ::testing::Environment {
public:
  void SetUp() override { wxSetAssertHandler(fail_on_assert); }
};

const auto *installed = ::testing::AddGlobalTestEnvironment(new assert_guard_environment);
} // namespace
