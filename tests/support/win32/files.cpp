#include "support/win32/files.hpp"

#include <array>

#include "common/win32/owned.hpp"

namespace quarnel::test_support {

std::vector<std::wstring> FileNamesIn(const std::wstring& folder, const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const win32::OwnedSearch search(FindFirstFileW((folder + L"\\" + pattern).c_str(), &found));
  if (!search) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search.Get(), &found));
  return names;
}

bool WriteBytes(const std::wstring& path, std::string_view bytes, bool append) {
  win32::OwnedHandle file(CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, 0, nullptr,
                                      append ? OPEN_EXISTING : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  const bool wrote =
      WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  return file.Close() && wrote;
}

std::string ReadBytes(const std::wstring& path) {
  std::string content;
  const win32::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return content;
  std::array<char, 4096> buffer{};
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
    content.append(buffer.data(), read);
  }
  return content;
}

}  // namespace quarnel::test_support
