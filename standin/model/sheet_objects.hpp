#pragma once

// The worksheet and its ranges as late-bound objects. Only the model's objects include this.

#include <memory>

#include "standin/model/member.hpp"

namespace quarnel::standin {

// Rows, Columns, Cells, Range, Name, Activate and Select of a sheet; shared by the worksheet and by
// the application, which answers for its active sheet.
excel::Value AnswerSheet(const AppPtr& app, const std::shared_ptr<SheetState>& sheet, const Call& call);
// The worksheet object, or Nothing for no sheet.
excel::Value SheetValue(const AppPtr& app, const std::shared_ptr<SheetState>& sheet);
excel::Value RangeValue(const AppPtr& app, const std::shared_ptr<SheetState>& sheet, Rect rect);

}  // namespace quarnel::standin
