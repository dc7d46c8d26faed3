#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/trace.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/line_applier.hpp"
#include "snapshot/line_reach.hpp"
#include "snapshot/line_reader.hpp"
#include "snapshot/lines.hpp"
#include "snapshot/paused_change.hpp"

namespace quarnel::snapshot {

using excel::Object;
using 链接cad及excel::AttachExcel;
using 链接cad及excel::Handles;

namespace {

// A file's lines up to the first that cannot be read, each with the state it sets; their targets
// side by side in one text.
struct FileLines {
  struct Line {
    std::size_t at = 0;
    std::size_t length = 0;
    bool hidden = false;
    std::uint64_t consumed = 0;  // of the file's bytes, up to the end of this line
  };

  std::string targets;
  std::vector<Line> lines;
  std::uint64_t size = 0;
  // Why the line after the last could not be read.
  std::optional<Failure> failure;

  std::string_view Target(const Line& line) const {
    return std::string_view(targets).substr(line.at, line.length);
  }
};

FileLines ReadLines(InputFile& file) {
  FileLines read;
  read.size = file.Size();
  try {
    LineReader reader(file);
    bool current = false;
    for (std::string line; reader.Next(line);) {
      const Record record = ReadRecord(line);
      if (record.state) current = *record.state;
      read.lines.push_back({read.targets.size(), record.target.size(), current, reader.Consumed()});
      read.targets += record.target;
    }
  } catch (...) {
    // The lines before one that cannot be read are applied, as they would be one by one.
    read.failure = CurrentFailure();
  }
  return read;
}

// Keeps what the lines will change, read before any is applied, in place of the last undo; no undo
// when that cannot be known. Lines that change nothing leave the last undo as it was.
void SaveViewBefore(const Handles& attached, const FileLines& file, std::optional<SavedView>& undo) {
  try {
    LineReach reach(attached.ExcelSheet);
    TouchedLines touched;
    for (const FileLines::Line& line : file.lines) {
      LineSpan span;
      const LineReach::Outcome outcome = reach.Of(file.Target(line), span);
      if (outcome == LineReach::Outcome::Unknown) {
        undo.reset();
        return;
      }
      // The lines after one Excel refuses are never applied.
      if (outcome == LineReach::Outcome::Refused) break;
      touched.Add(span);
    }
    if (!touched.Empty()) undo = ReadView(attached.ExcelBook, attached.ExcelSheet, touched);
  } catch (const Failure& failure) {
    undo.reset();
    trace::PassedOver("restore, reading what it changes", failure);
  }
}

void ApplyLines(const Object& ExcelSheet, const FileLines& file, ProgressScope& progress, Lines lines) {
  LineApplier applier(ExcelSheet, lines);
  for (const FileLines::Line& line : file.lines) {
    applier.Add(Record{file.Target(line), line.hidden}, line.hidden);
    // A file that grew since it was opened must not show more than done.
    progress.Show(std::min(line.consumed, file.size), file.size);
  }
  applier.Flush();
  if (file.failure) throw *file.failure;
}

}  // namespace

void RestoreSnapshot(Host& host, const RestoreRequest& request) {
  const Handles attached = AttachExcel(host);
  ChangeWithDrawingPaused(host, attached.ExcelApp, [&] {
    std::string path;
    if (request.path) {
      path = *request.path;
    } else {
      FileDialog& dialog = host.desktop.CommonDialog1();
      dialog.SetDialogTitle("读取隐藏状态文件");
      dialog.SetFilter("*.txt|*.txt");
      dialog.SetCancelError(true);
      dialog.SetInitDir(host.desktop.ProgramFolder());
      dialog.ShowOpen();
      path = dialog.FileName();
    }
    std::unique_ptr<InputFile> file = host.desktop.Files().OpenRead(path);
    ProgressScope progress(host.desktop);
    const FileLines read = ReadLines(*file);
    if (request.undo) SaveViewBefore(attached, read, *request.undo);
    ApplyLines(attached.ExcelSheet, read, progress, request.lines);
  });
}

void RestoreSnapshot(Host& host, Lines lines) { RestoreSnapshot(host, RestoreRequest{{}, nullptr, lines}); }

}  // namespace quarnel::snapshot
