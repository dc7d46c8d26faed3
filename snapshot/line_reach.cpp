#include "snapshot/line_reach.hpp"

#include <string>

#include "snapshot/lines.hpp"

namespace quarnel::snapshot {
namespace {

// Every sheet has at least these; only a span beyond them needs the sheet's own count.
constexpr std::int32_t kEverySheetRows = 65536;
constexpr std::int32_t kEverySheetColumns = 256;

}  // namespace

std::int32_t LineReach::Count(const char* lines) {
  return excel::ToLong(sheet_.GetObject(lines).Get("Count"));
}

LineReach::Outcome LineReach::Of(std::string_view target, LineSpan& span) {
  const bool rows = IsRowTarget(target);
  if (const auto plain = PlainLines(target)) {
    if (plain->last > (rows ? kEverySheetRows : kEverySheetColumns)) {
      std::optional<std::int32_t>& size = rows ? rows_ : columns_;
      if (!size) size = Count(rows ? "Rows" : "Columns");
      if (plain->last > *size) return Outcome::Refused;
    }
    span = *plain;
    return Outcome::Names;
  }
  excel::Object named;
  try {
    named = rows ? sheet_.GetObject("Rows", {std::string(target)}).GetObject("EntireRow")
                 : sheet_.GetObject("Columns", {ColumnNumber(target)}).GetObject("EntireColumn");
  } catch (const Failure& failure) {
    // The line makes the same calls: Excel's own refusal stops the restore there.
    if (failure.Number() < 0) throw;
    return Outcome::Refused;
  }
  if (excel::ToLong(named.GetObject("Areas").Get("Count")) != 1) return Outcome::Unknown;
  const std::int32_t first = excel::ToLong(named.Get(rows ? "Row" : "Column"));
  const std::int32_t count = excel::ToLong(named.GetObject(rows ? "Rows" : "Columns").Get("Count"));
  if (first < 1 || count < 1) return Outcome::Unknown;
  span = LineSpan{rows, first, first + count - 1};
  return Outcome::Names;
}

}  // namespace quarnel::snapshot
