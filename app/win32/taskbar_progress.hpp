#pragma once

#include <cstdint>

#include "common/win32/win_headers.hpp"
//
#include <wrl/client.h>

struct ITaskbarList3;

namespace quarnel::win32 {

// Lets a redraw through at most once per interval; the first one at once.
class ProgressThrottle {
 public:
  explicit ProgressThrottle(std::uint64_t intervalMs = 250) noexcept : interval_(intervalMs) {}
  bool Due(std::uint64_t nowMs) noexcept {
    if (drawn_ && nowMs - last_ < interval_) return false;
    drawn_ = true;
    last_ = nowMs;
    return true;
  }
  void Reset() noexcept { drawn_ = false; }

 private:
  std::uint64_t interval_;
  std::uint64_t last_ = 0;
  bool drawn_ = false;
};

// Progress on the window's taskbar button. Where the shell offers no taskbar list (some Wine
// set-ups), it shows nothing and costs nothing.
class TaskbarProgress {
 public:
  TaskbarProgress() noexcept;
  ~TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  void SetWindow(HWND window) noexcept { window_ = window; }
  // Called for every line of a long command: only the clock is read unless a redraw is due.
  void Show(std::uint64_t done, std::uint64_t total) noexcept {
    if (total != 0 && throttle_.Due(GetTickCount64())) Draw(done, total);
  }
  void End() noexcept;

 private:
  void Draw(std::uint64_t done, std::uint64_t total) noexcept;
  ITaskbarList3* List() noexcept;

  HWND window_ = nullptr;
  ProgressThrottle throttle_;
  Microsoft::WRL::ComPtr<ITaskbarList3> list_;
  bool looked_ = false;
  bool shown_ = false;
};

}  // namespace quarnel::win32
