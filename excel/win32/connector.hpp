#pragma once

#include <memory>
#include <string_view>

#include "excel/win32/win_headers.hpp"
// After the Windows headers, which must not rename Object::GetObject.
#include "excel/connector.hpp"
#include "excel/win32/dispatch.hpp"

namespace quarnel::win32 {

// Finds and starts Excel through COM's class registry and running object table. The calling
// thread must have entered COM (ComInit).
class ComConnector final : public excel::Connector {
 public:
  explicit ComConnector(BusyRetry retry = {}) : retry_(retry) {}

  excel::Object GetRunning(std::string_view progId) override;
  excel::Object Start(std::string_view progId) override;
  void ActivateWindow(std::string_view title) override;

 private:
  BusyRetry retry_;
  // Every Excel object handed out shares it, the handles of earlier clicks included, so a busy
  // Excel costs a command one wait.
  std::shared_ptr<BusyStreak> streak_ = std::make_shared<BusyStreak>();
};

// The first visible top-level window titled exactly `title`, else the first whose title begins
// with it; null when none, or when `title` is empty (it would match any window).
HWND FindTopLevelWindow(std::wstring_view title);

}  // namespace quarnel::win32
