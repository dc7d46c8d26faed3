#pragma once

#include <string>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// The whole text of a window: a caption, a note box. Empty for a window that is gone.
std::wstring WindowText(HWND window);

// The name of the window's class ("XLMAIN", "Button"); empty for a window that is gone.
std::wstring ClassName(HWND window);

}  // namespace quarnel::win32
