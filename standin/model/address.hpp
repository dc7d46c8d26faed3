#pragma once

// Excel's A1 address texts: "12:12", "3:7", "C", "C:E", "A1", "$C$12:E15", "A:A".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/text.hpp"
#include "excel/addresses.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin {

// Whole rows ("12:12", "$3:$7"; "7:3" comes back in order). A lone number is no row address.
std::optional<Rect> ParseRowAddress(std::string_view text);
// Whole columns by letters ("C", "$C:E").
std::optional<Rect> ParseColumnAddress(std::string_view text);
// A cell, a block of cells, whole rows or whole columns.
std::optional<Rect> ParseRangeAddress(std::string_view text);

// Column number from letters ("A" is 1, "XFD" the last); nothing when not a column.
std::optional<std::int32_t> ColumnFromLetters(std::string_view letters);
// Absolute address as Range.Address gives it: "$A$1", "$C$12:$E$15", "$12:$12", "$A:$C".
std::string FormatAddress(const Rect& rect);

}  // namespace quarnel::standin
