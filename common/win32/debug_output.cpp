#include "common/win32/debug_output.hpp"

#include "common/win32/utf16.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

void WriteToDebugger(std::string_view line) {
  OutputDebugStringW((L"Quarnel " + ToUtf16(line) + L"\n").c_str());
}

}  // namespace quarnel::win32
