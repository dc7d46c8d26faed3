#include "visibility/commands.hpp"

#include <cstdint>

#include "common/text.hpp"
#include "excel/addresses.hpp"

namespace quarnel::visibility {

using excel::Object;
using excel::ToLong;
using 链接cad及excel::AttachExcel;
using 链接cad及excel::Handles;

namespace {

std::int64_t SelectionRow(const Object& ExcelApp) {
  return ToLong(ExcelApp.GetObject("Selection").Get("Row"));
}
std::int64_t SelectionColumn(const Object& ExcelApp) {
  return ToLong(ExcelApp.GetObject("Selection").Get("Column"));
}

void SetRowHidden(const Object& ExcelSheet, std::int64_t row, bool hidden) {
  ExcelSheet.GetObject("Rows", {RowAddress(row)}).GetObject("EntireRow").Put("Hidden", hidden);
}

void SetColumnHidden(const Object& ExcelSheet, std::int64_t column, bool hidden) {
  // Past the last column the number no longer fits Excel's Long; Excel refuses it either way.
  const excel::Value number = column <= INT32_MAX ? excel::Value(static_cast<std::int32_t>(column))
                                                  : excel::Value(static_cast<double>(column));
  ExcelSheet.GetObject("Columns", {number}).GetObject("EntireColumn").Put("Hidden", hidden);
}

}  // namespace

void HideRow(Host& host) {
  const Handles attached = AttachExcel(host);
  SetRowHidden(attached.ExcelSheet, SelectionRow(attached.ExcelApp), true);
}

void HideColumn(Host& host) {
  const Handles attached = AttachExcel(host);
  SetColumnHidden(attached.ExcelSheet, SelectionColumn(attached.ExcelApp), true);
}

void UnhideRowBelow(Host& host) {
  const Handles attached = AttachExcel(host);
  SetRowHidden(attached.ExcelSheet, SelectionRow(attached.ExcelApp) + 1, false);
}

void UnhideColumnRight(Host& host) {
  const Handles attached = AttachExcel(host);
  SetColumnHidden(attached.ExcelSheet, SelectionColumn(attached.ExcelApp) + 1, false);
}

}  // namespace quarnel::visibility
