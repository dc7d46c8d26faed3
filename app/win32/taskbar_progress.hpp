#pragma once

#include <cstdint>

#include "app/progress_throttle.hpp"
#include "common/win32/win_headers.hpp"
//
#include <wrl/client.h>

struct ITaskbarList3;

namespace quarnel::win32 {

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
  app::ProgressThrottle throttle_;
  Microsoft::WRL::ComPtr<ITaskbarList3> list_;
  bool looked_ = false;
  bool shown_ = false;
};

}  // namespace quarnel::win32
