#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/text.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/hidden_lines.hpp"
#include "snapshot/last_used.hpp"
#include "snapshot/lines.hpp"
#include "snapshot/name.hpp"

namespace quarnel::snapshot {

using excel::Object;
using 链接cad及excel::AttachExcel;
using 链接cad及excel::Handles;

namespace {

// Collects lines and hands them to the file in blocks.
class BlockWriter {
 public:
  explicit BlockWriter(OutputFile& file) : file_(file) {}
  void Add(const std::string& line) {
    block_ += line;
    if (block_.size() >= kBlock) Flush();
  }
  void Flush() {
    if (!block_.empty()) file_.Write(block_);
    block_.clear();
  }

 private:
  static constexpr std::size_t kBlock = 64 * 1024;
  OutputFile& file_;
  std::string block_;
};

// Tries the names that `nameAt` gives for first, first + 1, ... until one is not taken.
template <typename Attempt, typename NameAt>
auto FirstFreeName(Attempt attempt, NameAt nameAt, int first = 1) {
  for (int n = first;; ++n) {
    try {
      return attempt(nameAt(n));
    } catch (const Failure& failure) {
      if (failure.Number() != errors::kFileAlreadyExists || n == kNameAttempts) throw;
    }
  }
}

// What a snapshot's names are made of: the workbook's name, the note, the stamp and the folder.
struct Naming {
  std::string workbookName;
  std::string note;
  std::string stamp;
  std::string folder;
  int firstFree = 1;  // the attempt whose name was not taken when the record began

  std::string Name() const { return SnapshotFileName(workbookName, note, stamp); }
  std::string Path(int n) const { return folder + "\\" + AttemptedFileName(Name(), n); }
  std::optional<Failure> Refusal(int attempt) const {
    return RefuseLength(workbookName, note, stamp, folder, attempt);
  }
};

// The snapshot's naming, or nothing once the user has been told why there can be none: a
// forbidden character in the note would send the file elsewhere or make it impossible to create,
// and a name or path beyond Windows' limits would be refused as a file not found. The tool goes on.
std::optional<Naming> AcceptedNaming(Desktop& desktop, const std::string& workbookName,
                                     const std::string& folder) {
  Naming naming{workbookName, std::string(TrimSpaces(desktop.NoteText())), Stamp(desktop.LocalDateTimeText()),
                folder};
  std::optional<Failure> refusal = RefuseNote(naming.note);
  if (!refusal) {
    // A second record within the same second takes a numbered name; whether that still fits is
    // known now, before a whole sheet is read for nothing.
    while (naming.firstFree < kNameAttempts && desktop.Files().Exists(naming.Path(naming.firstFree))) {
      ++naming.firstFree;
    }
    refusal = naming.Refusal(naming.firstFree);
  }
  if (refusal) {
    desktop.ShowMessage(refusal->Description());
    return std::nullopt;
  }
  return naming;
}

// Every row's and then every column's record, in blocks, each stretch asked of Excel by runs.
void WriteRecords(const Object& ExcelSheet, OutputFile& file, Desktop& desktop, LastUsed& lastUsed,
                  std::int32_t lastRow) {
  ProgressScope progress(desktop);
  BlockWriter writer(file);
  // The columns are counted only after the rows: until then, the most there can be.
  const auto rows = static_cast<std::uint64_t>(lastRow);
  HiddenLines rowLines(ExcelSheet, HiddenLines::Axis::Rows);
  // Shown before the first stretch is asked, which may take a while.
  progress.Show(0, rows + kLastUsedColumns);
  for (std::int32_t first = 1; first <= lastRow; first += HiddenLines::kMostAsked) {
    const std::int32_t last = std::min(lastRow, first + HiddenLines::kMostAsked - 1);
    const std::vector<bool> hidden = rowLines.Read(first, last);
    for (std::int32_t row = first; row <= last; ++row) {
      writer.Add(RowRecord(row, hidden[static_cast<std::size_t>(row - first)]));
      progress.Show(static_cast<std::uint64_t>(row), rows + kLastUsedColumns);
    }
  }
  const std::int32_t lastColumn = lastUsed.Column();
  const std::uint64_t total = rows + static_cast<std::uint64_t>(lastColumn);
  // At most 256 columns: one stretch.
  const std::vector<bool> hidden = HiddenLines(ExcelSheet, HiddenLines::Axis::Columns).Read(1, lastColumn);
  for (std::int32_t column = 1; column <= lastColumn; ++column) {
    writer.Add(ColumnRecord(column, hidden[static_cast<std::size_t>(column - 1)]));
    progress.Show(rows + static_cast<std::uint64_t>(column), total);
  }
  writer.Flush();
  file.Close();
}

}  // namespace

void RecordSnapshot(Host& host) {
  const Handles attached = AttachExcel(host);
  const std::string workbookName = excel::ToText(attached.ExcelBook.Get("Name"));
  const std::optional<Naming> naming =
      AcceptedNaming(host.desktop, workbookName, host.desktop.ProgramFolder());
  if (!naming) return;

  LastUsed lastUsed(attached.ExcelApp, attached.ExcelSheet);
  const std::int32_t lastRow = lastUsed.Row();

  // Written under a name no reader takes for a snapshot, and renamed only once complete.
  FileSystem& files = host.desktop.Files();
  const std::string folder = naming->folder + "\\";
  std::string partPath;
  std::unique_ptr<OutputFile> file = FirstFreeName(
      [&](const std::string& path) {
        auto created = files.CreateNew(path);
        partPath = path;
        return created;
      },
      [&](int n) { return folder + PartFileName(n); });
  try {
    WriteRecords(attached.ExcelSheet, *file, host.desktop, lastUsed, lastRow);
    file.reset();
    // Two records within the same second never replace one another, also when another program
    // took the name meanwhile. A numbered name that no longer fits is refused as the first would
    // have been.
    FirstFreeName([&](const std::string& path) { files.RenameNoReplace(partPath, path); },
                  [&](int n) {
                    if (std::optional<Failure> refusal = naming->Refusal(n)) throw *refusal;
                    return naming->Path(n);
                  },
                  naming->firstFree);
  } catch (...) {
    file.reset();
    files.Remove(partPath);
    const Failure failure = CurrentFailure();
    if (failure.Number() != errors::kNameTooLong) throw;
    host.desktop.ShowMessage(failure.Description());
  }
}

}  // namespace quarnel::snapshot
