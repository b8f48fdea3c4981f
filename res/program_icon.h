#pragma once
// The program's icon in several sizes, for the title bar, the task bar and
// the Alt+Tab list: the .ico resource on Windows, the PNGs built into the
// program elsewhere.
#include <wx/iconbndl.h>

namespace vimbrel {

wxIconBundle ProgramIcons();

}  // namespace vimbrel
