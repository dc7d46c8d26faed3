// quarnel.exe beside the stand-in Excel, driven from outside through its window.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/utf16.hpp"
#include "excel/win32/com.hpp"
#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

// Focus starts on order[0]; each Tab a person presses moves it to the next.
void ExpectTabOrder(const Quarnel& q, const std::vector<std::string>& order) {
  const DWORD thread = GetWindowThreadProcessId(q.Window(), nullptr);
  const auto focus = [thread] {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  };
  SetForegroundWindow(q.Window());
  WaitFor([&] { return focus() != nullptr; }, 5s);
  EXPECT_EQ(focus(), q.Control(order[0]));
  for (std::size_t i = 1; i < order.size(); ++i) {
    PostMessageW(focus(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(focus(), WM_KEYUP, VK_TAB, 0);
    EXPECT_TRUE(WaitFor([&] { return focus() == q.Control(order[i]); }, 5s)) << "Tab to " << order[i];
  }
}

TEST_F(QuarnelE2E, StartsTopmostAtItsPlaceWithItsTextsAndTabOrderAndTouchesNoExcel) {
  Quarnel& q = StartQuarnel();
  const HWND window = q.Window();
  ASSERT_NE(window, nullptr);

  std::array<wchar_t, 64> caption{};
  GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()));
  EXPECT_EQ(std::wstring(caption.data()), L"Quarnel");
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  // Centred across the screen, its bottom edge one window height above the screen's.
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  EXPECT_NEAR(frame.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, 1);
  EXPECT_NEAR(frame.top, GetSystemMetrics(SM_CYSCREEN) - 2 * height, 1);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 296);
  EXPECT_EQ(client.bottom, 61);

  // The texts, and the controls where a person sees them: two rows of four.
  const std::vector<std::pair<std::string, POINT>> cells = {
      {kHideRow, {8, 3}},    {kHideColumn, {80, 3}},    {kRecord, {152, 3}},   {"Text1", {224, 3}},
      {kUnhideRow, {8, 32}}, {kUnhideColumn, {80, 32}}, {kRestore, {152, 32}}, {kExit, {224, 32}}};
  for (const auto& [text, at] : cells) {
    const HWND control = q.Control(text);
    ASSERT_NE(control, nullptr) << text;
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, at.x) << text;
    EXPECT_EQ(r.top, at.y) << text;
    EXPECT_EQ(r.right - r.left, 65) << text;
    EXPECT_EQ(r.bottom - r.top, 25) << text;
  }
  EXPECT_EQ(q.Note(), " ");

  // Tab goes through the controls in their order, from Command1 where the focus starts.
  ExpectTabOrder(
      q, {kHideRow, kHideColumn, kRecord, kRestore, "Text1", kExit, kUnhideRow, kUnhideColumn, kHideRow});

  EXPECT_FALSE(Standin::Running()) << "starting the tool started Excel";
  SaveScreenshot(window, L"form1");
  q.Click(kExit);
  EXPECT_TRUE(q.Program().WaitExit(10s));
}

TEST_F(QuarnelE2E, TheFourVisibilityButtonsActOnTheSelectedCell) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.Select("D10");

  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(10); }, "row 10 hidden");
  q.Click(kHideColumn);
  ExpectDoneWithoutBox([&] { return excel.ColumnHidden(4); }, "column D hidden");
  SaveScreenshot(excel.Window(), L"standin-grid-after-hide");
  SaveScreenshot(nullptr, L"screen-after-hide");

  // The row above and the column to the left reveal what the hide buttons hid.
  excel.Select("C9");
  q.Click(kUnhideRow);
  ExpectDoneWithoutBox([&] { return !excel.RowHidden(10); }, "row 10 shown");
  q.Click(kUnhideColumn);
  ExpectDoneWithoutBox([&] { return !excel.ColumnHidden(4); }, "column D shown");

  // Nothing else moved: the demo's own hidden rows and column are as they were.
  for (int row : {5, 12, 13}) EXPECT_TRUE(excel.RowHidden(row)) << row;
  EXPECT_FALSE(excel.RowHidden(9));
  EXPECT_TRUE(excel.ColumnHidden(7));
  EXPECT_FALSE(excel.ColumnHidden(3));
  EXPECT_TRUE(q.Snapshots().empty());
}

// What the record writes for the demo with row 20 hidden too: rows 1 to 30, columns A to H.
std::string DemoSnapshotWithRow20Hidden() {
  std::string expected;
  for (int row = 1; row <= 30; ++row) {
    const bool hidden = row == 5 || row == 12 || row == 13 || row == 20;
    expected += std::to_string(row) + ":" + std::to_string(row) + (hidden ? "/True\r\n" : "/False\r\n");
  }
  for (int column = 1; column <= 8; ++column) {
    expected += std::to_string(column) + (column == 7 ? "/True\r\n" : "/False\r\n");
  }
  return expected;
}

// Also the tour that scripts/run takes where there is no display: hide a row, record, reveal
// it, restore.
TEST_F(QuarnelE2E, TourHideRecordRevealRestore) {
  ASSERT_NO_FATAL_FAILURE(RunFrom(kUsersFolder));
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.Select("B20");
  SaveScreenshot(q.Window(), L"palette");
  SaveScreenshot(excel.Window(), L"grid-before");
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(20); }, "row 20 hidden");
  SaveScreenshot(nullptr, L"tour-1-row-20-hidden");
  SaveScreenshot(excel.Window(), L"grid-after");

  q.TypeNote("月报");
  q.Click(kRecord);
  const std::wstring snapshot = ExpectOneSnapshot();
  ASSERT_FALSE(snapshot.empty());
  const std::string name = ToUtf8(snapshot);
  EXPECT_TRUE(name.starts_with("演示-行列状态_月报_")) << name;
  EXPECT_EQ(q.ReadFile(snapshot), DemoSnapshotWithRow20Hidden());
  SaveScreenshot(nullptr, L"tour-2-recorded");

  // Reveal row 20 and, by Excel's own hand, row 5; hide column B.
  excel.Select("B19");
  q.Click(kUnhideRow);
  ExpectDoneWithoutBox([&] { return !excel.RowHidden(20); }, "row 20 shown");
  excel.App().GetObject("Rows", {std::string("5:5")}).GetObject("EntireRow").Put("Hidden", false);
  excel.App().GetObject("Columns", {2}).GetObject("EntireColumn").Put("Hidden", true);
  SaveScreenshot(nullptr, L"tour-3-revealed");

  q.Click(kRestore);
  const Box dialog = ExpectDialog();
  // The dialog draws its controls a moment after it shows.
  std::this_thread::sleep_for(1s);
  SaveScreenshot(nullptr, L"tour-4-file-dialog");
  SaveScreenshot(dialog.window, L"file-dialog");
  ASSERT_TRUE(q.ChooseFile(dialog, q.Folder() + L"\\" + snapshot));
  const Box done = ExpectBox();
  EXPECT_EQ(done.title, "提示");
  EXPECT_EQ(done.text, "处理完毕!");
  SaveScreenshot(nullptr, L"tour-5-restored");
  SaveScreenshot(done.window, L"done");
  EXPECT_TRUE(q.CloseBox(done));

  for (int row = 1; row <= 30; ++row) {
    EXPECT_EQ(excel.RowHidden(row), row == 5 || row == 12 || row == 13 || row == 20) << row;
  }
  for (int column = 1; column <= 8; ++column) EXPECT_EQ(excel.ColumnHidden(column), column == 7) << column;
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  EXPECT_TRUE(q.Boxes().empty());
}

// The last filled rows of column A hidden, which Excel's End passes over: recorded all the same,
// and hidden again by a restore onto a sheet with everything shown.
TEST_F(QuarnelE2E, HiddenLastFilledRowsAreRecordedAndRestored) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.App().GetObject("Range", {std::string("A31:A100")}).Put("Value", std::string("x"));
  excel.App().GetObject("Rows", {std::string("98:100")}).GetObject("EntireRow").Put("Hidden", true);

  q.Click(kRecord);
  const std::wstring snapshot = ExpectOneSnapshot();
  ASSERT_FALSE(snapshot.empty());
  const std::string written = q.ReadFile(snapshot);
  EXPECT_NE(written.find("\r\n97:97/False\r\n98:98/True\r\n99:99/True\r\n100:100/True\r\n1/False\r\n"),
            std::string::npos)
      << written;

  excel.App().GetObject("Rows").GetObject("EntireRow").Put("Hidden", false);
  excel.App().GetObject("Columns").GetObject("EntireColumn").Put("Hidden", false);
  q.Click(kRestore);
  ASSERT_TRUE(q.ChooseFile(ExpectDialog(), q.Folder() + L"\\" + snapshot));
  const Box done = ExpectBox();
  EXPECT_EQ(done.text, "处理完毕!");
  EXPECT_TRUE(q.CloseBox(done));
  for (int row = 95; row <= 102; ++row) EXPECT_EQ(excel.RowHidden(row), row >= 98 && row <= 100) << row;
}

TEST_F(QuarnelE2E, ACancelledDialogChangesNothingAndSaysSo) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  q.Click(kRestore);
  const Box dialog = ExpectDialog();
  // Excel does not redraw while the dialog is open.
  EXPECT_FALSE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  ASSERT_TRUE(q.CancelDialog(dialog));
  const Box box = ExpectBox();
  EXPECT_EQ(box.title, "Quarnel");
  EXPECT_EQ(box.text, "选定了“取消”。");
  EXPECT_TRUE(q.CloseBox(box));
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  for (int row : {5, 12, 13}) EXPECT_TRUE(excel.RowHidden(row)) << row;
  EXPECT_TRUE(q.Program().Running());
}

TEST_F(QuarnelE2E, ABadLineStopsTheRestoreWhereItIs) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  ASSERT_TRUE(WriteBytes(q.Folder() + L"\\bad.txt", "2:2/True\r\n3/True\r\nno state here\r\n4:4/True\r\n"));
  q.Click(kRestore);
  ASSERT_TRUE(q.ChooseFile(ExpectDialog(), q.Folder() + L"\\bad.txt"));
  const Box box = ExpectBox();
  EXPECT_EQ(box.title, "Quarnel");
  EXPECT_EQ(box.text, "下标越界");
  EXPECT_TRUE(q.CloseBox(box));
  // The lines before the bad one are applied, none after it.
  EXPECT_TRUE(excel.RowHidden(2));
  EXPECT_TRUE(excel.ColumnHidden(3));
  EXPECT_FALSE(excel.RowHidden(4));
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  EXPECT_TRUE(q.Program().Running());
}

TEST_F(QuarnelE2E, ExcelNotRunningIsStartedVisibleWithANewWorkbook) {
  Quarnel& q = StartQuarnel();
  q.Click(kHideRow);
  std::optional<Standin> started = WaitForRunningStandin();
  EXPECT_TRUE(started);
  ASSERT_TRUE(started);
  ExpectDoneWithoutBox([&] { return started->RowHidden(1); }, "row 1 of the new workbook hidden");
  EXPECT_TRUE(excel::ToBool(started->App().Get("Visible")));
  EXPECT_EQ(excel::ToLong(started->App().GetObject("Workbooks").Get("Count")), 1);
  EXPECT_TRUE(IsWindowVisible(started->Window()));
}

TEST_F(QuarnelE2E, ExcelThatCannotStartIsReportedAndTheToolKeepsRunning) {
  ASSERT_EQ(Standin::Run(L"/UnregServer"), 0u);
  const RegisteredAgainAtEnd reregister;
  Quarnel& q = StartQuarnel();
  q.Click(kHideColumn);
  // The start's own failure, then the command's with empty handles.
  const Box start = ExpectBox();
  EXPECT_EQ(start.title, "Quarnel");
  EXPECT_FALSE(start.text.empty());
  std::cout << "[ no Excel ] " << start.text << "\n";
  EXPECT_TRUE(q.CloseBox(start));
  const Box command = ExpectBox();
  EXPECT_EQ(command.title, "Quarnel");
  EXPECT_TRUE(command.text.starts_with("运行时错误 '91':")) << command.text;
  EXPECT_TRUE(q.CloseBox(command));
  EXPECT_TRUE(q.Program().Running());
  EXPECT_FALSE(Standin::Running());

  // Once Excel can start again, the same window works.
  ASSERT_EQ(Standin::Run(L"/RegServer"), 0u);
  q.Click(kHideColumn);
  std::optional<Standin> started = WaitForRunningStandin();
  EXPECT_TRUE(started);
  ASSERT_TRUE(started);
  ExpectDoneWithoutBox([&] { return started->ColumnHidden(1); }, "column A hidden");
}

TEST_F(QuarnelE2E, ExcelQuittingBetweenTwoClicksIsReplacedByANewOne) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(3); }, "row 3 hidden");
  const DWORD first = excel.ProgramProcess().Id();
  ASSERT_TRUE(excel.Quit());

  const std::optional<Standin> next = ExpectANewExcelToTakeTheNextHide(first);
  ASSERT_TRUE(next);
  EXPECT_EQ(excel::ToText(next->App().GetObject("ActiveWorkbook").Get("Name")), "Book1");
}

TEST_F(QuarnelE2E, ExitByCommand5AndByTheCloseBoxLeavesExcelAsItIs) {
  Standin& excel = StartDemo();
  {
    Quarnel& q = StartQuarnel();
    q.Click(kHideRow);
    ExpectDoneWithoutBox([&] { return excel.RowHidden(3); }, "row 3 hidden");
    q.Click(kExit);
    EXPECT_TRUE(q.Program().WaitExit(10s));
    EXPECT_EQ(q.Program().ExitCode(), 0u);
    EXPECT_TRUE(q.Snapshots().empty());
  }
  {
    Quarnel& q = StartQuarnel();
    excel.Select("C4");
    q.Click(kHideColumn);
    ExpectDoneWithoutBox([&] { return excel.ColumnHidden(3); }, "column C hidden");
    PostMessageW(q.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(q.Program().WaitExit(10s));
    EXPECT_EQ(q.Program().ExitCode(), 0u);
  }
  ASSERT_TRUE(excel.ProgramProcess().Running());
  EXPECT_TRUE(excel.RowHidden(3));
  EXPECT_TRUE(excel.ColumnHidden(3));
  EXPECT_EQ(excel::ToLong(excel.App().GetObject("Workbooks").Get("Count")), 1);
  EXPECT_TRUE(excel::ToBool(excel.App().Get("Visible")));
}

}  // namespace
}  // namespace quarnel::e2e
