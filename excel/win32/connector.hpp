#pragma once

#include <memory>
#include <string_view>

#include "common/win32/win_headers.hpp"
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
  bool ActivateFoundWindow() override;
  bool ActivateWindowHandle(std::int32_t handle) override;
  void ActivateWindow(std::string_view title) override;
  void WaitAfresh() noexcept override { win32::WaitAfresh(*context_); }

 private:
  // The application behind the frontmost Excel window that leads to one; empty when none does.
  excel::Object FromExcelWindows();
  excel::Object Wrap(IDispatch* target, const std::shared_ptr<NameCache>& names) const;

  BusyRetry retry_;
  // The main window the application was last found through.
  HWND found_ = nullptr;
  // Every Excel object handed out shares it, the handles of earlier clicks included, so a busy
  // Excel costs a command one wait, and an Excel that takes only English is asked so once.
  std::shared_ptr<CallContext> context_ = std::make_shared<CallContext>();
  // Excel's DISPIDs are fixed: looked up once for every click, from a window or from the
  // application.
  std::shared_ptr<NameCache> windowNames_ = MakeNameCache();
  std::shared_ptr<NameCache> applicationNames_ = MakeNameCache();
};

}  // namespace quarnel::win32
