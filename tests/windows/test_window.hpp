#pragma once

// A window a test makes for itself, taken down with its owner however the test ends.

#include <vector>

#include "common/win32/win_headers.hpp"

namespace quarnel::test_support {

// Runs what this thread's windows have been sent or posted.
inline void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// This thread's top-level windows.
inline std::vector<HWND> ThreadWindows() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class TestWindow {
 public:
  // Of a system class ("STATIC") when `procedure` is null; otherwise of `className`, registered
  // with `procedure` on first use. `param` reaches WM_CREATE.
  explicit TestWindow(const wchar_t* className, DWORD style = WS_OVERLAPPEDWINDOW,
                      WNDPROC procedure = nullptr, const wchar_t* title = L"", HWND parent = nullptr,
                      void* param = nullptr) {
    if (procedure) {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = className;
      RegisterClassW(&windowClass);
    }
    window_ = CreateWindowExW(0, className, title, style, 0, 0, 100, 100, parent, nullptr,
                              GetModuleHandleW(nullptr), param);
  }
  ~TestWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Get() const noexcept { return window_; }

 private:
  HWND window_ = nullptr;
};

}  // namespace quarnel::test_support
