#include "standin/server/grid_painting.hpp"

#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"
#include "excel/addresses.hpp"
#include "standin/model/address.hpp"
#include "standin/server/grid_layout.hpp"

namespace quarnel::standin::server {
namespace {

constexpr COLORREF kGridLine = RGB(212, 212, 212);
constexpr COLORREF kHeaderFill = RGB(240, 240, 240);
constexpr COLORREF kHeaderPicked = RGB(210, 226, 214);
constexpr COLORREF kHeaderText = RGB(60, 60, 60);
constexpr COLORREF kHeaderEdge = RGB(180, 180, 180);
constexpr COLORREF kPickedFill = RGB(220, 235, 252);
constexpr COLORREF kExcelGreen = RGB(33, 115, 70);
constexpr COLORREF kHiddenMark = RGB(90, 90, 90);
constexpr COLORREF kEmptyApp = RGB(225, 225, 225);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// What one paint of a sheet works from: the lines on screen and the selection.
struct SheetPaint {
  const SheetState& sheet;
  std::vector<GridLine> rows;
  std::vector<GridLine> columns;
  int gridBottom;
  int gridRight;

  bool RowPicked(std::int32_t row) const {
    return row >= sheet.selection.top && row <= sheet.selection.bottom;
  }
  bool ColumnPicked(std::int32_t column) const {
    return column >= sheet.selection.left && column <= sheet.selection.right;
  }
};

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Text(HDC dc, const std::wstring& text, RECT rect, UINT format) {
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void Line(HDC dc, int fromX, int fromY, int toX, int toY) {
  MoveToEx(dc, fromX, fromY, nullptr);
  LineTo(dc, toX, toY);
}

std::wstring CellText(const excel::Value& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? L"TRUE" : L"FALSE";
  if (const auto* error = std::get_if<excel::ErrorValue>(&value))
    return win32::ToUtf16(ErrorText(error->code));
  return win32::ToUtf16(常用函数::ValueText(value));
}

bool IsNumber(const excel::Value& value) {
  return std::holds_alternative<double>(value) || std::holds_alternative<std::int32_t>(value) ||
         std::holds_alternative<std::int16_t>(value);
}

const wchar_t* StateText(bool busy) { return busy ? L"编辑" : L"就绪"; }

void PaintCells(HDC dc, const SheetPaint& paint) {
  const Rect& picked = paint.sheet.selection;
  for (const GridLine& row : paint.rows) {
    for (const GridLine& column : paint.columns) {
      const RECT cell{column.start, row.start, column.start + kColumnWidth, row.start + kRowHeight};
      const bool active = row.index == picked.top && column.index == picked.left;
      if (paint.RowPicked(row.index) && paint.ColumnPicked(column.index) && !active)
        Fill(dc, cell, kPickedFill);
      const excel::Value value = paint.sheet.ValueAt(row.index, column.index);
      if (std::holds_alternative<std::monostate>(value)) continue;
      SetTextColor(dc, kBlack);
      const RECT inner{cell.left + 3, cell.top, cell.right - 3, cell.bottom};
      Text(dc, CellText(value), inner, IsNumber(value) ? DT_RIGHT : DT_LEFT);
    }
  }
}

void PaintGridLines(HDC dc, const SheetPaint& paint) {
  SetDCPenColor(dc, kGridLine);
  for (const GridLine& row : paint.rows) {
    Line(dc, 0, row.start + kRowHeight - 1, paint.gridRight, row.start + kRowHeight - 1);
  }
  for (const GridLine& column : paint.columns) {
    Line(dc, column.start + kColumnWidth - 1, 0, column.start + kColumnWidth - 1, paint.gridBottom);
  }
}

// A merged block shows as one cell: its shown part without inner lines, the first cell's value in it.
void PaintMergedBlocks(HDC dc, const SheetPaint& paint) {
  const auto span = [](const std::vector<GridLine>& lines, std::int32_t first, std::int32_t last, int size) {
    std::pair<int, int> on{0, 0};
    for (const GridLine& line : lines) {
      if (line.index < first || line.index > last) continue;
      if (on.second == 0) on.first = line.start;
      on.second = line.start + size - 1;
    }
    return on;
  };
  for (const Rect& block : paint.sheet.merged) {
    const auto [top, bottom] = span(paint.rows, block.top, block.bottom, kRowHeight);
    const auto [left, right] = span(paint.columns, block.left, block.right, kColumnWidth);
    if (bottom == 0 || right == 0) continue;
    Fill(dc, {left, top, right, bottom}, kWhite);
    const excel::Value value = paint.sheet.ValueAt(block.top, block.left);
    if (!std::holds_alternative<std::monostate>(value))
      Text(dc, CellText(value), {left + 3, top, right - 3, bottom}, DT_CENTER);
  }
}

// Letters, the picked ones marked, a dark bar where hidden columns were left out.
void PaintColumnHeaders(HDC dc, const SheetPaint& paint, std::int32_t firstColumn) {
  std::int32_t expected = firstColumn;
  for (const GridLine& column : paint.columns) {
    const RECT cell{column.start, 0, column.start + kColumnWidth, kHeaderHeight};
    const bool picked = paint.ColumnPicked(column.index);
    if (picked) Fill(dc, {cell.left, cell.top, cell.right - 1, cell.bottom - 1}, kHeaderPicked);
    SetTextColor(dc, picked ? kExcelGreen : kHeaderText);
    Text(dc, win32::ToUtf16(ColumnLetters(column.index)), cell, DT_CENTER);
    SetDCPenColor(dc, kGridLine);
    Line(dc, cell.right - 1, 0, cell.right - 1, kHeaderHeight);
    if (column.index != expected) Fill(dc, {cell.left - 2, 0, cell.left + 1, kHeaderHeight}, kHiddenMark);
    expected = column.index + 1;
  }
}

// Numbers, the picked ones marked, a dark bar where hidden rows were left out.
void PaintRowHeaders(HDC dc, const SheetPaint& paint, std::int32_t firstRow) {
  std::int32_t expected = firstRow;
  for (const GridLine& row : paint.rows) {
    const RECT cell{0, row.start, kHeaderWidth, row.start + kRowHeight};
    const bool picked = paint.RowPicked(row.index);
    if (picked) Fill(dc, {cell.left, cell.top, cell.right - 1, cell.bottom - 1}, kHeaderPicked);
    SetTextColor(dc, picked ? kExcelGreen : kHeaderText);
    Text(dc, std::to_wstring(row.index), cell, DT_CENTER);
    SetDCPenColor(dc, kGridLine);
    Line(dc, 0, cell.bottom - 1, kHeaderWidth, cell.bottom - 1);
    if (row.index != expected) Fill(dc, {0, cell.top - 2, kHeaderWidth, cell.top + 1}, kHiddenMark);
    expected = row.index + 1;
  }
}

void PaintHeaders(HDC dc, const RECT& client, const SheetPaint& paint, const GridView& view) {
  Fill(dc, {0, 0, client.right, kHeaderHeight}, kHeaderFill);
  Fill(dc, {0, kHeaderHeight, kHeaderWidth, paint.gridBottom}, kHeaderFill);
  PaintColumnHeaders(dc, paint, view.firstColumn);
  PaintRowHeaders(dc, paint, view.firstRow);
  SetDCPenColor(dc, kHeaderEdge);
  Line(dc, kHeaderWidth - 1, 0, kHeaderWidth - 1, paint.gridBottom);
  Line(dc, 0, kHeaderHeight - 1, paint.gridRight, kHeaderHeight - 1);
}

// The selection's frame around the part of it on screen.
void PaintSelectionFrame(HDC dc, const SheetPaint& paint) {
  int left = -1, right = -1, top = -1, bottom = -1;
  for (const GridLine& column : paint.columns) {
    if (!paint.ColumnPicked(column.index)) continue;
    if (left < 0) left = column.start;
    right = column.start + kColumnWidth;
  }
  for (const GridLine& row : paint.rows) {
    if (!paint.RowPicked(row.index)) continue;
    if (top < 0) top = row.start;
    bottom = row.start + kRowHeight;
  }
  if (left < 0 || top < 0) return;
  const RECT edges[] = {{left - 1, top - 1, right + 1, top + 1},
                        {left - 1, bottom - 2, right + 1, bottom},
                        {left - 1, top - 1, left + 1, bottom},
                        {right - 2, top - 1, right, bottom}};
  for (const RECT& edge : edges) Fill(dc, edge, kExcelGreen);
}

void PaintStatus(HDC dc, const RECT& status, const std::wstring& text) {
  Fill(dc, status, kExcelGreen);
  SetTextColor(dc, kWhite);
  Text(dc, text, status, DT_LEFT);
}

void PaintSheet(HDC dc, const RECT& client, const SheetState& sheet, const GridView& view) {
  Fill(dc, client, kWhite);
  SheetPaint paint{sheet, RowLines(&sheet, view.firstRow, client.bottom),
                   ColumnLines(&sheet, view.firstColumn, client.right), kHeaderHeight, kHeaderWidth};
  if (!paint.rows.empty()) paint.gridBottom = paint.rows.back().start + kRowHeight;
  if (!paint.columns.empty()) paint.gridRight = paint.columns.back().start + kColumnWidth;
  PaintCells(dc, paint);
  const win32::Selection pen(dc, GetStockObject(DC_PEN));
  PaintGridLines(dc, paint);
  PaintMergedBlocks(dc, paint);
  PaintHeaders(dc, client, paint, view);
  PaintSelectionFrame(dc, paint);
}

}  // namespace

void PaintGrid(HDC dc, const RECT& client, const GridView& view) {
  const SheetState* sheet = view.sheet;
  const win32::Selection font(dc, view.font);
  SetBkMode(dc, TRANSPARENT);
  const RECT status{0, client.bottom - kStatusHeight, client.right, client.bottom};
  if (!sheet) {
    Fill(dc, client, kEmptyApp);
    PaintStatus(dc, status, std::wstring(L"  ") + StateText(view.busy));
  } else {
    PaintSheet(dc, client, *sheet, view);
    // The sheet's tab, the selection's address, ready or editing.
    PaintStatus(dc, status,
                L"  " + win32::ToUtf16(sheet->name) + L"    " +
                    win32::ToUtf16(FormatAddress(sheet->selection)) + L"    " + StateText(view.busy));
  }
}

}  // namespace quarnel::standin::server
