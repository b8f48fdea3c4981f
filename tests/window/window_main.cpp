// Runs the window tests with the toolkit started, as the program does, but
// without its modal main loop: each test makes its own main window. In
// Chinese, the design's texts, unless VIMBREL_LANG says "en": the build
// tree's catalogs then give the English.
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include "app/vimbrel_app.h"

// A failed toolkit check fails the running test instead of waiting on a dialog.
static void FailOnAssert(const wxString& file, int line, const wxString&, const wxString& cond,
                         const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wxWidgets check failed: " << cond << " " << msg;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);  // the toolkit owns it
    if (!wxEntryStart(argc, argv)) return 2;
    wxTheApp->CallOnInit();
    wxSetAssertHandler(FailOnAssert);
    const char* language = std::getenv("VIMBREL_LANG");
    vimbrel::SetUpApplication(
        *wxTheApp,
        vimbrel::ParseUiLanguage(language ? language : "").value_or(vimbrel::UiLanguage::kChinese),
        VIMBREL_CATALOGS);
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
