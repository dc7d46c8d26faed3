#pragma once

#include <cstdint>
#include <string>

// Rows and columns as Excel's A1 syntax names them.
namespace quarnel {
// The text that names one entire row: "12:12" for row 12.
std::string RowAddress(std::int64_t row);
// The text that names rows first to last: "3:900".
std::string RowsAddress(std::int64_t first, std::int64_t last);
// Excel's letters for a column: "A" for 1, "IV" for 256, "XFD" for 16384.
std::string ColumnLetters(std::int32_t column);
}  // namespace quarnel
