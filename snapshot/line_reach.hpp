#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "excel/automation.hpp"
#include "snapshot/line_applier.hpp"

namespace quarnel::snapshot {

// What a restore's line will set on a sheet, known before it is applied: the target in plain
// digits says it alone, anything else is asked of Excel in the words the line will use.
class LineReach {
 public:
  enum class Outcome {
    Names,    // the line sets exactly the span given
    Refused,  // Excel will refuse the line, so the restore stops there
    Unknown,  // Excel names something that is not one block of rows or columns
  };

  explicit LineReach(excel::Object sheet) : sheet_(std::move(sheet)) {}

  // Failures of COM itself reach the caller.
  Outcome Of(std::string_view target, LineSpan& span);

 private:
  std::int32_t Count(const char* lines);

  excel::Object sheet_;
  std::optional<std::int32_t> rows_;
  std::optional<std::int32_t> columns_;
};

}  // namespace quarnel::snapshot
