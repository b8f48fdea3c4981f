#include "app/vimbrel_app.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>
#include <wx/uilocale.h>

#include "app/about_box.h"
#include "app/search_device_dlg.h"
#include "controls_ui/translations.h"
#include "platform/firewall.h"
#include "res/program_icon.h"

namespace vimbrel {

namespace {

// The system's preferred UI languages: Windows' own list; elsewhere the
// environment's, as gettext reads it (the toolkit would take C for English).
std::vector<std::string> SystemLanguages() {
#ifdef __WXMSW__
    std::vector<std::string> languages;
    for (const wxString& name : wxUILocale::GetPreferredUILanguages())
        languages.push_back(name.utf8_string());
    return languages;
#else
    return PreferredLanguagesOfEnvironment([](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    });
#endif
}

// "--lang X" or "--lang=X" among the arguments.
std::optional<std::string> LanguageArgument(int argc, const wxArrayString& argv) {
    for (int i = 1; i < argc; ++i) {
        const wxString& argument = argv[i];
        if (argument == "--lang" && i + 1 < argc) return argv[i + 1].utf8_string();
        if (argument.StartsWith("--lang=")) return argument.Mid(7).utf8_string();
    }
    return std::nullopt;
}

// The build tree's catalogs when run from there: next to the build's
// program folders.
wxString BuildTreeCatalogs() {
    wxFileName folder(wxStandardPaths::Get().GetExecutablePath());
    folder.RemoveLastDir();
    folder.AppendDir("locale");
    return folder.GetPath();
}

}  // namespace

void SetUpApplication(wxApp& app, UiLanguage language, const wxString& catalogFolder) {
    UseLanguage(language, catalogFolder);
    app.SetVendorName(kProfileVendor);
    app.SetAppName("vimbrel");
}

bool CVimbrelApp::OnInit() {
    const char* variable = std::getenv("VIMBREL_LANG");
    const LanguageChoice choice = ChooseUiLanguage(
        LanguageArgument(argc, argv.GetArguments()),
        variable ? std::optional<std::string>(variable) : std::nullopt, SystemLanguages());
    SetUpApplication(*this, choice.language.value_or(LanguageOfSystem(SystemLanguages())),
                     BuildTreeCatalogs());
    if (!choice.language) {
        wxMessageBox(wxString::Format(_(L"不支持的语言“%s”：请用 --lang zh 或 --lang en。"),
                                      wxString::FromUTF8(choice.bad)),
                     L"Vimbrel", wxOK | wxICON_ERROR);
        return false;
    }
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
            wxMessageBox(_(L"无法加载主窗口资源，程序无法启动。请重新安装程序。"), L"Vimbrel",
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
