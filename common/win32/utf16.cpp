#include "common/win32/utf16.hpp"

#include <limits>
#include <stdexcept>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {
namespace {

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    throw std::length_error("text too long");
  return static_cast<int>(size);
}

}  // namespace

std::wstring ToUtf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int in = CheckedLength(utf8.size());
  const int out = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(out), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, result.data(), out);
  return result;
}

std::string ToUtf8(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int in = CheckedLength(utf16.size());
  const int out = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(out), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, result.data(), out, nullptr, nullptr);
  return result;
}

}  // namespace quarnel::win32
