#pragma once

// Programs that tests start under Wine: their paths as Windows sees them, and their processes.

#include <chrono>
#include <string>

#include "common/win32/owned.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::test_support {

using Millis = std::chrono::milliseconds;

// A path as Windows programs under Wine see it: a Unix path (as CMake names a built program) is on
// drive Z:.
std::wstring WindowsPath(const std::string& path);

// A process handle; ending the process is its owner's decision, not the handle's.
class Process {
 public:
  Process() = default;
  // Starts `program` with `arguments` in `folder` (the program's own folder when empty); the result
  // is not Running() when the start failed.
  static Process Start(const std::wstring& program, const std::wstring& arguments = L"",
                       const std::wstring& folder = L"");
  static Process Open(DWORD id);
  // Runs `program` to its end: its exit code, or kNotStarted / kStillRunning.
  static DWORD Run(const std::wstring& program, const std::wstring& arguments, Millis timeout);
  static constexpr DWORD kNotStarted = 0xFFFFFFFF;
  static constexpr DWORD kStillRunning = 0xFFFFFFFE;

  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;

  explicit operator bool() const noexcept { return static_cast<bool>(handle_); }
  DWORD Id() const noexcept { return id_; }
  HANDLE Handle() const noexcept { return handle_.Get(); }
  bool Running() const;
  // True when the process ended within `timeout`.
  bool WaitExit(Millis timeout) const;
  DWORD ExitCode() const;
  // Ends the process if it still runs, and waits a little for it to go.
  void Kill();

 private:
  win32::OwnedHandle handle_;
  DWORD id_ = 0;
};

}  // namespace quarnel::test_support
