#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/win32/window_text.hpp"
#include "excel/win32/dispatch.hpp"
#include "standin_process.hpp"
#include "standin_raw_call.hpp"
#include "test_window.hpp"

namespace quarnel::standin::server {
namespace {

using excel::Object;
using excel::Value;
using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Excel's windows as Excel 2013 and later draw them, followed from outside the stand-in.

HWND BookWindowOf(HWND frame) {
  const HWND desk = FindWindowExW(frame, nullptr, win32::kExcelDeskClass, nullptr);
  return desk ? FindWindowExW(desk, nullptr, win32::kExcelBookClass, nullptr) : nullptr;
}

// The steps of one walk through Excel's windows, each leaving the stand-in for the next.
class StandinFrames : public StandinProcess {
 protected:
  // Visible with no workbook: one empty frame that leads to no Excel.
  void ShowsOneEmptyFrame() {
    app = connector.Start("Excel.Application");
    Follow(app);
    EXPECT_TRUE(Frames().empty());
    app.Put("Visible", true);
    ASSERT_EQ(Frames().size(), 1u);
    empty = Frames().front();
    EXPECT_EQ(win32::WindowText(empty), L"Excel");
    EXPECT_NE(FindWindowExW(empty, nullptr, win32::kExcelDeskClass, nullptr), nullptr);
    EXPECT_EQ(BookWindowOf(empty), nullptr);
    EXPECT_EQ(WindowFrom(app.Get("Hwnd")), empty);
  }

  void GivesEachShownWorkbookAFrame() {
    book1 = excel::ToObject(app.GetObject("Workbooks").Call("Add"));
    app.GetObject("Workbooks").Call("Add");
    first = WindowFrom(app.Call("StandinFrame", {std::string("Book1")}));
    second = WindowFrom(app.Call("StandinFrame", {std::string("book2")}));
    EXPECT_EQ(Frames(), (std::vector<HWND>{second, first}));
    EXPECT_EQ(win32::WindowText(first), L"Book1 - Excel");
    EXPECT_EQ(win32::WindowText(second), L"Book2 - Excel");
    EXPECT_EQ(first, empty) << "the empty frame did not take the first workbook";
    EXPECT_EQ(WindowFrom(app.Get("Hwnd")), second);
    // A workbook with its window hidden has none.
    app.Call("StandinAddHiddenWorkbook");
    EXPECT_EQ(app.Call("StandinFrame", {std::string("PERSONAL.XLSB")}), Value(0));
    EXPECT_EQ(Frames().size(), 2u);
  }

  // Through automation the active workbook's frame comes in front of the others, the focus left
  // with the program the user works in; once Excel has the focus, it follows the active workbook.
  void KeepsTheActiveWorkbooksFrameInFront() {
    const test_support::TestWindow owned(L"STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, L"other");
    const HWND other = owned.Get();
    SetForegroundWindow(other);
    EXPECT_TRUE(Eventually([&] { return GetForegroundWindow() == other; }));
    book1.Call("Activate");
    EXPECT_EQ(Frames().front(), first);
    EXPECT_EQ(WindowFrom(app.Get("Hwnd")), first);
    EXPECT_EQ(GetForegroundWindow(), other);
    // A person activates the other frame: its workbook comes to the front.
    SetForegroundWindow(second);
    EXPECT_TRUE(
        Eventually([&] { return excel::ToText(app.GetObject("ActiveWorkbook").Get("Name")) == "Book2"; }));
    EXPECT_EQ(WindowFrom(app.Get("Hwnd")), second);
    book1.Call("Activate");
    EXPECT_TRUE(Eventually([&] { return GetForegroundWindow() == first; }));
  }

  // Each workbook window hands out the Window of its own workbook, and takes the mouse for it.
  void AnswersForItsOwnWorkbook() {
    for (const auto& [frame, name] : {std::pair{first, "Book1"}, std::pair{second, "Book2"}}) {
      const Object window = win32::WrapDispatch(win32::NativeWindowObject(frame, 5s).object.Get());
      EXPECT_EQ(excel::ToText(window.Get("Caption")), name);
      EXPECT_EQ(window.GetObject("Application").Get("StandinProcessId"),
                Value(static_cast<int>(process_.Id())));
    }
    const LPARAM c4 = MAKELPARAM(48 + 2 * 80 + 20, 22 + 3 * 22 + 5);
    SendMessageW(BookWindowOf(second), WM_LBUTTONDOWN, MK_LBUTTON, c4);
    SendMessageW(BookWindowOf(second), WM_LBUTTONUP, 0, c4);
    EXPECT_EQ(excel::ToText(app.GetObject("Selection").Get("Address")), "$A$1");
    app.GetObject("Workbooks").GetObject("Item", {std::string("Book2")}).Call("Activate");
    EXPECT_EQ(excel::ToText(app.GetObject("Selection").Get("Address")), "$C$4");
  }

  void SwitchesToExcel2010sOneFrameAndBack() {
    book1.Call("Close");
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(Frames(), std::vector<HWND>{second});
    app.Call("StandinClassicTitles", {true});
    ASSERT_EQ(Frames().size(), 1u);
    const HWND classic = Frames().front();
    EXPECT_EQ(win32::WindowText(classic), L"Microsoft Excel - Book2");
    EXPECT_EQ(WindowFrom(app.Get("Hwnd")), classic);
    EXPECT_EQ(WindowFrom(app.Call("StandinFrame", {std::string("Book2")})), classic);
    app.Call("StandinClassicTitles", {false});
    ASSERT_EQ(Frames().size(), 1u);
    EXPECT_EQ(win32::WindowText(Frames().front()), L"Book2 - Excel");
  }

  // The last workbook closed leaves its frame empty; closing that closes Excel.
  void ClosesWhenTheLastFrameCloses() {
    const HWND last = Frames().front();
    app.GetObject("ActiveWorkbook").Call("Close");
    EXPECT_EQ(Frames(), std::vector<HWND>{last});
    EXPECT_EQ(win32::WindowText(last), L"Excel");
    EXPECT_EQ(BookWindowOf(last), nullptr);
    CloseWhileHeldAndExpectTheEndOnceLetGo(last, {&app, &book1});
  }

  Object app;
  Object book1;
  HWND empty = nullptr;
  HWND first = nullptr;
  HWND second = nullptr;
};

TEST_F(StandinFrames, AFrameStandsForEachWorkbookAndTheActiveOneStandsInFront) {
  ASSERT_NO_FATAL_FAILURE(ShowsOneEmptyFrame());
  ASSERT_NO_FATAL_FAILURE(GivesEachShownWorkbookAFrame());
  ASSERT_NO_FATAL_FAILURE(KeepsTheActiveWorkbooksFrameInFront());
  ASSERT_NO_FATAL_FAILURE(AnswersForItsOwnWorkbook());
  ASSERT_NO_FATAL_FAILURE(SwitchesToExcel2010sOneFrameAndBack());
  ClosesWhenTheLastFrameCloses();
}

// As a hung Excel: its thread takes no message and answers no other call until the hung call
// returns. (A slow one is seen end to end, in the clicks during a slow record.)
TEST_F(StandinProcess, AHungStandinAnswersNothingUntilItsCallReturns) {
  const Object app = connector.Start("Excel.Application");
  Follow(app);
  app.GetObject("Workbooks").Call("Add");
  const HWND frame = WindowFrom(app.Get("Hwnd"));
  ASSERT_NE(frame, nullptr);

  IStream* stream = nullptr;
  ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, RawOf(app), &stream), S_OK);
  const auto start = Clock::now();
  bool messageAnswered = true;
  Clock::duration otherAnswered{};
  std::thread other([&] {
    const win32::ComInit apartment;
    ComPtr<IDispatch> client;
    CoGetInterfaceAndReleaseStream(stream, IID_PPV_ARGS(&client));
    std::this_thread::sleep_for(300ms);
    DWORD_PTR result = 0;
    messageAnswered = SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 300, &result) != 0;
    if (client) NameAnswer(client.Get(), L"Visible");
    otherAnswered = Clock::now() - start;
  });
  const auto timed = [](const std::function<void()>& call) {
    const auto begin = Clock::now();
    call();
    return Clock::now() - begin;
  };
  app.Call("StandinHangFor", {1500});
  // The server's own members neither wait nor use the hang up; the next call does.
  EXPECT_LT(timed([&] { app.Get("StandinCounters"); }), 500ms);
  EXPECT_EQ(excel::ToText(app.Get("Caption")), "Microsoft Excel");
  const auto hung = Clock::now() - start;
  other.join();
  EXPECT_GE(hung, 1500ms);
  EXPECT_FALSE(messageAnswered) << "the hung server took a message";
  EXPECT_GE(otherAnswered, 1500ms) << "another client was answered during the hang";
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 300, &result), 0) << "not even once free";
  EXPECT_LT(timed([&] { app.Get("Caption"); }), 500ms);
  QuitAndExpectTheEnd(app);
}

}  // namespace
}  // namespace quarnel::standin::server
