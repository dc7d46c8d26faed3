#include "app/click.hpp"

#include "common/text.hpp"
#include "snapshot/commands.hpp"
#include "visibility/commands.hpp"

namespace quarnel::app {
namespace {

bool commandRunning = false;

// COM may dispatch window messages while a call waits on Excel; a click arriving then must not
// start a second command.
class RunningGuard {
 public:
  RunningGuard() { commandRunning = true; }
  ~RunningGuard() { commandRunning = false; }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;
};

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

void Report(Desktop& desktop, const Failure& failure) {
  desktop.ShowMessage("运行时错误 '" + 常用函数::ValueText(failure.Number()) + "':\n\n" +
                      failure.Description());
}

}  // namespace

AfterClick OnClick(Button button, Host& host) {
  // Leaving mid-command would leave Excel half-changed and its drawing paused.
  if (commandRunning) return AfterClick::Busy;
  if (button == Button::Command5) return AfterClick::Exit;
  RunningGuard guard;
  try {
    Run(button, host);
  } catch (...) {
    Report(host.desktop, CurrentFailure());
  }
  return AfterClick::KeepRunning;
}

}  // namespace quarnel::app
