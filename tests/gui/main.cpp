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
