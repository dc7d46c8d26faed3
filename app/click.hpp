#pragma once

#include "app/button.hpp"
#include "excel/attach.hpp"

namespace quarnel::app {

// Runs the command wired to the button. A failure the command lets through is shown with its
// number and description under the application title; the tool keeps running.
AfterClick OnClick(Button button, Host& host);

// The window's way to the commands: each click runs against `host`.
class Commands final : public ClickTarget {
 public:
  explicit Commands(Host& host) noexcept : host_(host) {}
  AfterClick OnClick(Button button) override { return app::OnClick(button, host_); }

 private:
  Host& host_;
};

// Shows the failure that the exception being handled stands for as a run-time error under the
// application title. Call it only inside a catch block.
void ReportCurrentFailure(Desktop& desktop);

}  // namespace quarnel::app
