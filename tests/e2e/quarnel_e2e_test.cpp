// quarnel.exe beside the stand-in Excel, driven from outside through its window.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

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
  EXPECT_EQ(excel.HiddenView(), kDemoView);
  EXPECT_TRUE(q.Snapshots().empty());
}

// The last filled rows of column A hidden, which Excel's End passes over: recorded all the same,
// and hidden again by a restore onto a sheet with everything shown.
TEST_F(QuarnelE2E, HiddenLastFilledRowsAreRecordedAndRestored) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.App().GetObject("Range", {std::string("A31:A100")}).Put("Value", std::string("x"));
  excel.SetHidden("Rows", std::string("98:100"), true);

  const std::wstring snapshot = RecordOne();
  ASSERT_FALSE(snapshot.empty());
  const std::string written = q.ReadFile(snapshot);
  EXPECT_NE(written.find("\r\n97:97/False\r\n98:98/True\r\n99:99/True\r\n100:100/True\r\n1/False\r\n"),
            std::string::npos)
      << written;

  excel.App().GetObject("Rows").GetObject("EntireRow").Put("Hidden", false);
  excel.App().GetObject("Columns").GetObject("EntireColumn").Put("Hidden", false);
  ExpectDone(RestoreFrom(Beside(snapshot)));
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
  CheckAndClose(ExpectBox(), "Quarnel", "选定了“取消”。");
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  EXPECT_EQ(excel.HiddenView(), kDemoView);
  EXPECT_TRUE(q.Program().Running());
}

// Excel that cannot start is reported and the tool keeps running; once Excel can start, the same
// window starts it, visible with a new workbook.
TEST_F(QuarnelE2E, ExcelThatCannotStartIsReportedAndOnceItCanTheToolStartsIt) {
  ASSERT_EQ(Standin::Run(L"/UnregServer"), 0u);
  const RegisteredAgainAtEnd reregister;
  Quarnel& q = StartQuarnel();
  ExpectExcelCannotStart(kHideColumn);
  EXPECT_FALSE(Standin::Running());

  ASSERT_EQ(Standin::Run(L"/RegServer"), 0u);
  const std::optional<Standin> started = ExpectANewExcelToTakeTheNextHide(0);
  ASSERT_TRUE(started);
  q.Click(kHideColumn);
  ExpectDoneWithoutBox([&] { return started->ColumnHidden(1); }, "column A hidden");
}

TEST_F(QuarnelE2E, ExcelQuittingBetweenTwoClicksIsReplacedByANewOne) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(3); }, "row 3 hidden");
  const DWORD first = excel.ProgramProcess().Id();
  ASSERT_TRUE(excel.Quit());

  ExpectANewExcelToTakeTheNextHide(first);
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
