#pragma once

#include <gtest/gtest.h>

#include "excel/attach.hpp"
#include "standin/model/model.hpp"
#include "support/scripted_desktop.hpp"

namespace quarnel::testing {

// A stand-in Excel that is running with one workbook, a scripted desktop around the tool, and the
// process-wide handles cleared as at the tool's start.
class AttachedExcelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    链接cad及excel::ExcelApp = {};
    链接cad及excel::ExcelBook = {};
    链接cad及excel::ExcelSheet = {};
    connector.running = excel.Application();
    connector.windowTitles = {"Book1 - Excel", "Microsoft Excel"};
  }
  void TearDown() override { SetUp(); }

  standin::Model excel;
  ScriptedConnector connector;
  ScriptedDesktop desktop;
  Host host{connector, desktop};
};

}  // namespace quarnel::testing
