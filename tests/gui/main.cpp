// Starts wxWidgets without a main loop, then runs the control tests under it.
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

// The leak checker of sanitizer builds reads these: memory that fontconfig,
// D-Bus and GLib keep for the life of the process is not ours to free. The
// system libraries have no frame pointers, so only their top frame is seen.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libglib-2.0.so\n";
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
