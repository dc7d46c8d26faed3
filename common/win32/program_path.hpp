#pragma once

#include <string>

namespace quarnel::win32 {

// The full path of the running program's file, however long; empty when the system will not say.
std::wstring ProgramPath();

}  // namespace quarnel::win32
