#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "app/click.hpp"
#include "snapshot/commands.hpp"
#include "standin/model/model.hpp"
#include "support/attached_excel.hpp"

namespace {

using namespace quarnel;
using app::Button;

class ClickTest : public quarnel::test_support::AttachedExcelTest {};

// The window closes itself; should the exit button's click reach the commands, it runs nothing.
TEST_F(ClickTest, ExitTouchesNoExcel) {
  app::Commands(host).OnClick(app::Button::Command5);
  EXPECT_EQ(excel.TotalCalls(), 0u);
  EXPECT_EQ(connector.starts, 0);
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(ClickTest, EachVisibilityButtonRunsItsOwnCommand) {
  excel.AddWorkbook("Plan.xlsx");
  excel.SetRowsHidden(5, 5, true);
  excel.SetColumnsHidden(6, 6, true);
  excel.Select(4, 5, 4, 5);
  app::Commands(host).OnClick(app::Button::Command1);
  app::Commands(host).OnClick(app::Button::Command2);
  app::Commands(host).OnClick(app::Button::Command6);
  app::Commands(host).OnClick(app::Button::Command7);
  EXPECT_TRUE(excel.IsRowHidden(4));
  EXPECT_FALSE(excel.IsRowHidden(5));
  EXPECT_TRUE(excel.IsColumnHidden(5));
  EXPECT_FALSE(excel.IsColumnHidden(6));
  EXPECT_TRUE(desktop.messages.empty());
}

// The attachment reports the start failure, then the command its own: a run-time error box from a
// click, the description alone from the restore's error step. Nothing is asked or written.
TEST_F(ClickTest, ExcelThatCannotStartIsReportedTwiceAndTheToolGoesOn) {
  const std::string notSet = errors::ObjectNotSet().Description();
  const std::tuple<const char*, std::function<void()>, std::string> commands[] = {
      {"hide row", [&] { app::Commands(host).OnClick(Button::Command1); },
       RunTimeErrorText(errors::ObjectNotSet())},
      {"record", [&] { app::Commands(host).OnClick(Button::Command3); },
       RunTimeErrorText(errors::ObjectNotSet())},
      {"restore", [&] { snapshot::RestoreSnapshot(host); }, notSet}};
  connector.running.reset();
  for (const auto& [what, run, box] : commands) {
    SCOPED_TRACE(what);
    desktop.messages.clear();
    run();
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[0].text, connector.startFailure.Description());
    EXPECT_EQ(desktop.messages[0].text, "无效的类字符串");
    EXPECT_EQ(desktop.messages[1].title, "Quarnel");
    EXPECT_EQ(desktop.messages[1].text, box);
    EXPECT_TRUE(desktop.dialog.calls.empty());
    EXPECT_TRUE(desktop.files.files.empty());
  }

  // Excel becomes available: the next click works.
  connector.running = excel.Application();
  excel.AddWorkbook("Plan.xlsx");
  excel.Select(2, 2, 2, 2);
  app::Commands(host).OnClick(app::Button::Command1);
  EXPECT_TRUE(excel.IsRowHidden(2));
}

TEST_F(ClickTest, WhatACommandDidBeforeItFailedStaysDone) {
  excel.AddWorkbook("Plan.xlsx");
  excel.Select(3, 3, 3, 3);
  excel.FailCall("Selection", 1, Failure(1004, "选定区域无效"));
  app::Commands(host).OnClick(app::Button::Command1);
  EXPECT_TRUE(excel.Visible());  // the attachment ran
  EXPECT_FALSE(excel.IsRowHidden(3));
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, "运行时错误 '1004':\n\n选定区域无效");
}

// A file in Protected View in front: every command says so in the tool's own words, and leaves
// Excel, its workbooks and the folder as they were.
TEST_F(ClickTest, AFileInProtectedViewStopsEveryCommandWithOnePlainBox) {
  excel.SetVisible(true);
  excel.OpenProtectedView("附件.xlsx");
  for (Button button : {Button::Command1, Button::Command2, Button::Command3, Button::Command4,
                        Button::Command6, Button::Command7}) {
    SCOPED_TRACE(static_cast<int>(button));
    desktop.messages.clear();
    app::Commands(host).OnClick(button);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, errors::Description(errors::kProtectedView));
    EXPECT_EQ(desktop.messages[0].title, "Quarnel");
  }
  EXPECT_TRUE(excel.State().workbooks.empty());
  EXPECT_EQ(excel.Calls("Workbooks"), 0u);
  EXPECT_TRUE(desktop.files.files.empty());
  EXPECT_TRUE(desktop.dialog.calls.empty());
}

}  // namespace
