#pragma once

#include <optional>

#include "common/win32/win_headers.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// A workbook window's answer to WM_GETOBJECT: for OBJID_NATIVEOM, Excel's Window object of the
// active workbook, with its "Application" and "Caption". None while no workbook is open, and for
// any other object id.
std::optional<LRESULT> NativeObjectAnswer(Session& session, WPARAM wParam, LPARAM lParam);

}  // namespace quarnel::standin::server
