#pragma once

#include <cstdint>
#include <string_view>

#include "excel/automation.hpp"

namespace quarnel::excel {

// The Excel the user has in front answered, but not with its application: it is busy, or a call to
// it was stopped. No other Excel may stand in for it.
class UnreachableExcel : public Failure {
 public:
  explicit UnreachableExcel(const Failure& failure) : Failure(failure) {}
};

// How the tool finds Excel. Every member throws Failure when it cannot do what it says.
class Connector {
 public:
  virtual ~Connector() = default;
  // The running instance registered for the ProgID, the one in front first. Throws
  // UnreachableExcel when that one is there but cannot hand out its application.
  virtual Object GetRunning(std::string_view progId) = 0;
  // A new instance of the ProgID.
  virtual Object Start(std::string_view progId) = 0;
  // Brings to the front the window through which the last running instance was found; false
  // when it was not found through a window, or that window is gone.
  virtual bool ActivateFoundWindow() = 0;
  // Brings to the front Excel's main window with this handle (as Application.Hwnd gives it); false
  // when no such window of Excel is there.
  virtual bool ActivateWindowHandle(std::int32_t handle) = 0;
  // Brings to the front the top-level window whose title equals, or else begins with, `title`.
  virtual void ActivateWindow(std::string_view title) = 0;
  // A command meets a busy Excel once: after one call gave up on it, the calls straight after give
  // up at once. A clean-up after a failed command calls this first, so that its own call waits
  // Excel out in full.
  virtual void WaitAfresh() noexcept {}
};

}  // namespace quarnel::excel
