#include "common/win32/debug_output.hpp"

#include "common/win32/utf16.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

void WriteToDebugger(std::string_view line) noexcept {
  try {
    OutputDebugStringW((L"Quarnel " + ToUtf16(line) + L"\n").c_str());
  } catch (...) {
    // A line that cannot be converted is not worth a failure of its own.
  }
}

}  // namespace quarnel::win32
