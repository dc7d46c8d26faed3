#pragma once

// What Excel answers about a range's visible cells, its height and width, and its merged cells.
// Only the model's objects include this.

#include <optional>
#include <span>
#include <vector>

#include "common/failure.hpp"
#include "excel/automation.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin {

// Points, as Excel's default row height and column width give them; a hidden one has none.
inline constexpr double kRowPoints = 15.0;
inline constexpr double kColumnPoints = 48.0;

std::optional<Rect> Overlap(const Rect& a, const Rect& b);

// SpecialCells(xlCellTypeVisible) of the range made of `areas`: per area, each run of shown rows by
// each run of shown columns. A merged block whose first cell is shown comes back whole: its hidden
// rows and columns count as shown. One cell alone stands for the sheet's used range. With more areas than
// the application's limit, the range itself comes back. No visible cell fails with 1004.
std::vector<Rect> VisibleAreas(const AppState& app, const SheetState& sheet, std::span<const Rect> areas);

double Height(const SheetState& sheet, const Rect& rect);
double Width(const SheetState& sheet, const Rect& rect);

// True when every cell lies in a merged block, False when none does, and Excel's Null when some
// do, which a client receives as no value.
excel::Value MergeCells(const SheetState& sheet, std::span<const Rect> areas);

}  // namespace quarnel::standin
