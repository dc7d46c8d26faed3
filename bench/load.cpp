// Load: restores of generated files, which are never held whole, with the memory the restore holds.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "counting_new.hpp"
#include "desktop.hpp"
#include "excel/attach.hpp"
#include "measure.hpp"
#include "snapshot/commands.hpp"

namespace quarnel::bench {
namespace {

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

}  // namespace

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

}  // namespace quarnel::bench
