#include <gtest/gtest.h>

#include "app/click.hpp"
#include "standin/model/model.hpp"
#include "support/attached_excel.hpp"
#include "visibility/commands.hpp"

namespace {

using namespace quarnel;
using standin::kMaxColumns;
using standin::kMaxRows;

class VisibilityTest : public quarnel::test_support::PlanInFrontTest {};

TEST_F(VisibilityTest, RowCommandsUseTheFirstRowOfTheSelection) {
  excel.Select(4, 3, 9, 5);
  visibility::HideRow(host);
  EXPECT_EQ(HiddenRows(20), std::vector<std::int32_t>{4});

  excel.SetRowsHidden(5, 10, true);
  visibility::UnhideRowBelow(host);
  EXPECT_EQ(HiddenRows(20), (std::vector<std::int32_t>{4, 6, 7, 8, 9, 10}));
  EXPECT_TRUE(HiddenColumns(20).empty());
}

TEST_F(VisibilityTest, ColumnCommandsUseTheFirstColumnOfTheSelection) {
  excel.Select(2, 3, 8, 6);
  visibility::HideColumn(host);
  EXPECT_EQ(HiddenColumns(20), std::vector<std::int32_t>{3});

  excel.SetColumnsHidden(4, 6, true);
  visibility::UnhideColumnRight(host);
  EXPECT_EQ(HiddenColumns(20), (std::vector<std::int32_t>{3, 5, 6}));
  EXPECT_TRUE(HiddenRows(20).empty());
}

TEST_F(VisibilityTest, WholeColumnsOrRowsSelectedMeanRowOneOrColumnA) {
  excel.Select(1, 3, kMaxRows, 4);
  visibility::HideRow(host);
  EXPECT_EQ(HiddenRows(5), std::vector<std::int32_t>{1});

  excel.Select(7, 1, 9, kMaxColumns);
  visibility::HideColumn(host);
  EXPECT_EQ(HiddenColumns(5), std::vector<std::int32_t>{1});
}

TEST_F(VisibilityTest, RevealingShowsOnlyTheNextHiddenRow) {
  excel.SetRowsHidden(8, 9, true);
  excel.Select(7, 1, 7, 1);
  visibility::UnhideRowBelow(host);
  EXPECT_EQ(HiddenRows(20), std::vector<std::int32_t>{9});
}

TEST_F(VisibilityTest, RepeatingAChangeChangesNothingAndSaysNothing) {
  excel.Select(256, 1, 256, 1);
  visibility::HideRow(host);
  visibility::HideRow(host);
  visibility::UnhideColumnRight(host);
  EXPECT_EQ(HiddenRows(300), std::vector<std::int32_t>{256});
  EXPECT_TRUE(HiddenColumns(20).empty());
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(VisibilityTest, CommandsWorkOnTheSheetNowInFront) {
  visibility::HideRow(host);  // attaches to Sheet1 first
  excel.AddSheet("Second");
  excel.Select(3, 1, 3, 1);
  visibility::HideRow(host);
  EXPECT_EQ(HiddenRows(5), std::vector<std::int32_t>{3});
  excel.ActivateSheet("Sheet1");
  EXPECT_EQ(HiddenRows(5), std::vector<std::int32_t>{1});
}

TEST_F(VisibilityTest, BeyondTheSheetsEdgeExcelRefusesAndTheToolReportsIt) {
  excel.Select(kMaxRows, kMaxColumns, kMaxRows, kMaxColumns);
  app::Commands(host).OnClick(app::Button::Command6);
  app::Commands(host).OnClick(app::Button::Command7);
  ASSERT_EQ(desktop.messages.size(), 2u);
  for (const auto& message : desktop.messages) {
    EXPECT_EQ(message.title, "Quarnel");
    EXPECT_NE(message.text.find("1004"), std::string::npos) << message.text;
    EXPECT_NE(message.text.find("应用程序定义或对象定义错误"), std::string::npos) << message.text;
  }
}

}  // namespace
