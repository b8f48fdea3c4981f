#include "controls_ui/text_compare.h"

#include <wx/uilocale.h>

int CompareText(const wxString& lhs, const wxString& rhs) {
    return wxUILocale::GetCurrent().CompareStrings(lhs, rhs, wxCompare_CaseSensitive);
}
