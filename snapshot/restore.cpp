#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

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

// Puts the next line's target into `target`; false at the end of the file, at a line that cannot be
// read and where the file cannot be read further: the lines after are never applied.
bool NextTarget(LineReader& reader, std::string& target) {
  try {
    if (!reader.Next(target)) return false;
    target = std::string(ReadRecord(target).target);
    return true;
  } catch (const Failure&) {
    return false;
  }
}

// What a file's lines will set, read through once before any is applied: the file is read again
// to apply it, and each line then must fall within what was read, or no undo is kept.
class Reach {
 public:
  bool Covers(std::string_view target) const {
    if (const auto plain = PlainLines(target)) return touched_.Covers(*plain);
    const auto found = asked_.find(target);
    return found != asked_.end() && touched_.Covers(found->second);
  }

  // The state before of what the file's lines will set; nothing when it cannot be known. Lines
  // after one that cannot be read, or that Excel will refuse, are never applied.
  std::optional<SavedView> Read(const Handles& attached, InputFile& file) {
    LineReach reach(attached.ExcelSheet);
    LineReader reader(file);
    for (std::string line; NextTarget(reader, line);) {
      LineSpan span;
      const auto known = asked_.find(line);
      if (known != asked_.end()) {
        span = known->second;
      } else {
        const LineReach::Outcome outcome = reach.Of(line, span);
        if (outcome == LineReach::Outcome::Unknown) return std::nullopt;
        if (outcome == LineReach::Outcome::Refused) break;
        if (!PlainLines(line)) asked_.emplace(line, span);
      }
      touched_.Add(span);
    }
    touched_.Join();
    return ReadView(attached.ExcelBook, attached.ExcelSheet, touched_);
  }

  bool Empty() const noexcept { return touched_.Empty(); }

 private:
  TouchedLines touched_;
  std::map<std::string, LineSpan, std::less<>> asked_;  // targets only Excel could read
};

void ApplyFile(const Object& ExcelSheet, InputFile& file, ProgressScope& progress, Lines lines,
               const Reach* reach, LastView* undo) {
  const std::uint64_t size = file.Size();
  LineReader reader(file);
  LineApplier applier(ExcelSheet, lines);
  bool current = false;
  try {
    for (std::string line; reader.Next(line);) {
      const Record record = ReadRecord(line);
      if (record.state) current = *record.state;
      applier.Add(record, current);
      // The file changed since it was read: the undo would not cover this line. A line Excel
      // refuses fails above and changes nothing.
      if (reach && undo && *undo && !reach->Covers(record.target)) {
        undo->reset();
        trace::PassedOver("restore, a line beyond what was read", errors::Catalogued(errors::kInternal));
      }
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
    std::optional<Reach> reach;
    std::optional<SavedView> before;
    if (request.undo) {
      reach.emplace();
      try {
        before = reach->Read(attached, *host.desktop.Files().OpenRead(path));
      } catch (const Failure& failure) {
        trace::PassedOver("restore, reading what it changes", failure);
      }
    }
    std::unique_ptr<InputFile> file = host.desktop.Files().OpenRead(path);
    // Lines that change nothing leave the last undo as it was.
    if (request.undo && !(before && reach->Empty())) *request.undo = std::move(before);
    ProgressScope progress(host.desktop);
    ApplyFile(attached.ExcelSheet, *file, progress, request.lines, reach ? &*reach : nullptr, request.undo);
  });
}

void RestoreSnapshot(Host& host, Lines lines) { RestoreSnapshot(host, RestoreRequest{{}, nullptr, lines}); }

}  // namespace quarnel::snapshot
