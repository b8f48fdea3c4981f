#pragma once

#include <wx/string.h>

// Orders two cell texts by the user interface locale, case-sensitive, as text
// (never as numbers). Negative, zero or positive like strcmp.
int CompareText(const wxString& lhs, const wxString& rhs);
