#include "app/vimbrel_app.h"

#include <wx/msgdlg.h>
#include <wx/uilocale.h>

#include "app/about_box.h"
#include "app/search_device_dlg.h"
#include "platform/firewall.h"
#include "res/program_icon.h"

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

// The main window runs modally; when it ends, the program ends. Run by the
// window elevated with kAllowFirewallArgument, the program lets the
// cameras' replies through the firewall instead, and ends with 0 when it
// did.
int CVimbrelApp::OnRun() {
    if (argc == 2 && argv[1] == kAllowFirewallArgument) {
        const platform::FirewallFix fix =
            platform::AllowThroughFirewall(platform::ThisProgramPath());
        return fix.result == platform::FirewallFixResult::kDone ? 0 : 1;
    }
    {
        DeviceSession session;
        CSearchDeviceDlg dialog(session);
        if (!dialog.Loaded()) {
            wxMessageBox(L"无法加载主窗口资源，程序无法启动。请重新安装程序。", L"Vimbrel",
                         wxOK | wxICON_ERROR);
            return 1;
        }
        dialog.SetIcons(ProgramIcons());
        AddAboutBox(dialog);
        SetTopWindow(&dialog);
        dialog.Start();
        dialog.ShowModal();
        SetTopWindow(nullptr);
    }
    return 0;
}

}  // namespace vimbrel
