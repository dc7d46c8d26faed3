#pragma once

#include <functional>

#include "excel/automation.hpp"
#include "excel/host.hpp"

namespace quarnel::snapshot {

// Runs `change` with Excel's drawing paused, then shows "处理完毕!". A failure is shown in a box of
// its own, with its description alone, once drawing is back on; the tool goes on. True when the
// change ran to its end.
bool ChangeWithDrawingPaused(Host& host, const excel::Object& ExcelApp, const std::function<void()>& change);

}  // namespace quarnel::snapshot
