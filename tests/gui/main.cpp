// Starts wxWidgets without a main loop, then runs the control tests under it.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/xrc/xmlres.h>

namespace {

// Application object that only brings up the toolkit.
class GuiTestApp : public wxApp
{
public:
    bool OnInit() override { return true; }
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(GuiTestApp);

// The leak checker of sanitizer builds reads these: memory that fontconfig,
// D-Bus and GLib keep for the life of the process is not ours to free. The
// system libraries have no frame pointers, so only their top frame is seen.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libglib-2.0.so\n";
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!wxEntryStart(argc, argv) || !wxTheApp || !wxTheApp->CallOnInit()) {
        fprintf(stderr, "cannot start wxWidgets (no display?)\n");
        return 1;
    }
    wxXmlResource::Get()->InitAllHandlers();
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
