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
void BringToFront(quarnel::excel::Connector& connector, const quarnel::excel::Object& ExcelApp) {
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

// The attachment's steps: a failed step is remembered as the current error and the next step runs.
// It lives only in one attachment, so nothing passed over there can surface in the command.
class Steps {
 public:
  template <typename Action>
  void operator()(Action&& action) {
    try {
      action();
    } catch (const Failure& failure) {
      quarnel::trace::PassedOver("AttachExcel, a step", failure);
      error_ = failure;
    }
  }
  const std::optional<Failure>& Error() const noexcept { return error_; }

 private:
  std::optional<Failure> error_;
};

// False when no Excel is there to attach to: none could be started (the user is told), or the one
// in front cannot answer now, in which case all three handles stand for it and fail every call as
// it did, so that a command never reaches a workbook in another Excel.
bool FindOrStartExcel(quarnel::Host& host, Steps& step, Handles& handles) {
  try {
    handles.ExcelApp = host.connector.GetRunning(kProgId);
    return true;
  } catch (const quarnel::excel::UnreachableExcel& unreachable) {
    handles.ExcelApp = handles.ExcelBook = handles.ExcelSheet = quarnel::excel::Unreachable(unreachable);
    return false;
  } catch (const Failure& failure) {
    quarnel::trace::PassedOver("AttachExcel, no running Excel", failure);
  }
  step([&] { handles.ExcelApp = host.connector.Start(kProgId); });
  if (step.Error()) host.desktop.ShowMessage(step.Error()->Description());
  return !step.Error();
}

// Writing True shows every hidden window of Excel, the personal macro workbook's included, so it
// is written only when Excel is not visible, or when that cannot be read.
void MakeVisible(Steps& step, const quarnel::excel::Object& ExcelApp) {
  bool visible = false;
  step([&] { visible = ToBool(ExcelApp.Get("Visible")); });
  if (!visible) step([&] { ExcelApp.Put("Visible", true); });
}

// A file in Protected View is not among Workbooks: ActiveWorkbook would be one the user does not
// see, or with no other file open a new one would be added. No program may change it, so the
// command stops before either. An Excel before 2010 has no such window and answers 438.
void RefuseProtectedView(const quarnel::excel::Object& ExcelApp) {
  quarnel::excel::Object window;
  try {
    window = ExcelApp.GetObject("ActiveProtectedViewWindow");
  } catch (const Failure& failure) {
    quarnel::trace::PassedOver("AttachExcel, Protected View", failure);
  }
  if (window) throw quarnel::Refusal(quarnel::errors::Catalogued(quarnel::errors::kProtectedView));
}

void FixWorkbookAndSheet(Steps& step, Handles& handles) {
  const quarnel::excel::Object& ExcelApp = handles.ExcelApp;
  std::int32_t books = 0;
  step([&] { books = ToLong(ExcelApp.GetObject("Workbooks").Get("Count")); });
  if (books == 0) {
    step([&] { handles.ExcelBook = ToObject(ExcelApp.GetObject("Workbooks").Call("Add")); });
  } else {
    step([&] { handles.ExcelBook = ExcelApp.GetObject("ActiveWorkbook"); });
  }

  const quarnel::excel::Object& ExcelBook = handles.ExcelBook;
  std::int32_t sheets = 0;
  step([&] { sheets = ToLong(ExcelBook.GetObject("Sheets").Get("Count")); });
  if (sheets == 0) {
    step([&] { handles.ExcelSheet = ToObject(ExcelBook.GetObject("Sheets").Call("Add")); });
  } else {
    step([&] { handles.ExcelSheet = ExcelBook.GetObject("ActiveSheet"); });
  }
}

}  // namespace

Handles AttachExcel(quarnel::Host& host) {
  Handles handles;
  Steps step;
  if (!FindOrStartExcel(host, step, handles)) return handles;
  MakeVisible(step, handles.ExcelApp);
  RefuseProtectedView(handles.ExcelApp);
  FixWorkbookAndSheet(step, handles);
  step([&] { BringToFront(host.connector, handles.ExcelApp); });
  return handles;
}

}  // namespace 链接cad及excel
