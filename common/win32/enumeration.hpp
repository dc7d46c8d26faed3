#pragma once

#include <exception>
#include <utility>
#include <vector>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// What a system enumeration (EnumWindows, EnumFontFamiliesExW) hands its callback, gathered. An
// exception thrown while gathering never crosses the system's frames: it stops the enumeration
// and is thrown again by Take, once the enumeration has returned.
template <typename T>
class Enumerated {
 public:
  // Runs `step` with the items gathered so far; the callback returns what this returns.
  template <typename Step>
  BOOL Visit(Step step) noexcept {
    if (failure_) return FALSE;
    try {
      step(items_);
      return TRUE;
    } catch (...) {
      failure_ = std::current_exception();
      return FALSE;
    }
  }

  std::vector<T> Take() {
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return std::move(items_);
  }

  // The callback's context, and back.
  LPARAM Context() noexcept { return reinterpret_cast<LPARAM>(this); }
  static Enumerated& Of(LPARAM context) noexcept { return *reinterpret_cast<Enumerated*>(context); }

 private:
  std::vector<T> items_;
  std::exception_ptr failure_;
};

}  // namespace quarnel::win32
