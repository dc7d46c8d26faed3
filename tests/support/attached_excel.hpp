#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "excel/attach.hpp"
#include "standin/model/model.hpp"
#include "support/scripted_desktop.hpp"

namespace quarnel::test_support {

// A stand-in Excel that is running with one workbook, and a scripted desktop around the tool.
class AttachedExcelTest : public ::testing::Test {
 public:
  void SetUp() override {
    connector.running = excel.Application();
    connector.windowTitles = {"Book1 - Excel", "Microsoft Excel"};
  }

  // Which of the first `last` rows (or columns) of the active sheet are hidden, in order.
  std::vector<std::int32_t> HiddenRows(std::int32_t last) const {
    std::vector<std::int32_t> rows;
    for (std::int32_t row = 1; row <= last; ++row) {
      if (excel.IsRowHidden(row)) rows.push_back(row);
    }
    return rows;
  }
  std::vector<std::int32_t> HiddenColumns(std::int32_t last) const {
    std::vector<std::int32_t> columns;
    for (std::int32_t column = 1; column <= last; ++column) {
      if (excel.IsColumnHidden(column)) columns.push_back(column);
    }
    return columns;
  }

  standin::Model excel;
  ScriptedConnector connector;
  ScriptedDesktop desktop;
  Host host{connector, desktop};
};

}  // namespace quarnel::test_support
