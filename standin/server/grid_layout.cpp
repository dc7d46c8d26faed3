#include "standin/server/grid_layout.hpp"

namespace quarnel::standin::server {
namespace {

// The first row (or column) from n on that is not hidden; 0 past the sheet's end.
std::int32_t NextShown(const IntervalSet& hidden, std::int32_t n, std::int32_t limit) {
  const auto& runs = hidden.Runs();
  for (;;) {
    auto it = runs.upper_bound(n);
    if (it == runs.begin()) break;
    --it;
    if (it->second < n) break;
    n = it->second + 1;
  }
  return n <= limit ? n : 0;
}

std::vector<GridLine> Lines(const IntervalSet& hidden, std::int32_t first, std::int32_t limit, int origin,
                            int step, int extent) {
  std::vector<GridLine> lines;
  std::int32_t n = NextShown(hidden, first, limit);
  for (int at = origin; at < extent && n != 0 && n <= limit; at += step) {
    lines.push_back({n, at});
    n = NextShown(hidden, n + 1, limit);
  }
  return lines;
}

}  // namespace

std::vector<GridLine> RowLines(const SheetState* sheet, std::int32_t firstRow, int height) {
  if (!sheet) return {};
  return Lines(sheet->hiddenRows, firstRow, kMaxRows, kHeaderHeight, kRowHeight, height - kStatusHeight);
}

std::vector<GridLine> ColumnLines(const SheetState* sheet, std::int32_t firstColumn, int width) {
  if (!sheet) return {};
  return Lines(sheet->hiddenColumns, firstColumn, kMaxColumns, kHeaderWidth, kColumnWidth, width);
}

}  // namespace quarnel::standin::server
