#pragma once

#include "standin/model/model.hpp"

namespace quarnel::standin::server {

inline constexpr char kDemoWorkbook[] = "演示.xlsx";

// A small sheet worth hiding rows of: column A filled to row 30, row 1 to column H, rows 5 and
// 12 to 13 and column G hidden, B3 selected; the application visible.
void SetUpDemo(Model& model);

}  // namespace quarnel::standin::server
