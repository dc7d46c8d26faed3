// Figures of the record and restore commands run in-process against the stand-in model, printed one
// a line as "name: value".
//
//   quarnel_bench [rows] [columns]
//
// The record and restore figures use a sheet with column A filled to `rows` and row 1 to `columns`.
// The defaults, 65536 and 256, are the largest sheet the record looks at. The load figures always
// restore 65,536 + 256 lines.
//
// The tool's own time is measured by running the same commands against an Excel that answers
// every call at once from fixed values; the rest of a run against the model is the model's.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/text.hpp"
#include "counting_new.hpp"
#include "desktop.hpp"
#include "excel/attach.hpp"
#include "snapshot/commands.hpp"
#include "standin/model/model.hpp"

namespace quarnel::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int32_t kSnapshotColumns = 256;
constexpr const char* kChosen = "C:\\Bench\\chosen.txt";

void Print(const std::string& name, double value) { std::printf("%s: %.3f\n", name.c_str(), value); }
void Print(const std::string& name, std::uint64_t value) {
  std::printf("%s: %llu\n", name.c_str(), static_cast<unsigned long long>(value));
}

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "quarnel_bench: %s\n", why.c_str());
  std::exit(1);
}

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

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

struct Measured {
  double wallMs = 0;
  double cpuMs = 0;
  std::uint64_t calls = 0;
};

template <typename Command>
Measured Measure(standin::Model& model, Command command) {
  model.ResetCounters();
  const std::clock_t cpu = std::clock();
  const auto wall = Clock::now();
  command();
  Measured m;
  m.wallMs = Milliseconds(Clock::now() - wall);
  m.cpuMs = 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
  m.calls = model.TotalCalls();
  return m;
}

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

// ---------------------------------------------------------------------------------------------
// Load: restores of generated files, which are never held whole, with the memory the restore holds.

struct Load {
  std::uint64_t lines = 0;
  std::uint64_t bytes = 0;
  double wallMs = 0;
  double cpuMs = 0;
  std::uint64_t peakAbove = 0;
  std::uint64_t keptAfter = 0;
};

Load Restore(const LineSource& source, bool withUndo = false) {
  standin::Model model;
  model.AddWorkbook("Plan.xlsx");
  BenchConnector connector(model.Application());
  BenchDesktop desktop;
  Host host{connector, desktop};
  Load load;
  desktop.files.generated[kChosen] = [&](std::size_t index, std::string& line) {
    if (!source(index, line)) return false;
    ++load.lines;
    load.bytes += line.size() + 2;
    return true;
  };
  desktop.dialog.fileName = kChosen;
  const std::size_t before = memory::Live();
  memory::ResetPeak();
  snapshot::LastView undo;
  const Measured m = Measure(model, [&] {
    snapshot::RestoreSnapshot(host, {{}, withUndo ? &undo : nullptr});
  });
  undo.reset();
  load.peakAbove = memory::Peak() - before;
  load.keptAfter = memory::Live() - before;
  if (desktop.messages.size() != 1 || desktop.messages[0] != "处理完毕!") {
    Fail("load restore failed: " +
         (desktop.messages.empty() ? std::string("no message") : desktop.messages[0]));
  }
  if (!withUndo && model.Calls("Hidden") > load.lines)
    Fail("load restore wrote more often than it has lines");
  load.wallMs = m.wallMs;
  load.cpuMs = m.cpuMs;
  return load;
}

// A snapshot as the record command writes it for 65,536 rows and 256 columns, hidden as the
// hand-made file leaves the sheet, so that both end with a sheet of the same size.
bool SnapshotLine(std::size_t index, std::string& line) {
  constexpr std::size_t kRows = 65536;
  if (index < kRows) {
    const std::string r = std::to_string(index + 1);
    line = r + ":" + r + ((index + 1) % 997 == 0 ? "/True" : "/False");
    return true;
  }
  if (index < kRows + kSnapshotColumns) {
    const auto c = static_cast<std::int32_t>(index - kRows + 1);
    line = std::to_string(c) + (c % 16 == 0 ? "/True" : "/False");
    return true;
  }
  return false;
}

// A million lines as a person might write them: ranges, "$" rows, carried and mixed-case states,
// columns with blanks, &H, fractions and trailing text, extra pieces. Rows stay within 65,536 and
// columns within 256, so the sheet's own state cannot grow with the file.
bool HandMadeLine(std::size_t index, std::string& line) {
  if (index >= 1000000) return false;
  const std::int32_t row = static_cast<std::int32_t>((index * 7919) % 65536) + 1;
  const std::int32_t column = static_cast<std::int32_t>(index % kSnapshotColumns) + 1;
  const std::string r = std::to_string(row);
  const std::string c = std::to_string(column);
  const char* rowState = row % 997 == 0 ? "True" : "False";
  const char* columnState = column % 16 == 0 ? "True" : "False";
  char hex[16];
  std::snprintf(hex, sizeof hex, "&H%X", static_cast<unsigned>(column));
  switch (index % 10) {
    case 0: line = r + ":" + r + "/" + rowState; break;
    case 1: line = r + ":" + r + (row % 997 == 0 ? "/true" : "/false"); break;
    case 2: line = r + ":" + std::to_string(std::min(row + 3, 65536)) + "/FALSE"; break;
    case 3: line = " " + std::to_string(index % 15 + 1) + " /yes"; break;  // carries FALSE
    case 4: line = "$" + r + ":$" + r + "/" + rowState; break;
    case 5: line = c + "/" + columnState; break;
    case 6: line = std::string(hex) + "/" + columnState; break;
    case 7: line = c + ".0/" + columnState + "/extra"; break;
    case 8: line = r + ":" + r + "/" + rowState + "/x"; break;
    default: line = c + "abc/" + columnState; break;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Runs: a snapshot of 10,000 rows and 256 shown columns with `runs` hidden blocks of random length,
// restored in runs and each line alone onto a sheet with everything shown.

// With `before`, the sheet starts with those rows hidden.
Measured RestoreRuns(const std::string& snapshot, snapshot::Lines lines, std::vector<bool>& hidden,
                     bool withUndo = false, const std::vector<bool>& before = {}) {
  standin::Model model;
  model.AddWorkbook("Plan.xlsx");
  for (std::size_t row = 0; row < before.size(); ++row) {
    if (before[row])
      model.SetRowsHidden(static_cast<std::int32_t>(row + 1), static_cast<std::int32_t>(row + 1), true);
  }
  BenchConnector connector(model.Application());
  BenchDesktop desktop;
  Host host{connector, desktop};
  desktop.files.files = {{kChosen, snapshot}};
  desktop.dialog.fileName = kChosen;
  snapshot::LastView undo;
  const Measured m = Measure(model, [&] {
    snapshot::RestoreSnapshot(host, {{}, withUndo ? &undo : nullptr, lines});
  });
  if (desktop.messages.size() != 1 || desktop.messages[0] != "处理完毕!") Fail("the runs restore failed");
  if (withUndo && !undo) Fail("the runs restore kept no undo");
  hidden.clear();
  for (std::int32_t row = 1; row <= 10000; ++row) hidden.push_back(model.IsRowHidden(row));
  return m;
}

void RunsFigures() {
  constexpr std::int32_t kRows = 10000;
  std::mt19937 random(26);
  for (const int runs : {100, 1000}) {
    // 2 * runs blocks, shown and hidden by turns, cut at distinct random rows.
    std::set<std::int32_t> cuts;
    while (cuts.size() < 2 * static_cast<std::size_t>(runs)) {
      cuts.insert(std::uniform_int_distribution<std::int32_t>(2, kRows)(random));
    }
    std::vector<bool> expected(kRows + 1, false);
    bool hiddenNow = false;
    for (std::int32_t row = 1; row <= kRows; ++row) {
      if (cuts.contains(row)) hiddenNow = !hiddenNow;
      expected[row] = hiddenNow;
    }
    std::string text;
    for (std::int32_t row = 1; row <= kRows; ++row) {
      text += std::to_string(row) + ":" + std::to_string(row) + (expected[row] ? "/True\r\n" : "/False\r\n");
    }
    for (std::int32_t c = 1; c <= kSnapshotColumns; ++c) text += std::to_string(c) + "/False\r\n";
    expected.erase(expected.begin());
    std::vector<bool> inRuns;
    std::vector<bool> alone;
    const Measured a = RestoreRuns(text, snapshot::Lines::InRuns, inRuns);
    const Measured b = RestoreRuns(text, snapshot::Lines::EachAlone, alone);
    std::vector<bool> withUndo;
    const Measured c = RestoreRuns(text, snapshot::Lines::InRuns, withUndo, true);
    std::vector<bool> again;
    const Measured d = RestoreRuns(text, snapshot::Lines::InRuns, again, true, expected);
    if (inRuns != expected || alone != expected || withUndo != expected)
      Fail("a runs restore left other rows hidden");
    const std::string name = "restore model calls, 10000 rows, " + std::to_string(runs) + " hidden runs, ";
    Print(name + "in runs", a.calls);
    Print(name + "each line alone", b.calls);
    Print(name + "ratio", static_cast<double>(a.calls) / static_cast<double>(b.calls));
    Print(name + "in runs with the undo read first", c.calls);
    Print(name + "in runs with the undo read first, onto a sheet already so", d.calls);
  }
}

void LoadFigures() {
  const auto print = [](const std::string& name, const Load& load) {
    Print("load " + name + " lines", load.lines);
    Print("load " + name + " file bytes", load.bytes);
    Print("load " + name + " wall time (ms)", load.wallMs);
    Print("load " + name + " cpu time per line (us)", 1000.0 * load.cpuMs / static_cast<double>(load.lines));
    Print("load " + name + " peak live bytes above start", load.peakAbove);
    Print("load " + name + " live bytes kept after", load.keptAfter);
    Print("load " + name + " peak live bytes above what is kept", load.peakAbove - load.keptAfter);
  };
  const Load snapshot = Restore(SnapshotLine);
  const Load handMade = Restore(HandMadeLine);
  const Load snapshotUndo = Restore(SnapshotLine, true);
  print("snapshot", snapshot);
  print("hand-made", handMade);
  print("snapshot with undo", snapshotUndo);
  Print("load peak bytes per file byte (hand-made)",
        static_cast<double>(handMade.peakAbove) / static_cast<double>(handMade.bytes));
}

}  // namespace
}  // namespace quarnel::bench

int main(int argc, char** argv) {
  std::int32_t rows = 65536;
  std::int32_t columns = 256;
  if (argc > 1) rows = static_cast<std::int32_t>(std::strtol(argv[1], nullptr, 10));
  if (argc > 2) columns = static_cast<std::int32_t>(std::strtol(argv[2], nullptr, 10));
  if (rows < 1 || rows > 65536 || columns < 1 || columns > 256) {
    std::fprintf(stderr, "usage: quarnel_bench [rows 1..65536] [columns 1..256]\n");
    return 2;
  }
  quarnel::bench::RecordRestoreFigures(rows, columns);
  quarnel::bench::LoadFigures();
  quarnel::bench::RunsFigures();
  return 0;
}
