#pragma once

// The late-bound face of the model: Application, Workbooks, Workbook, Sheets, Worksheet, Range,
// WorksheetFunction and a workbook's Window answer Excel's members by name through excel::Dispatch.

#include <memory>

#include "excel/automation.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin {

excel::Object MakeApplication(std::shared_ptr<AppState> state);
// The Window object of `book`'s window, whose Application is `application`.
excel::Object MakeWindow(std::shared_ptr<AppState> state, std::weak_ptr<WorkbookState> book,
                         excel::Object application);

}  // namespace quarnel::standin
