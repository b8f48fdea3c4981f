#include "app/about_box.h"

#include <wx/event.h>
#include <wx/msgdlg.h>
#if defined(__WXMSW__)
#include <wx/menu.h>
#endif

#include "res/program_icon.h"

#ifndef VIMBREL_VERSION
#define VIMBREL_VERSION "0"
#endif
#ifndef VIMBREL_DESCRIPTION
#define VIMBREL_DESCRIPTION ""
#endif

namespace vimbrel {
namespace {

void ShowAboutBox(wxWindow& parent) {
    wxMessageBox(AboutText(), L"关于 Vimbrel", wxOK | wxICON_INFORMATION, &parent);
}

}  // namespace

wxString AboutText() {
    return wxString(L"Vimbrel ") + VIMBREL_VERSION + L"\n\n" +
           wxString::FromUTF8(VIMBREL_DESCRIPTION);
}

void AddAboutBox(wxTopLevelWindow& window) {
    window.SetIcons(ProgramIcons());
    const int aboutId = wxWindow::NewControlId();
#if defined(__WXMSW__)
    // Items appended to the system menu come back as menu events.
    if (wxMenu* menu = window.MSWGetSystemMenu()) {
        menu->AppendSeparator();
        menu->Append(aboutId, L"关于 Vimbrel…");
    }
#endif
    window.Bind(
        wxEVT_MENU, [&window](wxCommandEvent&) { ShowAboutBox(window); }, aboutId);
    window.Bind(wxEVT_CHAR_HOOK, [&window](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_F1 && event.GetModifiers() == wxMOD_NONE)
            ShowAboutBox(window);
        else
            event.Skip();
    });
}

}  // namespace vimbrel
