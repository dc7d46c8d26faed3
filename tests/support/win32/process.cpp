#include "support/win32/process.hpp"

#include <utility>

#include "common/win32/utf16.hpp"

namespace quarnel::test_support {

std::wstring WindowsPath(const std::string& path) {
  std::wstring converted = win32::ToUtf16(path);
  if (!converted.starts_with(L"/")) return converted;
  for (wchar_t& c : converted) c = c == L'/' ? L'\\' : c;
  return L"Z:" + converted;
}

Process Process::Start(const std::wstring& program, const std::wstring& arguments,
                       const std::wstring& folder) {
  std::wstring command = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  Process process;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return process;
  }
  const win32::OwnedHandle thread(info.hThread);
  process.handle_ = win32::OwnedHandle(info.hProcess);
  process.id_ = info.dwProcessId;
  return process;
}

Process Process::Open(DWORD id) {
  Process process;
  process.handle_ = win32::OwnedHandle(
      OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  if (process.handle_) process.id_ = id;
  return process;
}

DWORD Process::Run(const std::wstring& program, const std::wstring& arguments, Millis timeout) {
  const Process process = Start(program, arguments);
  if (!process) return kNotStarted;
  if (!process.WaitExit(timeout)) return kStillRunning;
  return process.ExitCode();
}

Process::Process(Process&& other) noexcept
    : handle_(std::move(other.handle_)), id_(std::exchange(other.id_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
  handle_ = std::move(other.handle_);
  id_ = std::exchange(other.id_, 0);
  return *this;
}

bool Process::Running() const { return handle_ && WaitForSingleObject(handle_.Get(), 0) == WAIT_TIMEOUT; }

bool Process::WaitExit(Millis timeout) const {
  return !handle_ || WaitForSingleObject(handle_.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (handle_) GetExitCodeProcess(handle_.Get(), &code);
  return code;
}

void Process::Kill() {
  if (Running()) {
    TerminateProcess(handle_.Get(), 1);
    WaitForSingleObject(handle_.Get(), 5000);
  }
}

}  // namespace quarnel::test_support
