#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Reads a stored set of list column widths: 32-bit little-endian signed
// integers, the column count N first, then N widths in pixels, column 0 first.
//
// Returns the widths to apply, in column order:
// - empty when the value is shorter than its count or the count differs from
//   columnCount;
// - the widths the value holds when it ends before its N widths (a trailing
//   partial integer is ignored);
// - a negative width reads as 0.
std::vector<int> ParseColumnWidths(const std::uint8_t* bytes, std::size_t size, int columnCount);
