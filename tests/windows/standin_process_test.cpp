#include "standin_process.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "excel/win32/com.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/dispatch.hpp"
#include "excel/win32/excel_windows.hpp"
#include "failure_of.hpp"
#include "standin/server/dispids.hpp"
#include "standin_raw_call.hpp"
#include "support/failure_number.hpp"
#include "test_window.hpp"

namespace quarnel::standin::server {
namespace {

using quarnel::test_support::FailureNumber;
using quarnel::test_support::Process;

using excel::Object;
using excel::Value;
using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST_F(StandinProcess, StartedByComItIsInvisibleEmptyAndKeepsWhatItIsTold) {
  const Object app = connector.Start("Excel.Application");
  Follow(app);
  EXPECT_FALSE(excel::ToBool(app.Get("Visible")));
  EXPECT_EQ(excel::ToLong(app.GetObject("Workbooks").Get("Count")), 0);
  EXPECT_FALSE(excel::ToObject(app.Get("ActiveWorkbook")));
  EXPECT_FALSE(IsWindowVisible(WindowFrom(app.Get("StandinWindow"))));

  const Object book = excel::ToObject(app.GetObject("Workbooks").Call("Add"));
  app.GetObject("Range", {std::string("A1:A5")}).Put("Value", std::string("数据"));
  EXPECT_EQ(excel::ToText(app.GetObject("Range", {std::string("A3")}).Get("Value")), "数据");
  EXPECT_EQ(app.GetObject("cells", {6, 1}).Get("Value"), Value());

  const Object sheet = book.GetObject("ActiveSheet");
  sheet.GetObject("Rows", {std::string("3:3")}).GetObject("EntireRow").Put("Hidden", true);
  EXPECT_TRUE(
      excel::ToBool(sheet.GetObject("Rows", {std::string("3:3")}).GetObject("EntireRow").Get("Hidden")));
  EXPECT_TRUE(excel::ToBool(app.Call("StandinIsRowHidden", {3})));
  EXPECT_FALSE(excel::ToBool(app.Call("StandinIsRowHidden", {4})));

  app.Put("Visible", true);
  const HWND window = WindowFrom(app.Get("StandinWindow"));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(win32::FindExcelWindow(L"Book1 - Excel"), window);

  // As Excel's, its DISPIDs are the same in every instance, whatever each was asked first: a client
  // keeps them from one Excel to the next. This process numbered other names first.
  IDispatch* raw = dynamic_cast<const win32::DispatchClient&>(*app.Get()).Raw();
  for (const wchar_t* member : {L"Selection", L"ScreenUpdating", L"Hwnd"}) {
    EXPECT_EQ(IdOf(raw, member), DispIdOf(win32::ToUtf8(member)));
  }

  QuitAndExpectTheEnd(app);
}

TEST_F(StandinProcess, EachKindOfBusyReachesTheClientAsExcelAnswersIt) {
  const Object app = connector.Start("Excel.Application");
  Follow(app);
  IDispatch* raw = RawOf(app);
  const DISPID caption = IdOf(raw, L"Caption");
  constexpr auto kIgnore = static_cast<HRESULT>(0x800AC472);
  struct Case {
    int kind;
    HRESULT answer;  // of GetIDsOfNames, and of Invoke but for kind 4
  };
  for (const Case c : {Case{1, RPC_E_CALL_REJECTED}, Case{2, RPC_E_SERVERCALL_RETRYLATER}, Case{3, kIgnore},
                       Case{4, S_OK}}) {
    SCOPED_TRACE(c.kind);
    app.Call("StandinSetBusy", {c.kind});
    EXPECT_EQ(NameAnswer(raw, L"Visible"), c.answer);
    const auto answer = RawCall(raw, caption, DISPATCH_PROPERTYGET);
    if (c.kind == 4) {
      EXPECT_EQ(answer->hr, DISP_E_EXCEPTION);
      EXPECT_EQ(answer->info.Get().scode, kIgnore);
      EXPECT_EQ(answer->info.Get().pfnDeferredFillIn, nullptr);
    } else {
      EXPECT_EQ(answer->hr, c.answer);
    }
  }
  app.Call("StandinSetBusy", {false});

  // A spell of busy ends by itself; a busy from the nth call starts by itself.
  app.Call("StandinBusyFor", {2, 300});
  EXPECT_EQ(RawCall(raw, caption, DISPATCH_PROPERTYGET)->hr, RPC_E_SERVERCALL_RETRYLATER);
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(RawCall(raw, caption, DISPATCH_PROPERTYGET)->hr, S_OK);
  app.Call("StandinBusyAtCall", {std::string("Caption"), 2, 3, 300});
  EXPECT_EQ(RawCall(raw, caption, DISPATCH_PROPERTYGET)->hr, S_OK);
  EXPECT_EQ(RawCall(raw, caption, DISPATCH_PROPERTYGET)->hr, kIgnore);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinSetBusy", {5}); }), 1004);

  // A lasting fault fails every call from the nth on.
  app.Call("StandinFailCall", {std::string("Name"), 2, 1004, std::string("x"), true});
  app.GetObject("Workbooks").Call("Add");
  const Object book = app.GetObject("ActiveWorkbook");
  for (const int number : {0, 1004, 1004}) EXPECT_EQ(FailureNumber([&] { book.Get("Name"); }), number);
  QuitAndExpectTheEnd(app);
}

TEST_F(StandinProcess, FailuresAndBusyAnswersCrossTheProcessBoundary) {
  const Object app = connector.Start("Excel.Application");
  Follow(app);
  app.GetObject("Workbooks").Call("Add");

  const Failure columns = test_support::FailureOf([&] { app.GetObject("Columns", {0}); });
  EXPECT_EQ(columns.Number(), 1004);
  EXPECT_EQ(columns.Description(), kApplicationDefinedText);
  app.Call("StandinFailCall", {std::string("Row"), 1, 70, std::string("拒绝的权限")});
  const Failure row = test_support::FailureOf([&] { app.GetObject("Selection").Get("Row"); });
  EXPECT_EQ(row.Number(), 70);
  EXPECT_EQ(row.Description(), "拒绝的权限");

  // Busy: the client retries until its deadline, then gives up with the rejection.
  app.Call("StandinSetBusy", {true});
  const Object impatient = win32::WrapDispatch(RawOf(app), win32::BusyRetry{300ms, 20ms});
  const auto start = Clock::now();
  EXPECT_EQ(FailureNumber([&] { impatient.Get("Caption"); }), static_cast<std::int32_t>(RPC_E_CALL_REJECTED));
  EXPECT_GE(Clock::now() - start, 300ms);
  app.Call("StandinSetBusy", {false});
  EXPECT_EQ(excel::ToText(impatient.Get("Caption")), "Microsoft Excel");

  // Each raw call is one round trip; the cost goes into the test's output.
  IDispatch* target = RawOf(app);
  app.Call("StandinResetCounters");
  constexpr int kCalls = 200;
  auto begin = Clock::now();
  for (int i = 0; i < kCalls; ++i) RawCall(target, IdOf(target, L"Caption"), DISPATCH_PROPERTYGET);
  const auto lookedUp = Clock::now() - begin;
  EXPECT_EQ(excel::ToText(app.Get("StandinCounters")),
            "getidsofnames=" + std::to_string(kCalls) + ";invoke=" + std::to_string(kCalls));
  const DISPID caption = IdOf(target, L"Caption");
  begin = Clock::now();
  for (int i = 0; i < kCalls; ++i) RawCall(target, caption, DISPATCH_PROPERTYGET);
  const auto invokeOnly = Clock::now() - begin;
  const auto micros = [](auto d) {
    return std::chrono::duration_cast<std::chrono::microseconds>(d).count() / kCalls;
  };
  std::cout << "[ stand-in ] one cross-process Invoke: " << micros(invokeOnly)
            << " us; GetIDsOfNames then Invoke: " << micros(lookedUp) << " us\n";
  RecordProperty("invoke_us", static_cast<int>(micros(invokeOnly)));

  QuitAndExpectTheEnd(app);
}

TEST_F(StandinProcess, TheDemoIsFoundRunningWithItsWorkbookOnScreen) {
  process_ = Launch(L"/Demo");
  ASSERT_TRUE(process_);
  Object app;
  // Not in the running object table at first.
  ASSERT_TRUE(Eventually(
      [&] { return !FailureNumber([&] { app = connector.GetRunning("Excel.Application"); }); }, 15s));
  EXPECT_EQ(excel::ToText(app.GetObject("ActiveWorkbook").Get("Name")), "演示.xlsx");
  EXPECT_TRUE(excel::ToBool(app.Get("Visible")));
  Object selection = app.GetObject("Selection");
  EXPECT_EQ(excel::ToLong(selection.Get("Row")), 3);
  EXPECT_EQ(excel::ToLong(selection.Get("Column")), 2);
  Object sheet = app.GetObject("ActiveSheet");
  EXPECT_EQ(excel::ToLong(sheet.GetObject("cells", {65536, 1}).GetObject("end", {-4162}).Get("Row")), 30);
  EXPECT_EQ(excel::ToLong(sheet.GetObject("cells", {1, 256}).GetObject("end", {-4159}).Get("Column")), 8);
  for (int row : {5, 12, 13}) EXPECT_TRUE(excel::ToBool(app.Call("StandinIsRowHidden", {row}))) << row;
  EXPECT_FALSE(excel::ToBool(app.Call("StandinIsRowHidden", {11})));
  EXPECT_TRUE(excel::ToBool(app.Call("StandinIsColumnHidden", {7})));

  const HWND window = WindowFrom(app.Get("StandinWindow"));
  EXPECT_EQ(win32::FindExcelWindow(L"演示.xlsx - Excel"), window);
  EXPECT_TRUE(IsWindowVisible(window));

  // A person drags from B3 to D6 in the workbook window and then clicks row 7's number. Row 5 is
  // hidden, so row 6 is the fifth row on screen; rows are 22 pixels high under a 22-pixel header,
  // columns 80 wide right of a 48-pixel one.
  const HWND grid = FindWindowExW(FindWindowExW(window, nullptr, win32::kExcelDeskClass, nullptr), nullptr,
                                  win32::kExcelBookClass, nullptr);
  ASSERT_NE(grid, nullptr);
  const auto at = [](int x, int y) { return static_cast<LPARAM>(MAKELONG(x, y)); };
  SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at(48 + 80 + 20, 22 + 2 * 22 + 5));
  SendMessageW(grid, WM_MOUSEMOVE, MK_LBUTTON, at(48 + 3 * 80 + 20, 22 + 4 * 22 + 5));
  SendMessageW(grid, WM_LBUTTONUP, 0, at(48 + 3 * 80 + 20, 22 + 4 * 22 + 5));
  EXPECT_EQ(excel::ToText(app.GetObject("Selection").Get("Address")), "$B$3:$D$6");
  SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 22 + 5 * 22 + 5));
  SendMessageW(grid, WM_LBUTTONUP, 0, at(10, 22 + 5 * 22 + 5));
  EXPECT_EQ(excel::ToText(app.GetObject("Selection").Get("Address")), "$7:$7");

  CloseWhileHeldAndExpectTheEndOnceLetGo(window, {&app, &selection, &sheet});
}

// As Excel: the workbook window hands out its Window object across processes at once, while the
// running object table learns of the application only when the main window first loses the focus.
TEST_F(StandinProcess, TheWorkbookWindowLeadsToTheApplicationBeforeItIsRegistered) {
  process_ = Launch(L"/LateRegister");
  ASSERT_TRUE(process_);
  std::vector<HWND> frames;
  ASSERT_TRUE(Eventually([&] { return !(frames = Frames()).empty(); }, 15s));
  const HWND main = frames.front();
  const ComPtr<IDispatch> window = win32::NativeWindowObject(main, 5s).object;
  ASSERT_NE(window, nullptr);
  const Object windowObject = win32::WrapDispatch(window.Get());
  EXPECT_EQ(excel::ToText(windowObject.Get("Caption")), "Book1");
  const Object app = windowObject.GetObject("Application");
  EXPECT_EQ(static_cast<DWORD>(excel::ToLong(app.Get("StandinProcessId"))), process_.Id());
  EXPECT_EQ(FailureNumber([&] { windowObject.Get("Parent"); }), 438);

  EXPECT_EQ(RunningObjectAnswer(), MK_E_UNAVAILABLE);

  // Another window takes the focus.
  const test_support::TestWindow other(L"STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, L"other");
  SetForegroundWindow(main);
  SetForegroundWindow(other.Get());
  EXPECT_TRUE(Eventually([&] { return RunningObjectAnswer() == S_OK; }, 10s));

  QuitAndExpectTheEnd(app);
}

}  // namespace
}  // namespace quarnel::standin::server
