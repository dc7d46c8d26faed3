#include <gtest/gtest.h>

#include "common/win32/win_headers.hpp"
// After windows.h.
#include <shobjidl.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <utility>

#include "app/win32/taskbar_progress.hpp"
#include "excel/win32/com.hpp"
#include "test_window.hpp"

namespace quarnel::win32 {
namespace {

// Whether or not this Wine has a taskbar list, a whole command's worth of steps costs little more
// than reading the clock (a draw for each would take seconds), on the window and once it is gone,
// and the end is taken without failing.
TEST(TaskbarProgress, TakesStepsAndEndsWithOrWithoutTheShell) {
  static_assert(noexcept(std::declval<TaskbarProgress&>().Show(0, 0))&& noexcept(
      std::declval<TaskbarProgress&>().End()));
  ComInit com;
  ITaskbarList3* shell = nullptr;
  const bool hasShell = SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                                   IID_ITaskbarList3, reinterpret_cast<void**>(&shell)));
  if (shell) shell->Release();
  std::cout << "[ taskbar ] ITaskbarList3 " << (hasShell ? "present" : "absent") << "\n";
  auto window =
      std::make_unique<test_support::TestWindow>(L"STATIC", WS_OVERLAPPEDWINDOW, nullptr, L"Quarnel");
  ASSERT_NE(window->Get(), nullptr);
  TaskbarProgress progress;
  progress.SetWindow(window->Get());
  const auto steps = [&progress] {
    const auto start = std::chrono::steady_clock::now();
    for (std::uint64_t line = 0; line <= 100000; ++line) progress.Show(line, 100000);
    progress.End();
    return std::chrono::steady_clock::now() - start;
  };
  EXPECT_LT(steps(), std::chrono::milliseconds(500));
  progress.Show(5, 0);
  progress.Show(1, 10);
  window.reset();
  EXPECT_LT(steps(), std::chrono::milliseconds(500));
}

}  // namespace
}  // namespace quarnel::win32
