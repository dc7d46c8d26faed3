// Which Excel a click works on: the one the user sees in front, found through its window, and the
// one in the running object table only when no window answers.

#include <gtest/gtest.h>

#include <string>

#include "excel/win32/connector.hpp"
#include "excel/win32/excel_windows.hpp"
#include "tests/e2e/fixture.hpp"
//
#include <tlhelp32.h>

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

int StandinProcesses() {
  const win32::OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return -1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry))
    count += _wcsicmp(entry.szExeFile, L"excel_standin.exe") == 0 ? 1 : 0;
  return count;
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
  Standin& Launch(const std::wstring& switches) {
    standins_.reserve(4);
    standins_.push_back(Standin::Launch(switches));
    EXPECT_TRUE(standins_.back().App()) << "the stand-in was not found running";
    return standins_.back();
  }
  static DWORD Pid(const Standin& standin) {
    return static_cast<DWORD>(excel::ToLong(standin.App().Get("StandinProcessId")));
  }
};

TEST_F(FindExcelE2E, TwoInstancesTheCommandLandsInTheOneInFrontAndBringsThatOneForward) {
  Standin& first = StartDemo();
  Standin& second = Launch(L"/Demo");
  ASSERT_TRUE(first.App() && second.App());
  // Only the first is found in the running object table, as with Excel.
  EXPECT_EQ(RegisteredProcess(), Pid(first));
  // The first's window title equals the second's caption: without a preference the exact title
  // would win and bring the first forward.
  second.App().Put("Caption", std::string("Microsoft Excel - 演示.xlsx"));
  Quarnel& q = StartQuarnel();
  SetForegroundWindow(second.Window());
  ASSERT_TRUE(WaitFor([&] { return win32::ExcelMainWindows().front() == second.Window(); }, 5s));
  SetForegroundWindow(q.Window());  // the user clicks on the palette

  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return second.RowHidden(3); }, "row 3 hidden in the instance in front");
  EXPECT_FALSE(first.RowHidden(3));
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == second.Window(); }, 5s))
      << "the instance in front was not the one activated";
  EXPECT_EQ(StandinProcesses(), 2);
}

TEST_F(FindExcelE2E, AJustStartedExcelNotYetRegisteredIsFoundAndNoSecondOneStarts) {
  Quarnel& q = StartQuarnel();
  Standin& excel = Launch(L"/LateRegister");
  ASSERT_TRUE(excel.App());
  ASSERT_EQ(RegisteredProcess(), 0u) << "registered before it ever lost the focus";
  excel.Select("C2");

  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(2); }, "row 2 hidden in the just-started instance");
  EXPECT_EQ(StandinProcesses(), 1) << "a second Excel was started";
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
  EXPECT_EQ(StandinProcesses(), 1) << "a second Excel was started";
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
