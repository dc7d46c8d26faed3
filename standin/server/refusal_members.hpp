#pragma once

#include <span>
#include <string_view>

#include "excel/automation.hpp"
#include "standin/model/model.hpp"

namespace quarnel::standin::server {

// The set-up members that make the stand-in refuse as Excel does, named here without their
// "Standin" prefix and case-folded:
//   StandinProtectSheet(flag)              the active sheet refuses Hidden writes (1004)
//   StandinAddChartSheet([name])           a chart sheet in front
//   StandinSelectShape                     a shape selected on the active sheet
//   StandinAddHiddenWorkbook([name])       a hidden workbook, as PERSONAL.XLSB
//   StandinSetCellError(row, column, code) an error value in a cell (2042 is #N/A)
// Answers the call and returns true, or returns false when `name` is none of them.
bool AnswerRefusalMember(Model& model, std::string_view name, std::span<const excel::Value> args);

}  // namespace quarnel::standin::server
