#pragma once

#include <memory>
#include <string>

#include "common/win32/owned.hpp"
#include "common/win32/win_headers.hpp"
#include "standin/server/grid_window.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// What a frame tells whoever keeps it.
class FrameEvents {
 public:
  virtual void Activated(HWND frame) = 0;
  // `next` takes the activation; null when Windows does not say which.
  virtual void Deactivated(HWND next) = 0;
  // A person closed the frame.
  virtual void CloseRequested() = 0;

 protected:
  ~FrameEvents() = default;
};

// One of Excel's top-level windows (class XLMAIN) and its desk (XLDESK), which keeps the workbook
// window on it its own size. Given a workbook, the desk holds its workbook window (EXCEL7); without
// one it stays empty, as Excel's window with no workbook open. Created hidden, without a workbook.
class ExcelFrame {
 public:
  // `place` cascades the frames of one application.
  ExcelFrame(Session& session, FrameEvents& events, int place);
  ExcelFrame(const ExcelFrame&) = delete;
  ExcelFrame& operator=(const ExcelFrame&) = delete;

  HWND Main() const noexcept { return main_.Get(); }
  // A new workbook window for `book`, or none when it is empty.
  void Hold(BookSource book);
  void SetTitle(const std::wstring& title);
  // Shown or hidden; a frame shown with `activate` comes forward with the focus.
  void Show(bool shown, bool activate);
  void Redraw();

 private:
  LRESULT Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Session& session_;
  FrameEvents& events_;
  // Goes with the frame.
  HWND desk_ = nullptr;
  std::unique_ptr<GridWindow> grid_;
  // Last, so it goes first: the workbook window goes with it while its object still stands.
  win32::OwnedWindow main_;
};

}  // namespace quarnel::standin::server
