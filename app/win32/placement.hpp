#pragma once

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// Dots per inch of the screen under `window`, across and down.
struct Dpi {
  int x;
  int y;
};
Dpi WindowDpi(HWND window);

}  // namespace quarnel::win32

// 常用函数, "common functions": see common/text.hpp.
namespace 常用函数 {

// Raises the window into the topmost band, handing it its own position and size. A hidden window
// stays hidden. Fails when a value leaves the 32-bit range.
void SetTopMost(HWND window);

// Centres the window across the screen with its top `factor` window heights above the screen's
// bottom edge; its size stays.
void PlaceWindow(HWND window, double factor);

}  // namespace 常用函数
