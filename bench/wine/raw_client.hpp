#pragma once

// The limit the tool is measured against: the record and restore loops written straight on
// IDispatch, each member's DISPID looked up once, with none of the tool's code in between.

#include <filesystem>
#include <memory>

#include "bench/wine/figures.hpp"

namespace quarnel::bench {

// Writes the lines of the active sheet's rows and columns to `path`, as the record command does.
LoopTiming RawRecord(IDispatch* application, const std::filesystem::path& path);

// Applies the lines of `path` to the active sheet with drawing paused, as the restore command does.
LoopTiming RawRestore(IDispatch* application, const std::filesystem::path& path);

// Where one click's time goes, in milliseconds.
struct ClickSteps {
  double search = 0;       // Excel's frontmost window and the Window object it hands out
  double application = 0;  // the Window object's Application
  double attach = 0;       // Visible, the counts, the workbook and sheet in front
  double activate = 0;     // the window brought to the front
  double command = 0;      // the selection's row, hidden
  double Total() const { return search + application + attach + activate + command; }
};

// One click on 隐藏行 written straight on IDispatch and Win32: the Excel in front found through its
// window, attached to as the tool attaches, brought forward, the selection's row hidden. Members
// are looked up on the first click only. With `keepHandles`, the workbook and sheet are held until
// the next click, as the tool holds ExcelBook and ExcelSheet; else let go at once.
class RawHideClick {
 public:
  explicit RawHideClick(bool keepHandles);
  ~RawHideClick();
  ClickSteps Click();

 private:
  struct Members;
  std::unique_ptr<Members> members_;
  bool keepHandles_;
};

}  // namespace quarnel::bench
