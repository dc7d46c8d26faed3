#pragma once

// The late-bound face of the model: Application, Workbooks, Workbook, Sheets, Worksheet and Range
// answer Excel's members by name through excel::Dispatch.

#include <memory>

#include "excel/automation.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin {

excel::Object MakeApplication(std::shared_ptr<AppState> state);

}  // namespace quarnel::standin
