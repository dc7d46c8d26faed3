#pragma once

#include <string>
#include <string_view>

namespace quarnel::win32 {

// UTF-8 inside the tool, UTF-16 at the Win32 and COM boundary. Ill-formed input becomes U+FFFD
// rather than failing: a text from Excel or the user never makes a command fail for its bytes.
// Only a text too long for the string type throws std::length_error.
std::wstring ToUtf16(std::string_view utf8);
std::string ToUtf8(std::wstring_view utf16);

}  // namespace quarnel::win32
