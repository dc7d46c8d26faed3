// Runs: a snapshot of 10,000 rows and 256 shown columns with `runs` hidden blocks of random length,
// restored in runs and each line alone onto a sheet with everything shown.

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "desktop.hpp"
#include "excel/attach.hpp"
#include "measure.hpp"
#include "snapshot/commands.hpp"

namespace quarnel::bench {
namespace {

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

}  // namespace

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

}  // namespace quarnel::bench
