#pragma once

// A stand-in Excel with one workbook in front, found by a scripted desktop, for the record and
// restore commands.

#include <string>

#include "support/attached_excel.hpp"

namespace quarnel::test_support {

// What the first record of Plan.xlsx writes on the scripted desktop, with no note.
inline constexpr const char* kSnapshotPath = "C:\\Tools\\Quarnel\\Plan-行列状态_20261208090507.txt";

class SnapshotCommandTest : public AttachedExcelTest {
 public:
  void SetUp() override {
    AttachedExcelTest::SetUp();
    model.AddWorkbook("Plan.xlsx");
  }

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

  standin::Model& model = excel;
};

}  // namespace quarnel::test_support
