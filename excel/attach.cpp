#include "excel/attach.hpp"

#include <optional>

#include "common/trace.hpp"

namespace 链接cad及excel {

using quarnel::Failure;
using quarnel::excel::ToBool;
using quarnel::excel::ToLong;
using quarnel::excel::ToObject;
using quarnel::excel::ToText;

namespace {

constexpr std::string_view kProgId = "Excel.Application";

// Since Excel 2013 each workbook has a main window of its own, titled "<workbook> - Excel", which
// Caption ("Microsoft Excel") does not begin: the window the application was found through comes
// first, then the one Excel names, and the title only for an Excel that names none.
void BringToFront(quarnel::excel::Connector& connector) {
  if (connector.ActivateFoundWindow()) return;
  std::int32_t handle = 0;
  try {
    handle = ToLong(ExcelApp.Get("Hwnd"));
  } catch (const Failure& failure) {
    // An Excel that cannot name its window is still found by its title.
    quarnel::trace::PassedOver("AttachExcel, Hwnd", failure);
  }
  if (handle != 0 && connector.ActivateWindowHandle(handle)) return;
  connector.ActivateWindow(ToText(ExcelApp.Get("Caption")));
}

}  // namespace

void AttachExcel(quarnel::Host& host) {
  // The current error: a failed step is remembered and the next step runs. It lives only here, so
  // nothing passed over in this procedure can surface in the command that called it.
  std::optional<Failure> error;
  const auto step = [&error](auto&& action) {
    try {
      action();
    } catch (const Failure& failure) {
      quarnel::trace::PassedOver("AttachExcel, a step", failure);
      error = failure;
    }
  };

  try {
    ExcelApp = host.connector.GetRunning(kProgId);
  } catch (const quarnel::excel::UnreachableExcel& unreachable) {
    // The Excel in front cannot answer now. A command then fails as it would with that Excel alone,
    // and never reaches an earlier click's workbook, perhaps in another Excel.
    ExcelApp = ExcelBook = ExcelSheet = quarnel::excel::Unreachable(unreachable);
    return;
  } catch (const Failure& failure) {
    quarnel::trace::PassedOver("AttachExcel, no running Excel", failure);
    step([&] { ExcelApp = host.connector.Start(kProgId); });
    if (error) {
      host.desktop.ShowMessage(error->Description());
      return;
    }
  }

  // Writing True shows every hidden window of Excel, the personal macro workbook's included, so it
  // is written only when Excel is not visible, or when that cannot be read.
  bool visible = false;
  step([&] { visible = ToBool(ExcelApp.Get("Visible")); });
  if (!visible) step([&] { ExcelApp.Put("Visible", true); });

  std::int32_t books = 0;
  step([&] { books = ToLong(ExcelApp.GetObject("Workbooks").Get("Count")); });
  if (books == 0) {
    step([&] { ExcelBook = ToObject(ExcelApp.GetObject("Workbooks").Call("Add")); });
  } else {
    step([&] { ExcelBook = ExcelApp.GetObject("ActiveWorkbook"); });
  }
  // With no workbook in front, an earlier click's sheet belongs to one the user does not see: a
  // command must fail rather than change it.
  if (!ExcelBook) ExcelSheet = {};

  std::int32_t sheets = 0;
  step([&] { sheets = ToLong(ExcelBook.GetObject("Sheets").Get("Count")); });
  if (sheets == 0) {
    step([&] { ExcelSheet = ToObject(ExcelBook.GetObject("Sheets").Call("Add")); });
  } else {
    step([&] { ExcelSheet = ExcelBook.GetObject("ActiveSheet"); });
  }

  step([&] { BringToFront(host.connector); });
}

}  // namespace 链接cad及excel
