#pragma once
// "关于 Vimbrel…": the version and what the program is for. On Windows an
// entry of the window's system menu opens it; GTK has no system menu, so F1
// opens it there (and on Windows too).
#include <wx/toplevel.h>

namespace vimbrel {

// Adds the entry and F1 to `window`.
void AddAboutBox(wxTopLevelWindow& window);

}  // namespace vimbrel
