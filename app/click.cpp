#include "app/click.hpp"

#include "snapshot/commands.hpp"
#include "visibility/commands.hpp"

namespace quarnel::app {
namespace {

// The one place a command's failure becomes the box the user sees.
template <typename Command>
void ShowingFailures(Desktop& desktop, Command command) {
  try {
    command();
  } catch (const Refusal& refusal) {
    desktop.ShowMessage(refusal.Description());
  } catch (...) {
    ReportCurrentFailure(desktop);
  }
}

}  // namespace

void Commands::OnClick(Button button) {
  ShowingFailures(host_.desktop, [&] {
    switch (button) {
      case Button::Command1: return visibility::HideRow(host_);
      case Button::Command2: return visibility::HideColumn(host_);
      case Button::Command3: return snapshot::RecordSnapshot(host_);
      case Button::Command4: return snapshot::RestoreSnapshot(host_, {{}, &undo_});
      case Button::Command6: return visibility::UnhideRowBelow(host_);
      case Button::Command7: return visibility::UnhideColumnRight(host_);
      case Button::Command5: return;
    }
  });
}

std::vector<MenuItem> Commands::RestoreMenu() { return app::RestoreMenu(host_.desktop, undo_.has_value()); }

void Commands::OnMenu(const MenuItem& item) {
  ShowingFailures(host_.desktop, [&] {
    switch (item.kind) {
      case MenuItem::Kind::Snapshot: return snapshot::RestoreSnapshot(host_, {item.path, &undo_});
      case MenuItem::Kind::ShowAll: return snapshot::ShowAllLines(host_, undo_);
      case MenuItem::Kind::Undo: return snapshot::UndoLastRestore(host_, undo_);
      case MenuItem::Kind::Browse: return snapshot::RestoreSnapshot(host_, {{}, &undo_});
      case MenuItem::Kind::NoSnapshot: return;
    }
  });
}

void ReportCurrentFailure(Desktop& desktop) { desktop.ShowMessage(RunTimeErrorText(CurrentFailure())); }

}  // namespace quarnel::app
