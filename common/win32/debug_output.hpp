#pragma once

#include <string_view>

namespace quarnel::win32 {

// A line for a debugger or DebugView, through OutputDebugStringW.
void WriteToDebugger(std::string_view line) noexcept;

}  // namespace quarnel::win32
