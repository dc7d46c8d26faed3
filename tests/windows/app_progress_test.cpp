#include <gtest/gtest.h>

#include "common/win32/win_headers.hpp"
// After windows.h.
#include <shobjidl.h>

#include <iostream>
#include <vector>

#include "app/win32/desktop.hpp"
#include "app/win32/form1.hpp"
#include "app/win32/taskbar_progress.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/window_text.hpp"
#include "excel/win32/com.hpp"

namespace quarnel::win32 {
namespace {

TEST(ProgressThrottle, DrawsTheFirstAtOnceThenAtMostOncePerInterval) {
  ProgressThrottle throttle(250);
  std::vector<std::uint64_t> drawn;
  for (std::uint64_t now : {1000u, 1001u, 1249u, 1250u, 1300u, 1499u, 1500u, 9000u}) {
    if (throttle.Due(now)) drawn.push_back(now);
  }
  EXPECT_EQ(drawn, (std::vector<std::uint64_t>{1000, 1250, 1500, 9000}));

  // The next command's first step shows at once, however soon it comes.
  throttle.Reset();
  EXPECT_TRUE(throttle.Due(9001));
  EXPECT_FALSE(throttle.Due(9002));
}

TEST(ProgressThrottle, AClockAtZeroIsNoSpecialCase) {
  ProgressThrottle throttle(250);
  EXPECT_TRUE(throttle.Due(0));
  EXPECT_FALSE(throttle.Due(249));
  EXPECT_TRUE(throttle.Due(250));
}

// Whether or not this Wine has a taskbar list, a whole command's worth of steps and the end are
// taken without failing, also for a window that is gone.
TEST(TaskbarProgress, TakesStepsAndEndsWithOrWithoutTheShell) {
  ComInit com;
  ITaskbarList3* shell = nullptr;
  const bool hasShell = SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                                   IID_ITaskbarList3, reinterpret_cast<void**>(&shell)));
  if (shell) shell->Release();
  std::cout << "[ taskbar ] ITaskbarList3 " << (hasShell ? "present" : "absent") << "\n";
  const HWND window = CreateWindowExW(0, L"STATIC", L"Quarnel", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  {
    TaskbarProgress progress;
    progress.SetWindow(window);
    for (std::uint64_t line = 0; line <= 100000; ++line) progress.Show(line, 100000);
    progress.End();
    progress.Show(5, 0);
    progress.Show(1, 10);
    DestroyWindow(window);
    progress.Show(2, 10);
    progress.End();
  }
  EXPECT_FALSE(IsWindow(window));
}

TEST(Form1Busy, ShowsTheWaitCursorWhileACommandRunsAndNotAfter) {
  const HCURSOR wait = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));
  // What the cursor is during the command, and after the window is asked to set it then.
  struct CursorWatch final : app::ClickTarget {
    void OnClick(app::Button) override {
      during = GetCursor();
      SetCursor(nullptr);
      answered = SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      afterSetCursor = GetCursor();
    }
    HWND window = nullptr;
    HCURSOR during = nullptr;
    LRESULT answered = 0;
    HCURSOR afterSetCursor = nullptr;
  } watch;
  Form1 form{GetModuleHandleW(nullptr), watch, false};
  const HWND window = watch.window = form.Handle();
  SendMessageW(form.Control("Command1"), BM_CLICK, 0, 0);
  EXPECT_EQ(watch.during, wait);
  EXPECT_EQ(watch.answered, TRUE);
  EXPECT_EQ(watch.afterSetCursor, wait);

  SetCursor(nullptr);
  SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), wait);
  EXPECT_EQ(ToUtf8(WindowText(window)), "Quarnel");
}

}  // namespace
}  // namespace quarnel::win32
