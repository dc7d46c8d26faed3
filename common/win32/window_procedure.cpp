#include "common/win32/window_procedure.hpp"

#include "common/trace.hpp"

namespace quarnel::win32 {

LRESULT Unhandled(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  trace::PassedOverCurrent("window procedure");
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quarnel::win32
