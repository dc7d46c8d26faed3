#include "app/click.hpp"

#include "snapshot/commands.hpp"
#include "visibility/commands.hpp"

namespace quarnel::app {
namespace {

void Run(Button button, Host& host) {
  switch (button) {
    case Button::Command1: return visibility::HideRow(host);
    case Button::Command2: return visibility::HideColumn(host);
    case Button::Command3: return snapshot::RecordSnapshot(host);
    case Button::Command4: return snapshot::RestoreSnapshot(host);
    case Button::Command6: return visibility::UnhideRowBelow(host);
    case Button::Command7: return visibility::UnhideColumnRight(host);
    case Button::Command5: return;
  }
}

}  // namespace

AfterClick OnClick(Button button, Host& host) {
  if (button == Button::Command5) return AfterClick::Exit;
  // The one place a command's failure becomes the box the user sees.
  try {
    Run(button, host);
  } catch (...) {
    ReportCurrentFailure(host.desktop);
  }
  return AfterClick::KeepRunning;
}

void ReportCurrentFailure(Desktop& desktop) { desktop.ShowMessage(RunTimeErrorText(CurrentFailure())); }

}  // namespace quarnel::app
