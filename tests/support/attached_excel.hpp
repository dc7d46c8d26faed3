#pragma once

#include <gtest/gtest.h>

#include "excel/attach.hpp"
#include "standin/model/model.hpp"
#include "support/scripted_desktop.hpp"

namespace quarnel::testing {

// A stand-in Excel that is running with one workbook, a scripted desktop around the tool, and the
// process-wide handles cleared as at the tool's start.
// The handles outlive every test: a test must not see the Excel of the one before.
inline void ReleaseExcelHandles() {
  链接cad及excel::ExcelApp = {};
  链接cad及excel::ExcelBook = {};
  链接cad及excel::ExcelSheet = {};
}

class AttachedExcelTest : public ::testing::Test {
 public:
  void SetUp() override {
    ReleaseExcelHandles();
    connector.running = excel.Application();
    connector.windowTitles = {"Book1 - Excel", "Microsoft Excel"};
  }
  void TearDown() override { ReleaseExcelHandles(); }

  standin::Model excel;
  ScriptedConnector connector;
  ScriptedDesktop desktop;
  Host host{connector, desktop};
};

}  // namespace quarnel::testing
