#include "app/vimbrel_app.h"

#include <wx/uilocale.h>

#include "app/search_device_dlg.h"

namespace vimbrel {

void SetUpApplication(wxApp& app) {
    wxUILocale::UseDefault();
    app.SetVendorName(kProfileVendor);
    app.SetAppName("vimbrel");
}

bool CVimbrelApp::OnInit() {
    SetUpApplication(*this);
    return true;
}

// The main window runs modally; when it ends, the program ends.
int CVimbrelApp::OnRun() {
    {
        CSearchDeviceDlg dialog;
        SetTopWindow(&dialog);
        dialog.ShowModal();
        SetTopWindow(nullptr);
    }
    return 0;
}

}  // namespace vimbrel
