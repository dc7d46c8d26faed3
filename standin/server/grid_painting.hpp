#pragma once

// Draws a workbook window: its active sheet's cells, headers with marks where hidden rows and
// columns were left out, the selection, and a status bar; or an empty desk with no workbook.

#include <cstdint>

#include "common/win32/win_headers.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin::server {

struct GridView {
  const SheetState* sheet;  // the workbook's active sheet; none for an empty desk
  bool busy;
  std::int32_t firstRow;
  std::int32_t firstColumn;
  HFONT font;
};

void PaintGrid(HDC dc, const RECT& client, const GridView& view);

}  // namespace quarnel::standin::server
