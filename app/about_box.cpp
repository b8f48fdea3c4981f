#include "app/about_box.h"

#include <wx/event.h>
#include <wx/msgdlg.h>
#include <wx/string.h>
#include <wx/translation.h>
#if defined(__WXMSW__)
#include <wx/menu.h>
#endif

#ifndef VIMBREL_VERSION
#define VIMBREL_VERSION "0"
#endif
#ifndef VIMBREL_DESCRIPTION
#define VIMBREL_DESCRIPTION ""
#endif

namespace vimbrel {
namespace {

// The system menu's commands keep their four low bits for Windows and
// start at 0xF000 (SC_SIZE): an id below that, a multiple of 16.
constexpr int kAboutId = 0x7F10;

// The window's language and how to change it, one text for the catalogs.
// clang-format off
const wchar_t* const kLanguageNote = wxTRANSLATE(L"界面语言：中文。改用英文：用 --lang en 启动 vimbrel，或设置环境变量 VIMBREL_LANG=en。");
// clang-format on

// "Vimbrel <version>", a blank line, the one-line description (the
// catalogs hold it as the project names it), a blank line, the language note.
wxString AboutText() {
    return wxString(L"Vimbrel ") + VIMBREL_VERSION + L"\n\n" +
           wxGetTranslation(wxString::FromUTF8(VIMBREL_DESCRIPTION)) + L"\n\n" +
           wxGetTranslation(kLanguageNote);
}

void ShowAboutBox(wxWindow& parent) {
    wxMessageBox(AboutText(), _(L"关于 Vimbrel"), wxOK | wxICON_INFORMATION, &parent);
}

}  // namespace

void AddAboutBox(wxTopLevelWindow& window) {
#if defined(__WXMSW__)
    // Items appended to the system menu come back as menu events.
    if (wxMenu* menu = window.MSWGetSystemMenu()) {
        menu->AppendSeparator();
        menu->Append(kAboutId, _(L"关于 Vimbrel…"));
    }
#endif
    window.Bind(
        wxEVT_MENU, [&window](wxCommandEvent&) { ShowAboutBox(window); }, kAboutId);
    window.Bind(wxEVT_CHAR_HOOK, [&window](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_F1 && event.GetModifiers() == wxMOD_NONE)
            ShowAboutBox(window);
        else
            event.Skip();
    });
}

}  // namespace vimbrel
