#pragma once

// The worksheet and its ranges as late-bound objects. Only the model's objects include this.

#include <cstdint>
#include <memory>
#include <optional>

#include "standin/model/member.hpp"

namespace quarnel::standin {

// Rows, Columns, Cells, Range, Name, Activate and Select of a sheet; shared by the worksheet and by
// the application, which answers for its active sheet.
excel::Value AnswerSheet(const AppPtr& app, const std::shared_ptr<SheetState>& sheet, const Call& call);
// The worksheet object, or Nothing for no sheet.
excel::Value SheetValue(const AppPtr& app, const std::shared_ptr<SheetState>& sheet);
excel::Value RangeValue(const AppPtr& app, const std::shared_ptr<SheetState>& sheet, Rect rect);
// How many cells of the range `value` hold anything, in hidden rows and columns too; nothing when
// `value` is not a range of the model.
std::optional<std::int64_t> FilledCells(const excel::Value& value);

}  // namespace quarnel::standin
