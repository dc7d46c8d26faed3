#include "app/win32/files.hpp"

#include <algorithm>
#include <limits>
#include <utility>

#include "common/trace.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"

namespace quarnel::win32 {
namespace {

constexpr DWORD kChunkLimit = 1u << 30;

class WideOutputFile final : public OutputFile {
 public:
  explicit WideOutputFile(OwnedHandle file) noexcept : file_(std::move(file)) {}

  void Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunkLimit));
      DWORD written = 0;
      if (!WriteFile(file_.Get(), bytes.data(), chunk, &written, nullptr)) throw FileFailure(GetLastError());
      if (written == 0) throw FileFailure(ERROR_WRITE_FAULT);
      bytes.remove_prefix(written);
    }
  }

  void Close() override {
    if (!file_.Close()) throw FileFailure(GetLastError());
  }

 private:
  OwnedHandle file_;
};

class WideInputFile final : public InputFile {
 public:
  explicit WideInputFile(OwnedHandle file) noexcept : file_(std::move(file)) {}

  std::size_t Read(std::span<char> buffer) override {
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), kChunkLimit));
    DWORD read = 0;
    if (!ReadFile(file_.Get(), buffer.data(), wanted, &read, nullptr)) throw FileFailure(GetLastError());
    return read;
  }

  std::uint64_t Size() override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file_.Get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

 private:
  OwnedHandle file_;
};

bool EndsInTxt(const std::wstring& name) {
  if (name.size() < 4) return false;
  return CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".txt", 4, TRUE) == CSTR_EQUAL;
}

FoundFile Found(const WIN32_FIND_DATAW& data) {
  FoundFile found;
  found.name = ToUtf8(data.cFileName);
  const FILETIME& written = data.ftLastWriteTime;
  found.written = (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  // A time the system cannot show stays 0, which sorts it last and shows it as it is.
  if (FileTimeToSystemTime(&written, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
    found.month = local.wMonth;
    found.day = local.wDay;
    found.hour = local.wHour;
    found.minute = local.wMinute;
  }
  return found;
}

}  // namespace

Failure FileFailure(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return errors::Catalogued(errors::kFileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return errors::Catalogued(errors::kPathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return errors::Catalogued(errors::kPermissionDenied);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return errors::Catalogued(errors::kFileAlreadyExists);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return errors::Catalogued(errors::kBadFileName);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return errors::Catalogued(errors::kDiskFull);
    default: return errors::Catalogued(errors::kDeviceIoError);
  }
}

std::unique_ptr<OutputFile> WideFileSystem::CreateNew(const std::string& path) {
  OwnedHandle file(CreateFileW(ToUtf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw FileFailure(GetLastError());
  return std::make_unique<WideOutputFile>(std::move(file));
}

std::unique_ptr<InputFile> WideFileSystem::OpenRead(const std::string& path) {
  OwnedHandle file(CreateFileW(ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw FileFailure(GetLastError());
  return std::make_unique<WideInputFile>(std::move(file));
}

void WideFileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
  if (!MoveFileExW(ToUtf16(from).c_str(), ToUtf16(to).c_str(), 0)) throw FileFailure(GetLastError());
}

bool WideFileSystem::Exists(const std::string& path) {
  return GetFileAttributesW(ToUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WideFileSystem::Remove(const std::string& path) noexcept {
  // Removal is a clean-up: nothing to report to the user.
  try {
    if (!DeleteFileW(ToUtf16(path).c_str()))
      trace::PassedOver("removing a file", FileFailure(GetLastError()));
  } catch (...) {
    trace::PassedOverCurrent("removing a file");
  }
}

std::vector<FoundFile> WideFileSystem::ListText(const std::string& folder) {
  std::vector<FoundFile> found;
  WIN32_FIND_DATAW data{};
  // "*.txt" also matches a longer extension through its short name: the name is checked again.
  OwnedSearch search(FindFirstFileExW(ToUtf16(folder + "\\*.txt").c_str(), FindExInfoBasic, &data,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!search) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return found;
    throw FileFailure(error);
  }
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && EndsInTxt(data.cFileName))
      found.push_back(Found(data));
  } while (FindNextFileW(search.Get(), &data));
  if (GetLastError() != ERROR_NO_MORE_FILES) throw FileFailure(GetLastError());
  return found;
}

}  // namespace quarnel::win32
