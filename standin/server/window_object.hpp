#pragma once

#include <memory>
#include <optional>

#include "common/win32/win_headers.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// A workbook window's answer to WM_GETOBJECT: for OBJID_NATIVEOM, Excel's Window object of `book`,
// a model object like any other. None without a workbook, and for any other object id.
std::optional<LRESULT> NativeObjectAnswer(Session& session, const std::shared_ptr<WorkbookState>& book,
                                          WPARAM wParam, LPARAM lParam);

}  // namespace quarnel::standin::server
