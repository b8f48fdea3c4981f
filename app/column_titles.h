#pragma once
// The device list's column titles in the window's language: the titles of
// kDeviceColumns (operations/device_columns.h), which the command line
// keeps, through the translations.
#include <wx/string.h>

namespace vimbrel {

wxString ColumnTitle(int column);

}  // namespace vimbrel
