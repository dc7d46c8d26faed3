#include "visibility/commands.hpp"

#include <cstdint>

#include "common/text.hpp"

namespace quarnel::visibility {

using excel::ToLong;
using 链接cad及excel::AttachExcel;
using 链接cad及excel::ExcelApp;
using 链接cad及excel::ExcelSheet;

namespace {

std::int64_t SelectionRow() { return ToLong(ExcelApp.GetObject("Selection").Get("Row")); }
std::int64_t SelectionColumn() { return ToLong(ExcelApp.GetObject("Selection").Get("Column")); }

void SetRowHidden(std::int64_t row, bool hidden) {
  ExcelSheet.GetObject("Rows", {RowAddress(row)}).GetObject("EntireRow").Put("Hidden", hidden);
}

void SetColumnHidden(std::int64_t column, bool hidden) {
  // Past the last column the number no longer fits Excel's Long; Excel refuses it either way.
  const excel::Value number = column <= INT32_MAX ? excel::Value(static_cast<std::int32_t>(column))
                                                  : excel::Value(static_cast<double>(column));
  ExcelSheet.GetObject("Columns", {number}).GetObject("EntireColumn").Put("Hidden", hidden);
}

}  // namespace

void HideRow(Host& host) {
  AttachExcel(host);
  SetRowHidden(SelectionRow(), true);
}

void HideColumn(Host& host) {
  AttachExcel(host);
  SetColumnHidden(SelectionColumn(), true);
}

void UnhideRowBelow(Host& host) {
  AttachExcel(host);
  SetRowHidden(SelectionRow() + 1, false);
}

void UnhideColumnRight(Host& host) {
  AttachExcel(host);
  SetColumnHidden(SelectionColumn() + 1, false);
}

}  // namespace quarnel::visibility
