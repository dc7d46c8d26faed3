#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "excel/attach.hpp"
#include "snapshot/commands.hpp"
#include "standin/model/model.hpp"
#include "support/scripted_desktop.hpp"

namespace quarnel::test_support {

using Numbers = std::vector<std::int32_t>;

// A stand-in Excel that is running with one workbook, and a scripted desktop around the tool.
class AttachedExcelTest : public ::testing::Test {
 public:
  void SetUp() override {
    connector.running = excel.Application();
    connector.windowTitles = {"Book1 - Excel", "Microsoft Excel"};
  }

  // A fresh Excel, desktop and connector, set up again: for tests that run many cases, each from
  // the start.
  void Restart() {
    excel = standin::Model();
    desktop = ScriptedDesktop();
    connector = ScriptedConnector();
    SetUp();
  }

  // Which of the first `last` rows (or columns) of the active sheet are hidden, in order.
  Numbers HiddenRows(std::int32_t last) const { return Hidden(last, &standin::Model::IsRowHidden); }
  Numbers HiddenColumns(std::int32_t last) const { return Hidden(last, &standin::Model::IsColumnHidden); }
  Numbers Hidden(std::int32_t last, bool (standin::Model::*isHidden)(std::int32_t) const) const {
    Numbers hidden;
    for (std::int32_t n = 1; n <= last; ++n) {
      if ((excel.*isHidden)(n)) hidden.push_back(n);
    }
    return hidden;
  }

  standin::Model excel;
  ScriptedConnector connector;
  ScriptedDesktop desktop;
  Host host{connector, desktop};
};

// What the first record of Plan.xlsx writes on the scripted desktop, with no note.
inline constexpr const char* kSnapshotPath = "C:\\Tools\\Quarnel\\Plan-行列状态_20261208090507.txt";

// The same with Plan.xlsx in front, for the commands.
class PlanInFrontTest : public AttachedExcelTest {
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

  // Runs the restore command with `content` as the file the user picks; `undo` gets what it replaces.
  void Restore(const std::string& content, snapshot::LastView* undo = nullptr) {
    desktop.files.files[kSnapshotPath] = content;
    desktop.dialog.answers.push_back(kSnapshotPath);
    snapshot::RestoreSnapshot(host, {{}, undo});
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
