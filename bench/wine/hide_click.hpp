#pragma once

// What one click on 隐藏行 costs through COM, from the click to the row hidden: the tool's whole
// path (Excel found through its window, attached anew, brought forward, the row hidden) beside the
// same calls made straight on IDispatch, click for click in turn.

#include <filesystem>

#include "bench/wine/figures.hpp"
#include "bench/wine/sheet.hpp"

namespace quarnel::bench {

struct ClickFigures {
  // The raw client holds the workbook and sheet from one click to the next, as the tool's handles
  // are held; `rawLettingGo` lets them go at the end of each click.
  Series tool, raw, rawLettingGo;
  // The raw client's clicks, step by step.
  Series search, application, attach, activate, command;
  std::int64_t toolRoundTrips = 0;  // of the tool's last click
};

ClickFigures MeasureHideClicks(const Server& server, int clicks, const std::filesystem::path& folder);

}  // namespace quarnel::bench
