// Which Excel a click works on: the one the user sees in front, found through its window, and the
// one in the running object table only when no window answers.

#include <gtest/gtest.h>

#include <string>

#include "common/win32/window_text.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/excel_windows.hpp"
#include "tests/e2e/fixture.hpp"
#include "tests/windows/test_window.hpp"

namespace quarnel::e2e {
namespace {

// The stand-in's process id as COM's running object table knows it; 0 when nothing is registered.
DWORD RegisteredProcess() {
  CLSID clsid{};
  Microsoft::WRL::ComPtr<IUnknown> running;
  if (FAILED(CLSIDFromProgID(L"Excel.Application", &clsid)) ||
      FAILED(GetActiveObject(clsid, nullptr, &running)))
    return 0;
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  if (FAILED(running.As(&dispatch))) return 0;
  return static_cast<DWORD>(excel::ToLong(win32::WrapDispatch(dispatch.Get()).Get("StandinProcessId")));
}

// Runs the test thread's own windows while it waits.
bool PumpUntil(const std::function<bool()>& done, Millis timeout) {
  return WaitFor(
      [&] {
        test_support::PumpMessages();
        return done();
      },
      timeout, 20ms);
}

class FindExcelE2E : public QuarnelE2E {
 protected:
  static DWORD Pid(const excel::Object& app) {
    return static_cast<DWORD>(excel::ToLong(app.Get("StandinProcessId")));
  }

  // An instance started by automation, as another program starts one: invisible, no workbook.
  Standin& StartByAutomation() {
    win32::ComConnector connector;
    excel::Object app = connector.Start("Excel.Application");
    EXPECT_TRUE(app);
    standins_.reserve(4);
    return standins_.emplace_back(app, Process::Open(app ? Pid(app) : 0));
  }
};

// Two Excels, the second with two workbooks, with today's window per workbook titled
// "<workbook> - Excel" (false) or with Excel 2010's one window titled "Microsoft Excel - <workbook>".
class TwoExcelsE2E : public FindExcelE2E, public ::testing::WithParamInterface<bool> {};
class StartedByAutomationE2E : public FindExcelE2E, public ::testing::WithParamInterface<bool> {};

// The user clicks on `frame`, which comes to the top and takes the focus, then on the palette.
void PutInFront(HWND frame, Quarnel& q) {
  BringWindowToTop(frame);
  SetForegroundWindow(frame);
  EXPECT_TRUE(WaitFor([&] { return win32::ExcelMainWindows().front() == frame; }, 5s));
  SetForegroundWindow(q.Window());
}

// Each click lands in the workbook whose window is in front and brings that window forward again.
TEST_P(TwoExcelsE2E, TheCommandLandsInTheWorkbookInFrontAndBringsItForward) {
  const bool classic = GetParam();
  Standin& first = StartDemo();
  Standin& second = LaunchStandin(L"/Demo");
  ASSERT_TRUE(first.App() && second.App());
  // Only the first is found in the running object table, as with Excel.
  EXPECT_EQ(RegisteredProcess(), Pid(first.App()));
  if (classic) {
    for (Standin* standin : {&first, &second}) standin->App().Call("StandinClassicTitles", {true});
  }
  Quarnel& q = StartQuarnel();
  const std::string book = "演示.xlsx";
  EXPECT_EQ(ToUtf8(win32::WindowText(first.Window())),
            classic ? "Microsoft Excel - " + book : book + " - Excel");

  PutInFront(second.Window(), q);
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return second.RowHidden(3); }, "row 3 hidden in the Excel in front");
  EXPECT_FALSE(first.RowHidden(3));
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == second.Window(); }, 5s));

  // A new workbook in the first Excel, then its demo workbook put in front again.
  first.App().GetObject("Workbooks").Call("Add");
  if (classic) first.App().GetObject("Workbooks").GetObject("Item", {book}).Call("Activate");
  const HWND demo = classic ? first.Window() : first.Frame(book);
  PutInFront(demo, q);
  q.Click(kHideColumn);
  ExpectDoneWithoutBox([&] { return first.ColumnHidden(2); }, "column B hidden in the demo in front");
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == demo; }, 5s));
  EXPECT_FALSE(second.ColumnHidden(2));
  first.App().GetObject("Workbooks").GetObject("Item", {std::int32_t{2}}).Call("Activate");
  EXPECT_FALSE(first.ColumnHidden(2)) << "the new workbook was changed";
  EXPECT_EQ(Standin::Processes(), 2);
}
INSTANTIATE_TEST_SUITE_P(WindowPerWorkbookOrPerExcel, TwoExcelsE2E, ::testing::Bool());

TEST_F(FindExcelE2E, AJustStartedExcelNotYetRegisteredIsFoundAndNoSecondOneStarts) {
  Quarnel& q = StartQuarnel();
  Standin& excel = LaunchStandin(L"/LateRegister");
  ASSERT_TRUE(excel.App());
  ASSERT_EQ(RegisteredProcess(), 0u) << "registered before it ever lost the focus";
  excel.Select("C2");

  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(2); }, "row 2 hidden in the just-started instance");
  EXPECT_EQ(Standin::Processes(), 1) << "a second Excel was started";
  EXPECT_EQ(RegisteredProcess(), 0u);
}

// An invisible instance started by automation is found through the running object, made
// visible, and brought forward by the window it names; an Excel 2010 (true) that names none, by
// its title.
TEST_P(StartedByAutomationE2E, IsFoundThroughTheRunningObjectAndBroughtForward) {
  const bool namesNoWindow = GetParam();
  Standin& excel = StartByAutomation();
  const excel::Object app = excel.App();
  ASSERT_TRUE(app);
  ASSERT_FALSE(excel::ToBool(app.Get("Visible")));
  ASSERT_TRUE(win32::ExcelMainWindows().empty());
  if (namesNoWindow) {
    app.Call("StandinClassicTitles", {true});
    app.Call("StandinFailCall", {std::string("Hwnd"), 1, 438, std::string("对象不支持该属性或方法"), true});
  }
  Quarnel& q = StartQuarnel();

  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(1); }, "row 1 hidden in the automation's instance");
  EXPECT_TRUE(excel::ToBool(app.Get("Visible")));
  EXPECT_EQ(excel::ToLong(app.GetObject("Workbooks").Get("Count")), 1);
  EXPECT_EQ(Standin::Processes(), 1) << "a second Excel was started";
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == excel.Window(); }, 5s));
  if (namesNoWindow) {
    EXPECT_EQ(ToUtf8(win32::WindowText(GetForegroundWindow())), "Microsoft Excel - Book1");
  }
}
INSTANTIATE_TEST_SUITE_P(NamingItsWindowOrNot, StartedByAutomationE2E, ::testing::Bool());

// Another program's window titled exactly as Excel's caption is never brought forward.
TEST_F(FindExcelE2E, AnotherProgramTitledLikeExcelIsNeverActivated) {
  const test_support::TestWindow window(L"QuarnelDecoy", WS_OVERLAPPEDWINDOW, DefWindowProcW,
                                        L"Microsoft Excel");
  const HWND decoy = window.Get();
  ASSERT_NE(decoy, nullptr);
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  ShowWindow(decoy, SW_SHOWNORMAL);
  SetForegroundWindow(decoy);
  PumpUntil([&] { return GetForegroundWindow() == decoy; }, 5s);

  q.Click(kHideRow);
  EXPECT_TRUE(PumpUntil([&] { return excel.RowHidden(3); }, 20s));
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == excel.Window(); }, 5s));
  EXPECT_NE(GetForegroundWindow(), decoy);
}

}  // namespace
}  // namespace quarnel::e2e
