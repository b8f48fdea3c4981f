#pragma once
// The window's language: the toolkit's translations set up for it, with the
// program's catalog and the toolkit's own (standard buttons and dialogs)
// where the system has it. Chinese is the catalog's source language: in
// Chinese every text is the design's own, untouched.
#include <wx/string.h>

#include "controls/ui_language.h"

namespace vimbrel {

// `catalogFolder`, when not empty, is searched first for
// <lang>/LC_MESSAGES/vimbrel.mo (the build tree's catalogs); Windows reads
// the catalogs from the program's resources.
void UseLanguage(UiLanguage language, const wxString& catalogFolder = wxString());

// The language set up last.
UiLanguage CurrentUiLanguage();

}  // namespace vimbrel
