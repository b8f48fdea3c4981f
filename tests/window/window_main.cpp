// Runs the window tests with the toolkit started, as the program does, but
// without its modal main loop: each test makes its own main window.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include "app/vimbrel_app.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);  // the toolkit owns it
    if (!wxEntryStart(argc, argv)) return 2;
    wxTheApp->CallOnInit();
    vimbrel::SetUpApplication(*wxTheApp);
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
