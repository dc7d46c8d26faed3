#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "snapshot/commands.hpp"
#include "snapshot/line_reader.hpp"
#include "snapshot/lines.hpp"

namespace quarnel::snapshot {

using 链接cad及excel::AttachExcel;
using 链接cad及excel::ExcelApp;
using 链接cad及excel::ExcelSheet;

namespace {

void Apply(const Record& record, bool hidden) {
  if (IsRowTarget(record.target)) {
    ExcelSheet.GetObject("Rows", {std::string(record.target)}).GetObject("EntireRow").Put("Hidden", hidden);
  } else {
    ExcelSheet.GetObject("Columns", {ColumnNumber(record.target)})
        .GetObject("EntireColumn")
        .Put("Hidden", hidden);
  }
}

void ApplyFile(InputFile& file, ProgressScope& progress) {
  const std::uint64_t size = file.Size();
  LineReader reader(file);
  bool current = false;
  for (std::string line; reader.Next(line);) {
    const Record record = ReadRecord(line);
    if (record.state) current = *record.state;
    Apply(record, current);
    // A file that grew since it was opened must not show more than done.
    progress.Show(std::min(reader.Consumed(), size), size);
  }
}

// A failed run must not leave Excel's drawing paused; with no Excel attached there is none to
// switch on, and a second failure here would only hide the first.
void ResumeDrawing() noexcept {
  if (!ExcelApp) return;
  try {
    ExcelApp.Put("ScreenUpdating", true);
  } catch (const Failure&) {
  }
}

}  // namespace

void RestoreSnapshot(Host& host) {
  AttachExcel(host);
  std::unique_ptr<InputFile> file;
  try {
    ExcelApp.Put("ScreenUpdating", false);
    FileDialog& dialog = host.desktop.CommonDialog1();
    dialog.SetDialogTitle("读取隐藏状态文件");
    dialog.SetFilter("*.txt|*.txt");
    dialog.SetCancelError(true);
    dialog.SetInitDir(host.desktop.ProgramFolder());
    dialog.ShowOpen();
    file = host.desktop.Files().OpenRead(dialog.FileName());
    ProgressScope progress(host.desktop);
    ApplyFile(*file, progress);
    ExcelApp.Put("ScreenUpdating", true);
    file.reset();
  } catch (const Failure& failure) {
    // The file is let go and the sheet drawn again before the box holds the user's attention.
    file.reset();
    ResumeDrawing();
    host.desktop.ShowMessage(failure.Description());
    return;
  } catch (...) {
    file.reset();
    ResumeDrawing();
    throw;
  }
  host.desktop.ShowMessage("处理完毕!", "提示", MessageIcon::Information);
}

}  // namespace quarnel::snapshot
