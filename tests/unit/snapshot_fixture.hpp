#pragma once

// A stand-in Excel with one workbook in front, found by a scripted desktop, for the record and
// restore commands.

#include <gtest/gtest.h>

#include <string>

#include "excel/attach.hpp"
#include "standin/model/model.hpp"
#include "support/scripted_desktop.hpp"

namespace quarnel::testing {

class SnapshotCommandTest : public ::testing::Test {
 public:
  void SetUp() override {
    // The handles outlive every test: a test must not see the Excel of the one before.
    链接cad及excel::ExcelApp = {};
    链接cad及excel::ExcelBook = {};
    链接cad及excel::ExcelSheet = {};
    model.AddWorkbook("Plan.xlsx");
    connector.running = model.Application();
    connector.windowTitles = {"Microsoft Excel - Plan.xlsx"};
  }

  static constexpr const char* kFolder = "C:\\Tools\\Quarnel";

  // Fills column A down to `lastRow` and row 1 across to `lastColumn`.
  void UseArea(std::int32_t lastRow, std::int32_t lastColumn) {
    for (std::int32_t row = 1; row <= lastRow; ++row) model.SetCell(row, 1, std::string("x"));
    for (std::int32_t column = 1; column <= lastColumn; ++column) model.SetCell(1, column, std::string("x"));
  }

  // Paths of the files in the program folder, by name.
  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (const auto& [path, content] : desktop.files.files) names.push_back(path);
    return names;
  }

  standin::Model model;
  ScriptedDesktop desktop;
  ScriptedConnector connector;
  Host host{connector, desktop};
};

}  // namespace quarnel::testing
