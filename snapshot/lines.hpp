#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarnel::snapshot {

// "12:12/True" and CR LF.
std::string RowRecord(std::int64_t row, bool hidden);
// "3/False" and CR LF.
std::string ColumnRecord(std::int64_t column, bool hidden);

struct Record {
  // Rows when it holds ":" (handed to Excel as it stands), else a column number.
  std::string_view target;
  // Empty when the state text is neither "TRUE" nor "FALSE" in any case: the line before decides.
  std::optional<bool> state;
};

// Cuts a line (without its line end) at "/". A line without "/" fails with 9, as an index out of
// range would.
Record ReadRecord(std::string_view line);

bool IsRowTarget(std::string_view target);

// Reads a number from the start of the target as the spreadsheet's Val does: blanks, tabs and line
// feeds skipped anywhere, sign, digits with one point, E or D exponent, &H and &O prefixes; 0 when
// nothing reads.
double ColumnNumber(std::string_view target);

}  // namespace quarnel::snapshot
