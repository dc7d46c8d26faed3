#include "snapshot/paused_change.hpp"

#include <optional>

#include "common/trace.hpp"

namespace quarnel::snapshot {
namespace {

// A failed change must not leave Excel's drawing paused. Excel may have been busy a moment ago and
// be free now, so this call gets a wait of its own. A failure here would only hide the first.
bool ResumeDrawing(const excel::Object& ExcelApp, excel::Connector& connector) noexcept {
  if (!ExcelApp) return true;
  try {
    connector.WaitAfresh();
    ExcelApp.Put("ScreenUpdating", true);
    return true;
  } catch (...) {
    trace::PassedOverCurrent("restore, drawing back on");
    return false;
  }
}

}  // namespace

bool ChangeWithDrawingPaused(Host& host, const excel::Object& ExcelApp, const std::function<void()>& change) {
  // Only a pause that Excel took needs undoing: a refused call ran nothing.
  bool drawingPaused = false;
  std::optional<Failure> failure;
  try {
    ExcelApp.Put("ScreenUpdating", false);
    drawingPaused = true;
    // What the change holds (the file, the progress) is let go before any box holds the user's
    // attention.
    change();
    ExcelApp.Put("ScreenUpdating", true);
    drawingPaused = false;
  } catch (...) {
    failure = CurrentFailure();
  }
  if (!failure) {
    host.desktop.ShowMessage("处理完毕!", "提示", MessageIcon::Information);
    return true;
  }
  const bool drawing = !drawingPaused || ResumeDrawing(ExcelApp, host.connector);
  host.desktop.ShowMessage(failure->Description());
  // By the time the box is closed, Excel may be free again.
  if (!drawing) ResumeDrawing(ExcelApp, host.connector);
  return false;
}

}  // namespace quarnel::snapshot
