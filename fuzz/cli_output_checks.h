#pragma once
// Checks on how the command line prints a row that came from the network.
#include <string>

#include "operations/device_row.h"

namespace vimbrel::fuzz {

// The row as a table, JSON and CSV: the table holds no control character
// and is valid UTF-8; JSON and CSV read back to the row's texts.
void CheckCliOutput(const DeviceRow& row);

// Any wide text to UTF-8 is valid UTF-8 and reads back, code units that are
// no character as U+FFFD.
void CheckUtf8(const std::wstring& text);

}  // namespace vimbrel::fuzz
