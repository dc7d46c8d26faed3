#pragma once

// Where the grid's rows and columns fall on screen, shared by drawing and by the mouse.

#include <cstdint>
#include <vector>

#include "standin/model/state.hpp"

namespace quarnel::standin::server {

inline constexpr int kHeaderWidth = 48;
inline constexpr int kHeaderHeight = 22;
inline constexpr int kColumnWidth = 80;
inline constexpr int kRowHeight = 22;
inline constexpr int kStatusHeight = 24;

// A row or column on screen: its number and where it starts, in pixels.
struct GridLine {
  std::int32_t index;
  int start;
};

// The rows shown from firstRow on, hidden ones left out, down to the status bar; none for no sheet.
std::vector<GridLine> RowLines(const SheetState* sheet, std::int32_t firstRow, int height);
// The columns shown from firstColumn on, hidden ones left out; none for no sheet.
std::vector<GridLine> ColumnLines(const SheetState* sheet, std::int32_t firstColumn, int width);

}  // namespace quarnel::standin::server
