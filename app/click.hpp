#pragma once

#include "app/button.hpp"
#include "excel/attach.hpp"
#include "snapshot/commands.hpp"

namespace quarnel::app {

// The commands wired to the buttons, each run against `host`.
class Commands final : public ClickTarget {
 public:
  explicit Commands(Host& host) noexcept : host_(host) {}
  // A failure the command lets through is shown with its number and description under the
  // application title; the tool keeps running.
  void OnClick(Button button) override;
  std::vector<MenuItem> RestoreMenu() override;
  // Restores, shows all, undoes the last restore, or does what a click on Command4 does.
  void OnMenu(const MenuItem& item) override;

 private:
  Host& host_;
  // What the last restore or show-all replaced, for 撤消上次恢复.
  snapshot::LastView undo_;
};

// Shows the failure that the exception being handled stands for as a run-time error under the
// application title. Call it only inside a catch block.
void ReportCurrentFailure(Desktop& desktop);

}  // namespace quarnel::app
