// Excel refusing what a command asks, as a real Excel on a real desk does: the user reads why,
// the tool goes on, nothing changes that should not, and no snapshot is left half written.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

constexpr char kNotSupported[] = "对象不支持该属性或方法";
constexpr char kHiddenRefused[] = "不能设置类 Range 的 Hidden 属性";
constexpr char kNothingSet[] = "对象变量或 With 块变量未设置";

class RefusalsE2E : public QuarnelE2E {
 protected:
  // Closes `box`, which should be the one up, after checking what it says; a message box's line
  // ends are read back as the window system keeps them.
  void ExpectBoxSaying(const std::string& text, const Box& box) {
    std::string seen;
    for (char c : box.text) {
      if (c != '\r') seen += c;
    }
    std::cout << "[ box ] " << seen << "\n";
    EXPECT_EQ(box.title, "Quarnel");
    EXPECT_EQ(seen, text);
    EXPECT_TRUE(quarnel_->CloseBox(box));
    EXPECT_TRUE(quarnel_->Idle()) << "the tool did not come back after the box";
    EXPECT_TRUE(quarnel_->Program().Running());
  }
  void ExpectBoxSaying(const std::string& text) { ExpectBoxSaying(text, ExpectBox()); }
  void ExpectRunTimeError(std::int32_t number, const std::string& description) {
    ExpectBoxSaying("运行时错误 '" + std::to_string(number) + "':\n\n" + description);
  }

  // A snapshot-like file for the restore to pick, in the tool's folder.
  std::wstring PutFile(const std::string& content) {
    const std::wstring path = Beside(L"保存的状态.txt");
    EXPECT_TRUE(WriteBytes(path, content));
    return path;
  }

  // The demo's rows 5, 12, 13 and column G hidden, nothing else among the first rows and columns.
  static void ExpectDemoAsItWas(const Standin& excel) {
    EXPECT_EQ(excel.HiddenView(), kDemoView);
    EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  }
};

TEST_F(RefusalsE2E, AProtectedSheetRefusesEveryChangeYetRecords) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.App().Call("StandinProtectSheet", {true});
  excel.Select("D10");
  q.Click(kHideRow);
  ExpectRunTimeError(1004, kHiddenRefused);
  q.Click(kUnhideColumn);
  ExpectRunTimeError(1004, kHiddenRefused);
  ExpectBoxSaying(kHiddenRefused, RestoreFrom(PutFile("5:5/False\r\n10:10/True\r\n")));
  ExpectDemoAsItWas(excel);

  // Reading is allowed: the record command works as on any sheet.
  q.Click(kRecord);
  const auto complete = [&] {
    const auto files = quarnel_->FilesBeside();
    return files.size() == 2 &&
           std::ranges::all_of(files, [](const auto& name) { return name.ends_with(L".txt"); });
  };
  ExpectDoneWithoutBox(complete, "a whole snapshot beside the picked file");
}

TEST_F(RefusalsE2E, AChartSheetOrASelectedShapeStopsEachCommandBeforeAnyChange) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.App().Call("StandinAddChartSheet");
  for (const char* button : {kHideRow, kHideColumn, kRecord}) {
    q.Click(button);
    ExpectRunTimeError(438, kNotSupported);
  }
  EXPECT_TRUE(quarnel_->FilesBeside().empty());
  ExpectBoxSaying(kNotSupported, RestoreFrom(PutFile("1:1/True\r\n")));

  excel.App()
      .GetObject("ActiveWorkbook")
      .GetObject("Sheets")
      .GetObject("Item", {std::string("Sheet1")})
      .Call("Activate");
  excel.App().Call("StandinSelectShape");
  for (const char* button : {kUnhideRow, kUnhideColumn}) {
    q.Click(button);
    ExpectRunTimeError(438, kNotSupported);
  }
  ExpectDemoAsItWas(excel);
  EXPECT_EQ(quarnel_->FilesBeside().size(), 1u);
}

// The personal macro workbook stays open after the user closes the last workbook of their own.
TEST_F(RefusalsE2E, WithOnlyAHiddenWorkbookOpenNothingIsAddedOrChanged) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(3); }, "row 3 hidden while the demo is in front");
  excel.App().Call("StandinAddHiddenWorkbook");
  excel.App().GetObject("ActiveWorkbook").Call("Close");

  q.Click(kHideColumn);
  ExpectRunTimeError(91, kNothingSet);
  q.Click(kRecord);
  ExpectRunTimeError(91, kNothingSet);
  EXPECT_TRUE(quarnel_->FilesBeside().empty());
  // No sheet of a workbook the user does not see is touched: the command meets no sheet at all.
  CheckAndClose(RestoreFrom(PutFile("2:2/True\r\n")), "Quarnel", kNothingSet);
  EXPECT_TRUE(q.Program().Running());
  EXPECT_EQ(excel::ToLong(excel.App().GetObject("Workbooks").Get("Count")), 1);
  EXPECT_FALSE(excel.App().GetObject("ActiveWorkbook"));
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
}

TEST_F(RefusalsE2E, ErrorValuesCountAsFilledCells) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.App().Call("StandinSetCellError", {1, 256, 2042});  // #N/A in IV1
  excel.App().Call("StandinSetCellError", {40, 1, 2007});   // #DIV/0! below the demo's data
  EXPECT_EQ(excel.App().GetObject("cells", {40, 1}).Get("Value"), excel::Value(excel::ErrorValue{2007}));
  const std::wstring snapshot = RecordOne();
  ASSERT_FALSE(snapshot.empty());
  const std::string content = q.ReadFile(snapshot);
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 40 + 256);
  EXPECT_NE(content.find("\r\n40:40/False\r\n1/False\r\n"), std::string::npos);
  EXPECT_NE(content.find("\r\n7/True\r\n8/False\r\n"), std::string::npos);
  EXPECT_TRUE(content.ends_with("\r\n256/False\r\n"));
}

TEST_F(RefusalsE2E, ExcelClosedDuringARecordLeavesNoSnapshotAndTheNextClickAttachesAnew) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  const DWORD first = excel.ProgramProcess().Id();
  excel.App().Call("StandinQuitAtCall", {std::string("Hidden"), 5});
  q.Click(kRecord);
  CheckAndClose(ExpectBox(), "Quarnel", "运行时错误 '-2147417848':\n\n对象调用者已与其客户端断开连接。");
  EXPECT_TRUE(excel.ProgramProcess().WaitExit(15s));
  EXPECT_TRUE(quarnel_->FilesBeside().empty());
  EXPECT_TRUE(q.Program().Running());

  ExpectANewExcelToTakeTheNextHide(first);
}

}  // namespace
}  // namespace quarnel::e2e
