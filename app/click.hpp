#pragma once

#include "app/button.hpp"
#include "excel/attach.hpp"

namespace quarnel::app {

// The commands wired to the buttons, each run against `host`.
class Commands final : public ClickTarget {
 public:
  explicit Commands(Host& host) noexcept : host_(host) {}
  // A failure the command lets through is shown with its number and description under the
  // application title; the tool keeps running.
  void OnClick(Button button) override;

 private:
  Host& host_;
};

// Shows the failure that the exception being handled stands for as a run-time error under the
// application title. Call it only inside a catch block.
void ReportCurrentFailure(Desktop& desktop);

}  // namespace quarnel::app
