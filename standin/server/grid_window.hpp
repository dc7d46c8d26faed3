#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "common/win32/owned.hpp"
#include "common/win32/win_headers.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// The workbook a window shows: always the same one, or whichever is active.
using BookSource = std::function<std::shared_ptr<WorkbookState>()>;

// A workbook window (class EXCEL7) on a frame's desk: the workbook's active sheet as a grid,
// hidden rows and columns left out, the selection marked and settable with the mouse. The window
// goes with the object, or before it with its desk.
class GridWindow {
 public:
  GridWindow(Session& session, HWND desk, BookSource book);
  GridWindow(const GridWindow&) = delete;
  GridWindow& operator=(const GridWindow&) = delete;

  HWND Handle() const noexcept { return window_.Get(); }
  // Redrawn soon, unless ScreenUpdating is off.
  void Refresh();

 private:
  enum class Pick { Cells, Rows, Columns, All };
  struct Hit {
    Pick pick;
    std::int32_t row;
    std::int32_t column;
  };

  LRESULT Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ReceiveMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  std::shared_ptr<SheetState> Sheet() const;
  void PaintBuffered();
  Hit HitAt(POINT point) const;
  void SelectTo(const Hit& hit);
  void Scroll(int rows, int columns);

  Session& session_;
  BookSource book_;
  win32::OwnedFont font_;
  std::int32_t firstRow_ = 1;
  std::int32_t firstColumn_ = 1;
  bool repaintPending_ = false;
  bool dragging_ = false;
  Hit anchor_{};
  // Last, so it goes first, while what its last messages use still stands.
  win32::OwnedWindow window_;
};

}  // namespace quarnel::standin::server
