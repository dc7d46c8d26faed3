#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "excel/addresses.hpp"
#include "standin/model/failures.hpp"
#include "standin/model/model.hpp"
#include "support/failure_number.hpp"

namespace quarnel::standin {
namespace {

using quarnel::test_support::FailureLine;
using quarnel::test_support::FailureNumber;
using quarnel::test_support::FailureOf;

using excel::Object;
using excel::Value;

class StandinModel : public ::testing::Test {
 protected:
  StandinModel() { model.AddWorkbook("Plan.xlsx"); }
  Object Sheet() const { return model.Application().GetObject("ActiveSheet"); }
  Object RowsOf(const Value& address) const { return Sheet().GetObject("Rows", {address}); }
  Object ColumnsOf(const Value& number) const { return Sheet().GetObject("Columns", {number}); }
  Model model;
};

TEST_F(StandinModel, RowsTakesRowAddressesAndWholeNumbers) {
  const struct {
    Value argument;
    std::string address;
  } accepted[] = {{std::string("12:12"), "$12:$12"}, {std::string("$3:$7"), "$3:$7"},
                  {std::string("7:3"), "$3:$7"},     {std::string("1048576:1048576"), "$1048576:$1048576"},
                  {std::int16_t{5}, "$5:$5"},        {2.5, "$2:$2"}};
  for (const auto& [argument, address] : accepted) {
    EXPECT_EQ(excel::ToText(RowsOf(argument).Get("Address")), address) << address;
  }
  std::vector<Value> refused = {std::int32_t{0}, true, 1048577.0};
  for (const char* text : {"abc", "", "12", "1:2:3", " 12:12", "0:0", "1048577:1048577", "A1", "12:12 "}) {
    refused.emplace_back(std::string(text));
  }
  for (const Value& argument : refused) {
    EXPECT_EQ(FailureNumber([&] { RowsOf(argument); }), 1004) << excel::ToText(argument);
  }
}

TEST_F(StandinModel, ColumnsRoundsDoublesToEvenAndRefusesOutsideTheSheet) {
  const struct {
    Value argument;
    std::int32_t column;
  } accepted[] = {{std::int16_t{3}, 3},
                  {std::int32_t{16384}, 16384},
                  {2.5, 2},
                  {3.5, 4},
                  {2.4999, 2},
                  {std::string("C"), 3},
                  {std::string("$c"), 3},
                  {std::string("3"), 3}};
  for (const auto& [argument, column] : accepted) {
    EXPECT_EQ(excel::ToLong(ColumnsOf(argument).Get("Column")), column) << excel::ToText(argument);
  }
  EXPECT_EQ(excel::ToText(ColumnsOf(std::string("E:C")).Get("Address")), "$C:$E");

  const Value refused[] = {std::int16_t{0},   std::int32_t{-1}, std::int32_t{16385}, 0.4, 0.5, 1e12, true,
                           std::string("1x"), std::string(""),  std::string("XFE")};
  for (const Value& argument : refused) {
    EXPECT_EQ(FailureNumber([&] { ColumnsOf(argument); }), 1004) << excel::ToText(argument);
  }
  EXPECT_EQ(FailureNumber([&] { ColumnsOf(Sheet()); }), 13);
}

TEST_F(StandinModel, HiddenReadsTrueOnlyWhenEveryRowOrColumnIsHidden) {
  RowsOf(std::string("3:7")).GetObject("EntireRow").Put("Hidden", true);
  for (std::int32_t row = 2; row <= 8; ++row) EXPECT_EQ(model.IsRowHidden(row), row >= 3 && row <= 7) << row;
  EXPECT_TRUE(excel::ToBool(RowsOf(std::string("4:6")).Get("Hidden")));
  EXPECT_FALSE(excel::ToBool(RowsOf(std::string("6:8")).Get("Hidden")));

  ColumnsOf(4.0).GetObject("EntireColumn").Put("Hidden", true);
  EXPECT_TRUE(model.IsColumnHidden(4));
  EXPECT_FALSE(model.IsRowHidden(4 + 10));
  EXPECT_TRUE(excel::ToBool(Sheet().GetObject("cells", {1, 4}).GetObject("EntireColumn").Get("Hidden")));
  EXPECT_FALSE(excel::ToBool(ColumnsOf(std::string("C:D")).Get("Hidden")));

  ColumnsOf(4.0).Put("Hidden", false);
  EXPECT_FALSE(model.IsColumnHidden(4));
  // A block that is neither whole rows nor whole columns has no Hidden.
  const Object block = Sheet().GetObject("Range", {std::string("C12:E15")});
  EXPECT_EQ(FailureNumber([&] { block.Get("Hidden"); }), 1004);
  EXPECT_EQ(FailureNumber([&] { block.Put("Hidden", true); }), 1004);
}

TEST_F(StandinModel, HidingAllRowsIsOneRunAndSplitsAndMergesCleanly) {
  const Object allRows = model.Application().GetObject("Rows", {std::string("1:1048576")});
  allRows.Put("Hidden", true);
  const SheetState& sheet = *model.State().ActiveSheet();
  EXPECT_EQ(sheet.hiddenRows.Runs().size(), 1u);
  model.SetRowsHidden(500, 600, false);
  EXPECT_FALSE(excel::ToBool(allRows.Get("Hidden")));
  EXPECT_TRUE(model.IsRowHidden(499));
  EXPECT_FALSE(model.IsRowHidden(500));
  EXPECT_FALSE(model.IsRowHidden(600));
  EXPECT_TRUE(model.IsRowHidden(601));
  EXPECT_EQ(sheet.hiddenRows.Runs().size(), 2u);
  model.SetRowsHidden(500, 550, true);
  model.SetRowsHidden(551, 600, true);
  EXPECT_EQ(sheet.hiddenRows.Runs().size(), 1u);
  EXPECT_TRUE(excel::ToBool(allRows.Get("Hidden")));
}

// As Excel's: what Rows and Columns return counts rows and columns, a range its cells.
TEST_F(StandinModel, CountOfRowsColumnsAndRanges) {
  const Object sheet = Sheet();
  const std::pair<Object, std::int32_t> cases[] = {
      {sheet.GetObject("Rows"), 1048576},
      {sheet.GetObject("Columns"), 16384},
      {sheet.GetObject("Rows", {std::string("3:7")}), 5},
      {sheet.GetObject("Columns", {std::string("B:D")}), 3},
      {sheet.GetObject("Rows", {std::string("3:7")}).GetObject("EntireRow").GetObject("Rows"), 5},
      {sheet.GetObject("Range", {std::string("A1:B2")}), 4},
  };
  for (const auto& [range, count] : cases) EXPECT_EQ(excel::ToLong(range.Get("Count")), count);
}

TEST_F(StandinModel, WorkbooksSheetsAndTheActiveOnes) {
  Model fresh;
  const Object app = fresh.Application();
  EXPECT_EQ(excel::ToLong(app.GetObject("Workbooks").Get("Count")), 0);
  EXPECT_FALSE(app.GetObject("ActiveWorkbook"));
  const Object book = app.GetObject("Workbooks").GetObject("Add");
  EXPECT_EQ(excel::ToText(book.Get("Name")), "Book1");
  EXPECT_EQ(excel::ToText(app.GetObject("ActiveWorkbook").Get("Name")), "Book1");
  EXPECT_EQ(excel::ToLong(book.GetObject("Sheets").Get("Count")), 1);

  const Object added = book.GetObject("Worksheets").GetObject("Add");
  EXPECT_EQ(excel::ToText(added.Get("Name")), "Sheet2");
  EXPECT_EQ(excel::ToText(book.GetObject("ActiveSheet").Get("Name")), "Sheet2");
  // Added before the active sheet, found by name in any case.
  EXPECT_EQ(excel::ToText(book.GetObject("Sheets").GetObject("Item", {1}).Get("Name")), "Sheet2");
  book.GetObject("Sheets").GetObject("Item", {std::string("SHEET1")}).Call("Activate");
  EXPECT_EQ(excel::ToText(book.GetObject("ActiveSheet").Get("Name")), "Sheet1");
  EXPECT_EQ(FailureNumber([&] { book.GetObject("Sheets").Get("Item", {3}); }), 9);

  app.GetObject("Workbooks").Call("Add");
  EXPECT_EQ(excel::ToText(app.GetObject("ActiveWorkbook").Get("Name")), "Book2");
  fresh.SetNoActiveWorkbook();
  EXPECT_TRUE(std::holds_alternative<std::monostate>(app.Get("ActiveWorkbook")));
  EXPECT_EQ(excel::ToLong(app.GetObject("Workbooks").Get("Count")), 2);
  EXPECT_EQ(FailureNumber([&] { app.Get("Range", {std::string("A1")}); }), 1004);
  book.Call("Activate");
  EXPECT_EQ(excel::ToText(app.GetObject("ActiveWorkbook").Get("Name")), "Book1");
}

TEST_F(StandinModel, SelectionCaptionVisibilityAndValues) {
  const Object app = model.Application();
  EXPECT_EQ(excel::ToText(app.Get("Caption")), "Microsoft Excel");
  app.Put("Caption", std::string("Plan.xlsx - Excel"));
  EXPECT_EQ(excel::ToText(app.Get("Caption")), "Plan.xlsx - Excel");
  EXPECT_FALSE(model.Visible());
  app.Put("Visible", true);
  EXPECT_TRUE(model.Visible());

  app.GetObject("Range", {std::string("C12:E15")}).Call("Select");
  EXPECT_EQ(excel::ToLong(app.GetObject("Selection").Get("Row")), 12);
  EXPECT_EQ(excel::ToLong(app.GetObject("Selection").Get("Column")), 3);
  model.Select(4, 2, 9, 6);
  EXPECT_EQ(excel::ToText(app.GetObject("Selection").Get("Address")), "$B$4:$F$9");

  const Object cell = Sheet().GetObject("Cells", {2, std::string("B")});
  cell.Put("Value", std::int32_t{7});
  EXPECT_EQ(std::get<double>(model.Cell(2, 2)), 7.0);  // numbers come back as Double, as in Excel
  Sheet().GetObject("Range", {std::string("A1:B2")}).Put("Value2", std::string("x"));
  EXPECT_EQ(excel::ToText(Sheet().GetObject("cells", {1, 1}).Get("Value")), "x");
  EXPECT_EQ(FailureNumber([&] { Sheet().GetObject("Range", {std::string("A1:B2")}).Get("Value"); }), 13);
  Sheet().GetObject("Columns", {1}).Put("Value", std::string());
  EXPECT_TRUE(std::holds_alternative<std::monostate>(model.Cell(1, 1)));
  EXPECT_EQ(excel::ToText(model.Cell(2, 2)), "x");
}

TEST_F(StandinModel, MembersAreFoundInAnyCaseAndUnknownOnesFailWith438) {
  for (const char* name : {"cells", "Cells", "CELLS", "cElLs"}) {
    EXPECT_EQ(excel::ToLong(Sheet().GetObject(name, {3, 4}).Get("ROW")), 3) << name;
  }
  EXPECT_EQ(FailureNumber([&] { Sheet().Get("UsedRangeX"); }), 438);
  EXPECT_EQ(FailureNumber([&] { model.Application().Put("Workbooks", true); }), 438);
  EXPECT_EQ(FailureNumber([&] { Sheet().Get("cells", {1}); }), 0);
  EXPECT_EQ(FailureNumber([&] { Sheet().Get("Range"); }), ArgumentNotOptional().Number());
  EXPECT_EQ(FailureNumber([&] { Sheet().Get("cells", {1, 2, 3}); }), WrongArgumentCount().Number());
  EXPECT_EQ(FailureNumber([&] { Sheet().Get("cells", {std::string("x"), 1}); }), 13);
  EXPECT_EQ(FailureNumber([&] { Sheet().Get("cells", {65537 * 16, 1}); }), 1004);
}

TEST_F(StandinModel, CountsCallsPerMemberInAnyCase) {
  model.ResetCounters();
  const Object sheet = Sheet();
  sheet.GetObject("Rows", {std::string("1:1")}).GetObject("EntireRow").Get("Hidden");
  sheet.GetObject("rows", {std::string("2:2")});
  FailureNumber([&] { sheet.Get("Nope"); });
  EXPECT_EQ(model.Calls("ROWS"), 2u);
  EXPECT_EQ(model.Calls("activesheet"), 1u);
  EXPECT_EQ(model.Calls("nope"), 1u);
  EXPECT_EQ(model.TotalCalls(), 6u);
  model.SetCell(1, 1, 1.0);  // set-up is not counted
  model.ResetCounters();
  EXPECT_EQ(model.TotalCalls(), 0u);
  EXPECT_EQ(model.Calls("rows"), 0u);
}

// The nth call fails once, or from then on; rejected calls while busy do not use a fault up.
TEST_F(StandinModel, FailsTheNthCallOfAMemberOnceOrFromThenOn) {
  const Object sheet = Sheet();
  model.FailCall("hidden", 2, Failure(1004, "无法设置类 Range 的 Hidden 属性"));
  const Object row = sheet.GetObject("Rows", {std::string("1:1")});
  EXPECT_EQ(FailureNumber([&] { row.Put("Hidden", true); }), 0);
  EXPECT_EQ(FailureLine(FailureOf([&] { row.Get("HIDDEN"); })), "1004 无法设置类 Range 的 Hidden 属性");
  EXPECT_TRUE(excel::ToBool(row.Get("Hidden")));

  model.FailCall("Name", 2, Failure(5, "x"), true);
  EXPECT_EQ(FailureNumber([&] { sheet.Get("Name"); }), 0);
  for (int call = 2; call <= 4; ++call) EXPECT_EQ(FailureNumber([&] { sheet.Get("Name"); }), 5) << call;
  EXPECT_EQ(FailureNumber([&] { sheet.Get("Rows", {std::string("1:1")}); }), 0);
  model.ClearFaults();
  EXPECT_EQ(FailureNumber([&] { sheet.Get("Name"); }), 0);

  model.FailCall("Name", 1, Failure(5, "x"));
  model.SetBusy(true);
  EXPECT_EQ(FailureNumber([&] { sheet.Get("Name"); }), kCallRejected);
  EXPECT_EQ(FailureNumber([&] { model.Application().Get("Visible"); }), kCallRejected);
  model.SetBusy(false);
  EXPECT_EQ(FailureNumber([&] { sheet.Get("Name"); }), 5);
  EXPECT_EQ(excel::ToText(sheet.Get("Name")), "Sheet1");
}

TEST_F(StandinModel, EachKindOfBusyAnswersAsExcelDoesAndASpellEnds) {
  const Object app = model.Application();
  const std::vector<std::pair<BusyKind, std::int32_t>> kinds = {
      {BusyKind::Rejected, kCallRejected},
      {BusyKind::RetryLater, kRetryLater},
      {BusyKind::Ignored, kIgnored},
      {BusyKind::IgnoredInException, kIgnoredNumber}};
  for (const auto& [kind, number] : kinds) {
    model.SetBusy(kind);
    EXPECT_EQ(FailureNumber([&] { app.Get("Visible"); }), number);
    model.SetBusyFor(kind, std::chrono::hours(1));
    EXPECT_EQ(FailureNumber([&] { app.Get("Visible"); }), number);
    model.SetBusyFor(kind, std::chrono::milliseconds(0));
    EXPECT_EQ(FailureNumber([&] { app.Get("Visible"); }), 0);
    EXPECT_EQ(model.Busy(), BusyKind::None);
  }

  // Busy from the second write of Hidden on: that call and every other is turned away.
  const Object row = Sheet().GetObject("Rows", {std::string("1:1")});
  model.BusyAtCall("Hidden", 2, BusyKind::RetryLater, std::chrono::hours(1));
  EXPECT_EQ(FailureNumber([&] { row.Put("Hidden", true); }), 0);
  EXPECT_EQ(FailureNumber([&] { row.Put("Hidden", false); }), kRetryLater);
  EXPECT_EQ(FailureNumber([&] { app.Get("Visible"); }), kRetryLater);
  EXPECT_TRUE(model.IsRowHidden(1));
  model.SetBusy(false);
  EXPECT_EQ(FailureNumber([&] { row.Put("Hidden", false); }), 0);
  EXPECT_FALSE(model.IsRowHidden(1));
}

TEST_F(StandinModel, QuitDisconnectsEveryObject) {
  const Object app = model.Application();
  const Object sheet = Sheet();
  model.QuitAtCall("cells", 2);
  sheet.Get("cells", {1, 1});
  EXPECT_EQ(FailureNumber([&] { sheet.Get("cells", {1, 1}); }), kDisconnected);
  EXPECT_TRUE(model.HasQuit());
  EXPECT_EQ(FailureNumber([&] { app.Get("Visible"); }), kDisconnected);

  Model other;
  other.Application().Call("Quit");
  EXPECT_TRUE(other.HasQuit());
  EXPECT_EQ(FailureNumber([&] { other.Application().GetObject("Workbooks"); }), kDisconnected);
}

TEST(StandinLifetime, ObjectsOfAClosedWorkbookFailAndObjectsMayOutliveTheModel) {
  Object sheet;
  {
    Model model;
    model.AddWorkbook("Old.xlsx");
    const Object oldSheet = model.Application().GetObject("ActiveSheet");
    const Object oldCell = oldSheet.GetObject("cells", {1, 1});
    model.AddWorkbook("New.xlsx");
    model.CloseWorkbook("old.xlsx");
    EXPECT_EQ(FailureNumber([&] { oldSheet.Get("Name"); }), kObjectDeleted);
    EXPECT_EQ(FailureNumber([&] { oldCell.Get("Value"); }), kObjectDeleted);
    sheet = model.Application().GetObject("ActiveSheet");
  }
  sheet.GetObject("cells", {3, 3}).Put("Value", 1.0);
  EXPECT_EQ(
      excel::ToLong(sheet.GetObject("cells", {9, 3}).GetObject("end", {std::int16_t{-4162}}).Get("Row")), 3);
}

// Excel's refusals as the stand-in gives them.
TEST_F(StandinModel, ProtectedSheetReadsHiddenButRefusesToWriteIt) {
  model.SetRowsHidden(4, 4, true);
  model.ProtectSheet(true);
  const Object row = RowsOf(std::string("4:4")).GetObject("EntireRow");
  EXPECT_TRUE(excel::ToBool(row.Get("Hidden")));
  EXPECT_EQ(FailureLine(FailureOf([&] { row.Put("Hidden", false); })),
            "1004 不能设置类 Range 的 Hidden 属性");
  EXPECT_TRUE(model.IsRowHidden(4));
  model.ProtectSheet(false);
  row.Put("Hidden", false);
  EXPECT_FALSE(model.IsRowHidden(4));
}

TEST_F(StandinModel, ChartSheetAndShapeHaveNoCellsRowsOrColumns) {
  model.AddChartSheet();
  const Object chart = Sheet();
  EXPECT_EQ(excel::ToText(chart.Get("Name")), "Chart1");
  EXPECT_EQ(excel::ToLong(model.Application().GetObject("ActiveWorkbook").GetObject("Sheets").Get("Count")),
            2);
  EXPECT_EQ(FailureNumber([&] { chart.Get("Rows", {std::string("1:1")}); }), 438);
  EXPECT_EQ(FailureNumber([&] { chart.Get("Columns", {1}); }), 438);
  EXPECT_EQ(FailureNumber([&] { chart.Get("cells", {1, 1}); }), 438);
  EXPECT_EQ(FailureNumber([&] { model.Application().GetObject("Selection").Get("Row"); }), 438);

  model.ActivateSheet("Sheet1");
  model.Select(3, 2, 3, 2);
  model.SelectShape();
  const Object shape = model.Application().GetObject("Selection");
  EXPECT_EQ(FailureNumber([&] { shape.Get("Row"); }), 438);
  EXPECT_EQ(FailureNumber([&] { shape.Get("Column"); }), 438);
  // Selecting cells again gives the cells back.
  Sheet().GetObject("Range", {std::string("D5")}).Call("Select");
  EXPECT_EQ(excel::ToLong(model.Application().GetObject("Selection").Get("Row")), 5);
}

TEST_F(StandinModel, HiddenWorkbookIsCountedButNeverInFront) {
  model.CloseWorkbook("Plan.xlsx");
  model.AddHiddenWorkbook();
  EXPECT_EQ(excel::ToLong(model.Application().GetObject("Workbooks").Get("Count")), 1);
  EXPECT_FALSE(model.Application().GetObject("ActiveWorkbook"));
  model.AddWorkbook("Plan.xlsx");
  EXPECT_EQ(excel::ToText(model.Application().GetObject("ActiveWorkbook").Get("Name")), "Plan.xlsx");
  model.CloseWorkbook("Plan.xlsx");
  EXPECT_FALSE(model.Application().GetObject("ActiveWorkbook"));
}

TEST_F(StandinModel, ErrorValueIsAFilledCellThatConvertsToNothing) {
  model.SetCellError(3, 1, 2042);
  const Object cell = Sheet().GetObject("cells", {3, 1});
  EXPECT_EQ(cell.Get("Value"), Value(excel::ErrorValue{2042}));
  EXPECT_EQ(FailureNumber([&] { excel::ToText(cell.Get("Value")); }), 13);
  // Excel's moves stop at it as at any filled cell.
  EXPECT_EQ(
      excel::ToLong(Sheet().GetObject("cells", {100, 1}).GetObject("end", {std::int16_t{-4162}}).Get("Row")),
      3);
}

TEST_F(StandinModel, TheWindowLeadsToTheVeryApplicationAndNamesItsWorkbook) {
  model.AddWorkbook("Other.xlsx");
  const Object window = model.WindowOf(model.Workbook("PLAN.XLSX"));
  EXPECT_EQ(excel::ToObject(window.Get("Application")), model.Application());
  EXPECT_EQ(excel::ToText(window.Get("Caption")), "Plan.xlsx");
  EXPECT_EQ(FailureNumber([&] { window.Get("Parent"); }), 438);
  model.CloseWorkbook("Plan.xlsx");
  EXPECT_EQ(FailureNumber([&] { window.Get("Caption"); }), kObjectDeleted);
  EXPECT_THROW(model.Workbook("Plan.xlsx"), std::logic_error);
}

// Excel turns every call away while busy, whichever object it is made on.
TEST_F(StandinModel, HwndAndTheWindowAreCountedTurnedAwayWhileBusyFailWhenArmedAndReadOnly) {
  EXPECT_EQ(model.Application().Get("Hwnd"), Value(0));
  // A handle with its top bit set travels as a negative Long.
  model.SetFrameHook([] { return -0x7FFEFFBC; });
  EXPECT_EQ(model.Application().Get("HWND"), Value(-0x7FFEFFBC));
  const Object window = model.WindowOf(model.Workbook("Plan.xlsx"));
  const struct {
    Object target;
    const char* member;
  } members[] = {{model.Application(), "Hwnd"}, {window, "Application"}, {window, "Caption"}};
  for (const auto& [target, member] : members) {
    SCOPED_TRACE(member);
    model.ResetCounters();
    EXPECT_EQ(FailureNumber([&] { target.Get(member); }), 0);
    model.SetBusy(true);
    EXPECT_EQ(FailureNumber([&] { target.Get(member); }), kCallRejected);
    model.SetBusy(false);
    model.FailCall(member, 1, Failure(70, "x"));
    EXPECT_EQ(FailureNumber([&] { target.Get(member); }), 70);
    EXPECT_EQ(FailureNumber([&] { target.Put(member, 1); }), 438);
    EXPECT_EQ(FailureNumber([&] { target.Get(member, {1}); }), WrongArgumentCount().Number());
    EXPECT_EQ(model.Calls(member), 5u);
  }
}

}  // namespace
}  // namespace quarnel::standin
