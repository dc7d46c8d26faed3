#include "standin/model/visible_cells.hpp"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "standin/model/failures.hpp"

namespace quarnel::standin {
namespace {

using Run = std::pair<std::int32_t, std::int32_t>;

// The runs of [first, last] that `hidden` leaves shown.
std::vector<Run> ShownRuns(const IntervalSet& hidden, std::int32_t first, std::int32_t last) {
  std::vector<Run> runs;
  const auto& all = hidden.Runs();
  for (std::int32_t at = first; at <= last;) {
    auto next = all.upper_bound(at);
    if (next != all.begin() && std::prev(next)->second >= at) {
      at = std::prev(next)->second + 1;
      continue;
    }
    const std::int32_t end = next == all.end() ? last : std::min(last, next->first - 1);
    runs.emplace_back(at, end);
    at = end + 1;
  }
  return runs;
}

std::int64_t ShownCount(const IntervalSet& hidden, std::int32_t first, std::int32_t last) {
  std::int64_t count = 0;
  for (const auto& [from, to] : ShownRuns(hidden, first, last)) count += to - from + 1;
  return count;
}

std::int64_t Cells(const Rect& rect) {
  return std::int64_t{rect.bottom - rect.top + 1} * (rect.right - rect.left + 1);
}

// The block of the filled cells, or A1 on an empty sheet.
Rect UsedRange(const SheetState& sheet) {
  if (sheet.cells.empty()) return {};
  return {sheet.cells.begin()->first.first, sheet.filledByColumn.begin()->first,
          sheet.cells.rbegin()->first.first, sheet.filledByColumn.rbegin()->first};
}

}  // namespace

std::optional<Rect> Overlap(const Rect& a, const Rect& b) {
  const Rect both{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
                  std::min(a.right, b.right)};
  if (both.top > both.bottom || both.left > both.right) return std::nullopt;
  return both;
}

std::vector<Rect> VisibleAreas(const AppState& app, const SheetState& sheet, std::span<const Rect> areas) {
  std::vector<Rect> asked(areas.begin(), areas.end());
  if (asked.size() == 1 && Cells(asked.front()) == 1) asked = {UsedRange(sheet)};
  std::vector<Rect> visible;
  for (const Rect& area : asked) {
    // A merged block met with its first cell shown counts as shown through and through.
    IntervalSet hiddenRows = sheet.hiddenRows;
    IntervalSet hiddenColumns = sheet.hiddenColumns;
    for (const Rect& block : sheet.merged) {
      if (!Overlap(area, block) || sheet.hiddenRows.Contains(block.top) ||
          sheet.hiddenColumns.Contains(block.left))
        continue;
      hiddenRows.Assign(block.top, block.bottom, false);
      hiddenColumns.Assign(block.left, block.right, false);
    }
    const auto columns = ShownRuns(hiddenColumns, area.left, area.right);
    for (const auto& [top, bottom] : ShownRuns(hiddenRows, area.top, area.bottom)) {
      for (const auto& [left, right] : columns) visible.push_back({top, left, bottom, right});
    }
  }
  if (visible.empty()) throw NoCellsFound();
  if (app.areasLimit > 0 && visible.size() > static_cast<std::size_t>(app.areasLimit)) return asked;
  return visible;
}

double Height(const SheetState& sheet, const Rect& rect) {
  return kRowPoints * static_cast<double>(ShownCount(sheet.hiddenRows, rect.top, rect.bottom));
}

double Width(const SheetState& sheet, const Rect& rect) {
  return kColumnPoints * static_cast<double>(ShownCount(sheet.hiddenColumns, rect.left, rect.right));
}

excel::Value MergeCells(const SheetState& sheet, std::span<const Rect> areas) {
  std::int64_t cells = 0;
  std::int64_t merged = 0;
  for (const Rect& area : areas) {
    cells += Cells(area);
    for (const Rect& block : sheet.merged) {
      if (const auto both = Overlap(area, block)) merged += Cells(*both);
    }
  }
  if (merged == 0) return false;
  if (merged == cells) return true;
  return {};
}

}  // namespace quarnel::standin
