#pragma once
// The application: picks the window's language (--lang zh|en, VIMBREL_LANG,
// the system's), names the profile, runs the main window modally, and ends
// when it ends.
#include <wx/app.h>

#include "controls/ui_language.h"

namespace vimbrel {

// Vendor part of the profile's place: HKCU\Software\<this>\<program name>
// on Windows, the per-user configuration of the same names elsewhere.
inline constexpr const wchar_t* kProfileVendor = L"应用程序向导生成的本地应用程序";

class CVimbrelApp : public wxApp {
public:
    bool OnInit() override;
    int OnRun() override;
};

// Application name, vendor, locale and the window's language, shared with
// the window tests; see app/translations.h for `catalogFolder`.
void SetUpApplication(wxApp& app, UiLanguage language, const wxString& catalogFolder);

}  // namespace vimbrel
