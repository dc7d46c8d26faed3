#include <gtest/gtest.h>

#include "common/win32/win_headers.hpp"
// After windows.h.
#include <shobjidl.h>

#include <chrono>
#include <iostream>
#include <vector>

#include "app/win32/taskbar_progress.hpp"
#include "excel/win32/com.hpp"

namespace quarnel::win32 {
namespace {

// Whether or not this Wine has a taskbar list, a whole command's worth of steps costs little more
// than reading the clock (a draw for each would take seconds), and the end and a window that is
// gone are taken without failing.
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
    const auto start = std::chrono::steady_clock::now();
    for (std::uint64_t line = 0; line <= 100000; ++line) progress.Show(line, 100000);
    progress.End();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    progress.Show(5, 0);
    progress.Show(1, 10);
    DestroyWindow(window);
    progress.Show(2, 10);
    progress.End();
  }
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace quarnel::win32
