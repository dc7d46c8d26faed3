#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/trace.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/line_applier.hpp"
#include "snapshot/line_reader.hpp"
#include "snapshot/lines.hpp"

namespace quarnel::snapshot {

using excel::Object;
using 链接cad及excel::AttachExcel;
using 链接cad及excel::Handles;

namespace {

void ApplyFile(const Object& ExcelSheet, InputFile& file, ProgressScope& progress, Lines lines) {
  const std::uint64_t size = file.Size();
  LineReader reader(file);
  LineApplier applier(ExcelSheet, lines);
  bool current = false;
  try {
    for (std::string line; reader.Next(line);) {
      const Record record = ReadRecord(line);
      if (record.state) current = *record.state;
      applier.Add(record, current);
      // A file that grew since it was opened must not show more than done.
      progress.Show(std::min(reader.Consumed(), size), size);
    }
  } catch (...) {
    // The lines before one that cannot be read stay applied, as they would one by one.
    applier.Flush();
    throw;
  }
  applier.Flush();
}

// A failed run must not leave Excel's drawing paused. Excel may have been busy a moment ago and
// be free now, so this call gets a wait of its own. A failure here would only hide the first.
bool ResumeDrawing(const Object& ExcelApp, excel::Connector& connector) noexcept {
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

void RestoreSnapshot(Host& host, Lines lines) {
  const Handles attached = AttachExcel(host);
  const Object& ExcelApp = attached.ExcelApp;
  std::unique_ptr<InputFile> file;
  // Only a pause that Excel took needs undoing: a refused call ran nothing.
  bool drawingPaused = false;
  std::optional<Failure> failure;
  try {
    ExcelApp.Put("ScreenUpdating", false);
    drawingPaused = true;
    FileDialog& dialog = host.desktop.CommonDialog1();
    dialog.SetDialogTitle("读取隐藏状态文件");
    dialog.SetFilter("*.txt|*.txt");
    dialog.SetCancelError(true);
    dialog.SetInitDir(host.desktop.ProgramFolder());
    dialog.ShowOpen();
    file = host.desktop.Files().OpenRead(dialog.FileName());
    ProgressScope progress(host.desktop);
    ApplyFile(attached.ExcelSheet, *file, progress, lines);
    ExcelApp.Put("ScreenUpdating", true);
    drawingPaused = false;
    file.reset();
  } catch (...) {
    failure = CurrentFailure();
  }
  if (!failure) {
    host.desktop.ShowMessage("处理完毕!", "提示", MessageIcon::Information);
    return;
  }
  // The file is let go and the sheet drawn again before the box holds the user's attention.
  file.reset();
  const bool drawing = !drawingPaused || ResumeDrawing(ExcelApp, host.connector);
  host.desktop.ShowMessage(failure->Description());
  // By the time the box is closed, Excel may be free again.
  if (!drawing) ResumeDrawing(ExcelApp, host.connector);
}

}  // namespace quarnel::snapshot
