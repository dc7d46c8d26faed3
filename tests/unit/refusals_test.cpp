// Excel's refusals as the stand-in gives them, and a record that meets error values in the corner cells.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/click.hpp"
#include "standin/model/model.hpp"
#include "support/attached_excel.hpp"
#include "support/failure_number.hpp"

namespace quarnel::test_support {
namespace {

using app::Button;
using excel::Object;
using excel::Value;

class Refusals : public SnapshotCommandTest {
 protected:
  Object App() const { return model.Application(); }
  Object Sheet() const { return App().GetObject("ActiveSheet"); }
  Object Row(std::int32_t row) const {
    return Sheet()
        .GetObject("Rows", {Value(std::to_string(row) + ":" + std::to_string(row))})
        .GetObject("EntireRow");
  }
  std::size_t Files() const { return desktop.files.files.size(); }
};

TEST_F(Refusals, StandinProtectedSheetReadsHiddenButRefusesToWriteIt) {
  model.SetRowsHidden(4, 4, true);
  model.ProtectSheet(true);
  EXPECT_TRUE(excel::ToBool(Row(4).Get("Hidden")));
  try {
    Row(4).Put("Hidden", false);
    ADD_FAILURE() << "a protected sheet took the write";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), 1004);
    EXPECT_EQ(failure.Description(), "不能设置类 Range 的 Hidden 属性");
  }
  EXPECT_TRUE(model.IsRowHidden(4));
  model.ProtectSheet(false);
  Row(4).Put("Hidden", false);
  EXPECT_FALSE(model.IsRowHidden(4));
}

TEST_F(Refusals, StandinChartSheetAndShapeHaveNoCellsRowsOrColumns) {
  model.AddChartSheet();
  const Object chart = Sheet();
  EXPECT_EQ(excel::ToText(chart.Get("Name")), "Chart1");
  EXPECT_EQ(excel::ToLong(App().GetObject("ActiveWorkbook").GetObject("Sheets").Get("Count")), 2);
  EXPECT_EQ(FailureNumber([&] { chart.Get("Rows", {std::string("1:1")}); }), 438);
  EXPECT_EQ(FailureNumber([&] { chart.Get("Columns", {1}); }), 438);
  EXPECT_EQ(FailureNumber([&] { chart.Get("cells", {1, 1}); }), 438);
  EXPECT_EQ(FailureNumber([&] { App().GetObject("Selection").Get("Row"); }), 438);

  model.ActivateSheet("Sheet1");
  model.Select(3, 2, 3, 2);
  model.SelectShape();
  const Object shape = App().GetObject("Selection");
  EXPECT_EQ(FailureNumber([&] { shape.Get("Row"); }), 438);
  EXPECT_EQ(FailureNumber([&] { shape.Get("Column"); }), 438);
  // Selecting cells again gives the cells back.
  Sheet().GetObject("Range", {std::string("D5")}).Call("Select");
  EXPECT_EQ(excel::ToLong(App().GetObject("Selection").Get("Row")), 5);
}

TEST_F(Refusals, StandinHiddenWorkbookIsCountedButNeverInFront) {
  model.CloseWorkbook("Plan.xlsx");
  model.AddHiddenWorkbook();
  EXPECT_EQ(excel::ToLong(App().GetObject("Workbooks").Get("Count")), 1);
  EXPECT_FALSE(App().GetObject("ActiveWorkbook"));
  model.AddWorkbook("Plan.xlsx");
  EXPECT_EQ(excel::ToText(App().GetObject("ActiveWorkbook").Get("Name")), "Plan.xlsx");
  model.CloseWorkbook("Plan.xlsx");
  EXPECT_FALSE(App().GetObject("ActiveWorkbook"));
}

TEST_F(Refusals, StandinErrorValueIsAFilledCellThatConvertsToNothing) {
  model.SetCellError(3, 1, 2042);
  const Object cell = Sheet().GetObject("cells", {3, 1});
  EXPECT_EQ(cell.Get("Value"), Value(excel::ErrorValue{2042}));
  EXPECT_EQ(FailureNumber([&] { excel::ToText(cell.Get("Value")); }), 13);
  // Excel's moves stop at it as at any filled cell.
  EXPECT_EQ(
      excel::ToLong(Sheet().GetObject("cells", {100, 1}).GetObject("end", {std::int16_t{-4162}}).Get("Row")),
      3);
}

TEST_F(Refusals, ErrorValuesInTheCornerCellsCountAsFilled) {
  model.SetCellError(65536, 1, 2042);
  model.SetCellError(1, 256, 2007);
  model.SetRowsHidden(65536, 65536, true);
  app::Commands(host).OnClick(app::Button::Command3);
  EXPECT_TRUE(desktop.messages.empty());
  ASSERT_EQ(Files(), 1u);
  const std::string written = desktop.files.files.begin()->second;
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 65536 + 256);
  EXPECT_TRUE(written.ends_with("\r\n255/False\r\n256/False\r\n"));
  EXPECT_NE(written.find("\r\n65536:65536/True\r\n1/False\r\n"), std::string::npos);
}

}  // namespace
}  // namespace quarnel::test_support
