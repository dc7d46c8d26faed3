#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "excel/automation.hpp"

namespace quarnel::snapshot {

// Rows below and columns right of these are never looked at.
inline constexpr std::int32_t kLastUsedRows = 65536;
inline constexpr std::int32_t kLastUsedColumns = 256;

// The last used row and column of a sheet, which a snapshot records up to: the last filled cell of
// column A and of row 1, whether or not its row or column is hidden; 1 when there is none. Found by
// Excel's own move from A65536 (or IV1), then checked with COUNTA, which counts hidden cells where
// the move may have passed over them. Failures reach the caller.
class LastUsed {
 public:
  LastUsed(excel::Object application, excel::Object sheet)
      : application_(std::move(application)), sheet_(std::move(sheet)) {}

  std::int32_t Row();
  std::int32_t Column();

 private:
  struct Line;
  bool AnyFilled(const Line& line, std::int32_t first, std::int32_t last);
  std::int32_t LastFilledWithin(const Line& line, std::int32_t first, std::int32_t last);
  std::int32_t LastFilled(const Line& line, const excel::Object& reached, std::int32_t at);

  excel::Object application_;
  excel::Object sheet_;
  excel::Object functions_;  // Application.WorksheetFunction, asked for once it is needed
};

}  // namespace quarnel::snapshot
