#include "common/win32/window_text.hpp"

namespace quarnel::win32 {

std::wstring WindowText(HWND window) {
  // The length may be larger than the text (it can count bytes of a converted text) and the text
  // may change in between: the copy says how much there is.
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[257] = {};  // a class name has at most 256 characters
  GetClassNameW(window, name, 257);
  return name;
}

}  // namespace quarnel::win32
