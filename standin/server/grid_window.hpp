#pragma once

#include <cstdint>
#include <vector>

#include "common/win32/owned.hpp"
#include "common/win32/win_headers.hpp"
#include "standin/server/excel_frame.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// Excel's windows as a person sees them: the main window titled "<Caption> - <workbook>", and on
// its desk the workbook window (class EXCEL7) with the active sheet as a grid, hidden rows and
// columns left out, the selection marked and settable with the mouse.
class GridWindow {
 public:
  explicit GridWindow(Session& session);
  ~GridWindow();
  GridWindow(const GridWindow&) = delete;
  GridWindow& operator=(const GridWindow&) = delete;

  // The main window.
  HWND Handle() const noexcept { return frame_.main; }
  // The workbook window with the grid.
  HWND Grid() const noexcept { return window_; }
  // Follows the model: shown or hidden as Visible says, retitled, redrawn unless ScreenUpdating
  // is off.
  void Refresh();

 private:
  enum class Pick { Cells, Rows, Columns, All };
  struct Hit {
    Pick pick;
    std::int32_t row;
    std::int32_t column;
  };

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Receive(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintBuffered();
  Hit HitAt(POINT point) const;
  void SelectTo(const Hit& hit);
  void Scroll(int rows, int columns);

  Session& session_;
  ExcelFrame frame_;
  HWND window_ = nullptr;
  win32::OwnedFont font_;
  std::int32_t firstRow_ = 1;
  std::int32_t firstColumn_ = 1;
  bool repaintPending_ = false;
  bool dragging_ = false;
  Hit anchor_{};
};

}  // namespace quarnel::standin::server
