#pragma once
// "关于 Vimbrel…": the version and what the program is for. On Windows an
// entry of the window's system menu opens it; GTK has no system menu, so F1
// opens it there (and on Windows too).
#include <wx/string.h>
#include <wx/toplevel.h>

namespace vimbrel {

// "Vimbrel <version>", a blank line, the one-line description.
wxString AboutText();

// Adds the entry and F1 to `window`, and gives it the program's icon.
void AddAboutBox(wxTopLevelWindow& window);

}  // namespace vimbrel
