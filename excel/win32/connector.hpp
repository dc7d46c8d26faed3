#pragma once

#include <memory>
#include <string_view>

#include "common/win32/win_headers.hpp"
// After the Windows headers, which must not rename Object::GetObject.
#include "excel/connector.hpp"
#include "excel/win32/dispatch.hpp"

namespace quarnel::win32 {

// Finds the Excel in front through its windows, else through COM's running object table, and
// starts one through the class registry. The calling thread must have entered COM (ComInit).
class ComConnector final : public excel::Connector {
 public:
  explicit ComConnector(BusyRetry retry = {}) : retry_(retry) {}

  excel::Object GetRunning(std::string_view progId) override;
  excel::Object Start(std::string_view progId) override;
  void ActivateWindow(std::string_view title) override;

 private:
  // The application behind the frontmost Excel window that hands one out; empty when none does.
  excel::Object FromExcelWindows();

  BusyRetry retry_;
  // The main window the application was last found through: activation prefers it.
  HWND found_ = nullptr;
  // Every Excel object handed out shares it, the handles of earlier clicks included, so a busy
  // Excel costs a command one wait.
  std::shared_ptr<BusyStreak> streak_ = std::make_shared<BusyStreak>();
};

}  // namespace quarnel::win32
