#pragma once

#include <cstdint>

namespace quarnel::app {

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

}  // namespace quarnel::app
