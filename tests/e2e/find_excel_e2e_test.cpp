// Which Excel a click works on: the one the user sees in front, found through its window, and the
// one in the running object table only when no window answers.

#include <gtest/gtest.h>

#include <string>

#include "common/win32/window_text.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/excel_windows.hpp"
#include "tests/e2e/fixture.hpp"

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
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        return done();
      },
      timeout, 20ms);
}

class FindExcelE2E : public QuarnelE2E {
 protected:
  static DWORD Pid(const Standin& standin) {
    return static_cast<DWORD>(excel::ToLong(standin.App().Get("StandinProcessId")));
  }
};

// The user clicks on `frame`, which comes to the top and takes the focus, then on the palette.
void PutInFront(HWND frame, Quarnel& q) {
  BringWindowToTop(frame);
  SetForegroundWindow(frame);
  EXPECT_TRUE(WaitFor([&] { return win32::ExcelMainWindows().front() == frame; }, 5s));
  SetForegroundWindow(q.Window());
}

// Two Excels, the second with two workbooks: each click lands in the workbook whose window is in
// front and brings that window forward again, with today's window per workbook titled
// "<workbook> - Excel" and with Excel 2010's one window titled "Microsoft Excel - <workbook>".
void ClickInTurn(FindExcelE2E& test, Quarnel& q, Standin& first, Standin& second, bool classic) {
  const std::string book = "演示.xlsx";
  EXPECT_EQ(ToUtf8(win32::WindowText(first.Window())),
            classic ? "Microsoft Excel - " + book : book + " - Excel");

  PutInFront(second.Window(), q);
  q.Click(kHideRow);
  test.ExpectDoneWithoutBox([&] { return second.RowHidden(3); }, "row 3 hidden in the Excel in front");
  EXPECT_FALSE(first.RowHidden(3));
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == second.Window(); }, 5s));

  // A new workbook in the first Excel, then its demo workbook put in front again.
  first.App().GetObject("Workbooks").Call("Add");
  if (classic) first.App().GetObject("Workbooks").GetObject("Item", {book}).Call("Activate");
  const HWND demo = classic ? first.Window() : first.Frame(book);
  PutInFront(demo, q);
  q.Click(kHideColumn);
  test.ExpectDoneWithoutBox([&] { return first.ColumnHidden(2); }, "column B hidden in the demo in front");
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == demo; }, 5s));
  EXPECT_FALSE(second.ColumnHidden(2));
  first.App().GetObject("Workbooks").GetObject("Item", {std::int32_t{2}}).Call("Activate");
  EXPECT_FALSE(first.ColumnHidden(2)) << "the new workbook was changed";
  EXPECT_EQ(Standin::Processes(), 2);
}

TEST_F(FindExcelE2E, AWindowPerWorkbookTheCommandLandsInTheOneInFrontAndBringsItForward) {
  Standin& first = StartDemo();
  Standin& second = LaunchStandin(L"/Demo");
  ASSERT_TRUE(first.App() && second.App());
  // Only the first is found in the running object table, as with Excel.
  EXPECT_EQ(RegisteredProcess(), Pid(first));
  ClickInTurn(*this, StartQuarnel(), first, second, false);
}

TEST_F(FindExcelE2E, OneWindowPerExcelTheCommandLandsInTheOneInFrontAndBringsItForward) {
  Standin& first = StartDemo();
  Standin& second = LaunchStandin(L"/Demo");
  ASSERT_TRUE(first.App() && second.App());
  for (Standin* standin : {&first, &second}) standin->App().Call("StandinClassicTitles", {true});
  ClickInTurn(*this, StartQuarnel(), first, second, true);
}

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

TEST_F(FindExcelE2E, AnInvisibleInstanceStartedByAutomationIsFoundThroughTheRunningObject) {
  win32::ComConnector connector;
  excel::Object app = connector.Start("Excel.Application");
  ASSERT_TRUE(app);
  standins_.reserve(4);
  standins_.emplace_back(app, Process::Open(static_cast<DWORD>(excel::ToLong(app.Get("StandinProcessId")))));
  ASSERT_FALSE(excel::ToBool(app.Get("Visible")));
  ASSERT_TRUE(win32::ExcelMainWindows().empty());
  Quarnel& q = StartQuarnel();

  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return standins_.back().RowHidden(1); },
                       "row 1 hidden in the automation's instance");
  EXPECT_TRUE(excel::ToBool(app.Get("Visible")));
  EXPECT_EQ(excel::ToLong(app.GetObject("Workbooks").Get("Count")), 1);
  EXPECT_EQ(Standin::Processes(), 1) << "a second Excel was started";
  // Found through no window, it is brought forward by the window it names.
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == standins_.back().Window(); }, 5s));
}

// An Excel 2010 found through no window and naming none is still brought forward by its title.
TEST_F(FindExcelE2E, AnExcelThatNamesNoWindowIsBroughtForwardByItsTitle) {
  win32::ComConnector connector;
  excel::Object app = connector.Start("Excel.Application");
  ASSERT_TRUE(app);
  standins_.reserve(4);
  standins_.emplace_back(app, Process::Open(static_cast<DWORD>(excel::ToLong(app.Get("StandinProcessId")))));
  app.Call("StandinClassicTitles", {true});
  app.Call("StandinFailCall", {std::string("Hwnd"), 1, 438, std::string("对象不支持该属性或方法"), true});
  Quarnel& q = StartQuarnel();

  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return standins_.back().RowHidden(1); }, "row 1 hidden");
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == standins_.back().Window(); }, 5s));
  EXPECT_EQ(ToUtf8(win32::WindowText(GetForegroundWindow())), "Microsoft Excel - Book1");
}

// Another program's window titled exactly as Excel's caption is never brought forward.
TEST_F(FindExcelE2E, AnotherProgramTitledLikeExcelIsNeverActivated) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QuarnelDecoy";
  RegisterClassW(&windowClass);
  const HWND decoy = CreateWindowExW(0, L"QuarnelDecoy", L"Microsoft Excel", WS_OVERLAPPEDWINDOW, 40, 40, 300,
                                     200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
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
  DestroyWindow(decoy);
}

}  // namespace
}  // namespace quarnel::e2e
