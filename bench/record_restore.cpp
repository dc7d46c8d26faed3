// Record and restore of a filled sheet against the stand-in model, and the same commands against an
// Excel that answers at once: the difference is the model's, the rest the tool's own.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "common/text.hpp"
#include "desktop.hpp"
#include "excel/attach.hpp"
#include "measure.hpp"
#include "snapshot/commands.hpp"

namespace quarnel::bench {
namespace {

bool SameName(std::string_view a, std::string_view b) { return AsciiLower(a) == AsciiLower(b); }

// An Excel that answers at once, without allocating, for a sheet of `rows` by `columns`: the
// commands' time against it is the tool's own.
class InstantExcel : public excel::Dispatch {
 public:
  InstantExcel(std::int32_t rows, std::int32_t columns) : rows_(rows), columns_(columns) {}
  static excel::Object Make(std::int32_t rows, std::int32_t columns) {
    auto excel = std::make_shared<InstantExcel>(rows, columns);
    excel->self_ = excel;
    return excel::Object(excel);
  }

  excel::Value Invoke(std::string_view member, excel::CallKind kind, std::span<const excel::Value>) override {
    ++calls;
    if (kind == excel::CallKind::Put) return {};
    if (SameName(member, "Hidden")) return (calls & 4) != 0;
    if (SameName(member, "Row")) return rows_;
    if (SameName(member, "Column")) return columns_;
    if (SameName(member, "Count")) return std::int32_t{1};
    if (SameName(member, "Name")) return std::string("Plan.xlsx");
    if (SameName(member, "Caption")) return std::string("Microsoft Excel");
    // Nothing filled beyond the corners the moves stop at.
    if (SameName(member, "CountA")) return 0.0;
    // No file in Protected View in front.
    if (SameName(member, "ActiveProtectedViewWindow")) return excel::Object();
    // The corner cells are empty: the moves from them give the sheet's size.
    if (SameName(member, "Value")) return {};
    // Workbooks, ActiveWorkbook, Sheets, ActiveSheet, cells, end, Rows, Columns and the entire rows
    // and columns: all the same object.
    return excel::Object(self_.lock());
  }

  std::uint64_t calls = 0;

 private:
  std::int32_t rows_;
  std::int32_t columns_;
  std::weak_ptr<InstantExcel> self_;
};

bool RecordedRowHidden(std::int32_t row) { return row % 7 == 0; }
bool RecordedColumnHidden(std::int32_t column) { return column % 5 == 0; }

struct RoundTrip {
  Measured record;
  Measured restore;
  std::uint64_t lines = 0;
  std::uint64_t rows = 0;
  std::uint64_t columns = 0;
  std::string snapshot;
};

// Column A to `rows`, row 1 to `columns`; record, scramble the sheet, restore, check.
RoundTrip RecordAndRestore(std::int32_t rows, std::int32_t columns) {
  standin::Model model;
  model.AddWorkbook("Plan.xlsx");
  for (std::int32_t row = 1; row <= rows; ++row) model.SetCell(row, 1, 1.0);
  for (std::int32_t column = 1; column <= columns; ++column) model.SetCell(1, column, 1.0);
  for (std::int32_t row = 1; row <= rows; ++row) model.SetRowsHidden(row, row, RecordedRowHidden(row));
  for (std::int32_t c = 1; c <= columns; ++c) model.SetColumnsHidden(c, c, RecordedColumnHidden(c));

  BenchConnector connector(model.Application());
  BenchDesktop desktop;
  Host host{connector, desktop};
  RoundTrip result;
  result.record = Measure(model, [&] { snapshot::RecordSnapshot(host); });
  if (desktop.files.files.size() != 1) Fail("the record wrote no snapshot");
  const auto& [path, content] = *desktop.files.files.begin();
  for (char c : content) result.lines += c == '\n';
  for (char c : content.substr(0, content.find("\r\n1/"))) result.rows += c == '\n';
  result.rows += 1;
  result.columns = result.lines - result.rows;

  for (std::int32_t row = 1; row <= rows; ++row) model.SetRowsHidden(row, row, row % 3 == 0);
  model.SetColumnsHidden(1, columns, true);
  desktop.dialog.fileName = path;
  result.restore = Measure(model, [&] { snapshot::RestoreSnapshot(host); });
  if (desktop.messages.size() != 1 || desktop.messages[0] != "处理完毕!")
    Fail("the restore did not complete");
  for (std::int32_t row = 1; row <= static_cast<std::int32_t>(result.rows); ++row) {
    if (model.IsRowHidden(row) != RecordedRowHidden(row))
      Fail("row " + std::to_string(row) + " not restored");
  }
  for (std::int32_t c = 1; c <= static_cast<std::int32_t>(result.columns); ++c) {
    if (model.IsColumnHidden(c) != RecordedColumnHidden(c))
      Fail("column " + std::to_string(c) + " not restored");
  }
  result.snapshot = content;
  return result;
}

// The same record and restore against an Excel that costs nothing.
std::pair<Measured, Measured> ToolOnly(std::int32_t rows, std::int32_t columns, const std::string& snapshot) {
  standin::Model unused;
  const excel::Object excel = InstantExcel::Make(rows, columns);
  BenchConnector connector(excel);
  BenchDesktop desktop;
  Host host{connector, desktop};
  const Measured record = Measure(unused, [&] { snapshot::RecordSnapshot(host); });
  desktop.files.files = {{kChosen, snapshot}};
  desktop.dialog.fileName = kChosen;
  const Measured restore = Measure(unused, [&] { snapshot::RestoreSnapshot(host); });
  if (desktop.messages.size() != 1 || desktop.messages[0] != "处理完毕!") Fail("the instant restore failed");
  return {record, restore};
}

}  // namespace

void RecordRestoreFigures(std::int32_t rows, std::int32_t columns) {
  const RoundTrip model = RecordAndRestore(rows, columns);
  const auto [record, restore] = ToolOnly(static_cast<std::int32_t>(model.rows),
                                          static_cast<std::int32_t>(model.columns), model.snapshot);
  const auto lines = static_cast<double>(model.lines);
  const auto perLineUs = [lines](double ms) { return 1000.0 * ms / lines; };
  Print("rows", static_cast<std::uint64_t>(rows));
  Print("columns", static_cast<std::uint64_t>(columns));
  Print("recorded rows", model.rows);
  Print("recorded columns", model.columns);
  Print("snapshot lines", model.lines);
  Print("model calls per recorded row", static_cast<double>(model.record.calls) / lines);
  Print("model calls per restored line", static_cast<double>(model.restore.calls) / lines);
  Print("record wall time (ms)", model.record.wallMs);
  Print("restore wall time (ms)", model.restore.wallMs);
  Print("record cpu time per row (us)", perLineUs(model.record.cpuMs));
  Print("restore cpu time per line (us)", perLineUs(model.restore.cpuMs));
  Print("tool cpu time per row (us)", perLineUs(record.cpuMs));
  Print("tool cpu time per restored line (us)", perLineUs(restore.cpuMs));
}

}  // namespace quarnel::bench
