#pragma once

#include <chrono>

namespace quarnel::standin::server {

// How long answers are held back, as a hung Excel holds back one and a slow one every call for a
// while. The server's thread waits out the time without taking messages, as Excel's does.
class CallPacing {
 public:
  using Clock = std::chrono::steady_clock;
  using Millis = std::chrono::milliseconds;

  void HangNext(Millis time) { hang_ = time; }
  void SlowFor(Millis time, Millis delay) {
    slowUntil_ = Clock::now() + time;
    slowDelay_ = delay;
  }
  // The wait of a call that starts now; it uses up the hang.
  Millis Take() {
    Millis wait = hang_;
    hang_ = Millis::zero();
    if (Clock::now() < slowUntil_) wait += slowDelay_;
    return wait;
  }

 private:
  Millis hang_{};
  Clock::time_point slowUntil_{};
  Millis slowDelay_{};
};

}  // namespace quarnel::standin::server
