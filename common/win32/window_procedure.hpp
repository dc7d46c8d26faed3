#pragma once

#include <functional>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// For a message whose handling threw: writes what it swallowed to the debugger's output and gives
// the message the system's default handling. Call it only inside a catch block.
LRESULT Unhandled(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The window procedure of a window bound at creation to a T (its lpCreateParams), whose messages
// go to `receive(T&, window, message, wParam, lParam)`, a member function or a free one. No
// exception leaves it: one would unwind through the system's frames that called it.
template <typename T, auto receive>
LRESULT CALLBACK ProcedureOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* bound = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!bound) return DefWindowProcW(window, message, wParam, lParam);
  // Nothing reaches the object after the window's last message.
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  try {
    return std::invoke(receive, *bound, window, message, wParam, lParam);
  } catch (...) {
    return Unhandled(window, message, wParam, lParam);
  }
}

}  // namespace quarnel::win32
