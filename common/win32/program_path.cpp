#include "common/win32/program_path.hpp"

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    // A full buffer may hold a cut path: only a shorter answer is the whole one.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace quarnel::win32
