#pragma once

#include "common/win32/win_headers.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// Excel's main window (class XLMAIN) and its desk (XLDESK), which holds the workbook windows and
// keeps them its own size. Closing the main window quits the application; its first loss of focus
// is told to the session.
struct ExcelFrame {
  HWND main = nullptr;
  HWND desk = nullptr;
};

ExcelFrame CreateExcelFrame(Session& session);

}  // namespace quarnel::standin::server
