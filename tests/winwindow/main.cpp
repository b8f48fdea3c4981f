// Starts wxWidgets without a main loop, then runs the main-window tests of
// the Windows build under it.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/xrc/xmlres.h>

wxIMPLEMENT_APP_NO_MAIN(wxApp);

// A failed wxWidgets check fails the running test instead of waiting on a dialog.
static void FailOnAssert(const wxString& file, int line, const wxString&, const wxString& cond,
                         const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wxWidgets check failed: " << cond << " " << msg;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!wxEntryStart(argc, argv) || !wxTheApp || !wxTheApp->CallOnInit()) {
        fprintf(stderr, "cannot start wxWidgets (no display?)\n");
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    wxXmlResource::Get()->InitAllHandlers();
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
