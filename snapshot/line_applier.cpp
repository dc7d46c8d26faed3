#include "snapshot/line_applier.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "common/text.hpp"
#include "excel/addresses.hpp"

namespace quarnel::snapshot {
namespace {

// The larger of the two sheet sizes Excel has: a sheet with more than 65,536 rows or 256 columns
// has this many.
constexpr std::int32_t kLargeSheetRows = 1048576;
constexpr std::int32_t kLargeSheetColumns = 16384;

// Digits as the record writes them: no sign, no blank, no leading zero; seven at most.
std::optional<std::int32_t> PlainNumber(std::string_view text) {
  if (text.empty() || text.size() > 7 || text.front() == '0') return std::nullopt;
  std::int32_t number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

}  // namespace

std::optional<LineSpan> PlainLines(std::string_view target) {
  if (IsRowTarget(target)) {
    const auto colon = target.find(':');
    const auto first = PlainNumber(target.substr(0, colon));
    const auto last = PlainNumber(target.substr(colon + 1));
    if (!first || !last || *first > *last) return std::nullopt;
    return LineSpan{true, *first, *last};
  }
  const double column = ColumnNumber(target);
  if (!(column >= 1 && column <= kLargeSheetColumns) || column != std::floor(column)) return std::nullopt;
  const auto number = static_cast<std::int32_t>(column);
  return LineSpan{false, number, number};
}

// Only targets sure to name what a neighbour's call would join a run; anything else keeps its own
// call.
std::optional<LineApplier::Run> LineApplier::Plain(const Record& record, bool hidden) {
  const auto span = PlainLines(record.target);
  if (!span) return std::nullopt;
  return Run{*span, hidden};
}

void LineApplier::Add(const Record& record, bool hidden) {
  std::optional<Run> line;
  if (lines_ == Lines::InRuns) line = Plain(record, hidden);
  if (line && line->last > (line->rows ? lastRow_ : lastColumn_)) line.reset();
  if (line && held_ && held_->rows == line->rows && held_->hidden == hidden &&
      (line->first == held_->last + 1 || line->last + 1 == held_->first)) {
    held_->first = std::min(held_->first, line->first);
    held_->last = std::max(held_->last, line->last);
    return;
  }
  Flush();
  if (line) {
    held_ = line;
    return;
  }
  ApplyAlone(record, hidden);
}

void LineApplier::Flush() {
  if (!held_) return;
  // Let go first: after a failure nothing of this run may be tried again.
  const Run run = *std::exchange(held_, std::nullopt);
  Apply(run);
}

void LineApplier::Apply(const Run& run) const {
  if (run.rows) {
    const std::string rows = RowsAddress(run.first, run.last);
    sheet_.GetObject("Rows", {rows}).GetObject("EntireRow").Put("Hidden", run.hidden);
    return;
  }
  // Several columns only by letters; one column by number, as a line alone goes.
  const excel::Value columns = run.first == run.last
                                   ? excel::Value(static_cast<double>(run.first))
                                   : excel::Value(ColumnLetters(run.first) + ":" + ColumnLetters(run.last));
  sheet_.GetObject("Columns", {columns}).GetObject("EntireColumn").Put("Hidden", run.hidden);
}

void LineApplier::ApplyAlone(const Record& record, bool hidden) {
  if (IsRowTarget(record.target)) {
    sheet_.GetObject("Rows", {std::string(record.target)}).GetObject("EntireRow").Put("Hidden", hidden);
  } else {
    sheet_.GetObject("Columns", {ColumnNumber(record.target)})
        .GetObject("EntireColumn")
        .Put("Hidden", hidden);
  }
  // Excel took a row or column beyond the smaller sheet: this sheet is the larger one.
  const auto plain = Plain(record, hidden);
  if (!plain) return;
  std::int32_t& last = plain->rows ? lastRow_ : lastColumn_;
  const std::int32_t large = plain->rows ? kLargeSheetRows : kLargeSheetColumns;
  if (plain->last > last) last = std::max(plain->last, large);
}

}  // namespace quarnel::snapshot
