#include "app/click.hpp"

#include "snapshot/commands.hpp"
#include "visibility/commands.hpp"

namespace quarnel::app {

void Commands::OnClick(Button button) {
  // The one place a command's failure becomes the box the user sees.
  try {
    switch (button) {
      case Button::Command1: return visibility::HideRow(host_);
      case Button::Command2: return visibility::HideColumn(host_);
      case Button::Command3: return snapshot::RecordSnapshot(host_);
      case Button::Command4: return snapshot::RestoreSnapshot(host_);
      case Button::Command6: return visibility::UnhideRowBelow(host_);
      case Button::Command7: return visibility::UnhideColumnRight(host_);
      case Button::Command5: return;
    }
  } catch (const Refusal& refusal) {
    host_.desktop.ShowMessage(refusal.Description());
  } catch (...) {
    ReportCurrentFailure(host_.desktop);
  }
}

void ReportCurrentFailure(Desktop& desktop) { desktop.ShowMessage(RunTimeErrorText(CurrentFailure())); }

}  // namespace quarnel::app
