#pragma once

#include <string_view>

namespace quarnel::win32 {

// A line for a debugger or DebugView, through OutputDebugStringW.
void WriteToDebugger(std::string_view line);

}  // namespace quarnel::win32
