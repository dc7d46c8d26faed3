#include "bench/wine/hidden_runs.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/wine/figures.hpp"
#include "bench/wine/look_up_every_call.hpp"
#include "bench/wine/raw_client.hpp"
#include "bench/wine/tool_host.hpp"
#include "common/text.hpp"
#include "excel/addresses.hpp"
#include "snapshot/commands.hpp"

namespace quarnel::bench {
namespace {

namespace fs = std::filesystem;
using Run = std::pair<std::int32_t, std::int32_t>;  // first and last hidden row

struct Cost {
  std::int64_t calls = 0;
  double ms = 0;
};

// `count` runs of random length, each in a slot of its own with a shown row after it, the first
// and last rows shown so that the last used row is the same whichever way it is found. The same
// seed, the same sheet.
std::vector<Run> RandomRuns(std::int32_t rows, std::int32_t count) {
  std::mt19937 random(20261209u + static_cast<unsigned>(count));
  const std::int32_t slot = (rows - 2) / count;
  std::vector<Run> runs;
  for (std::int32_t n = 0; n < count; ++n) {
    const std::int32_t length =
        std::uniform_int_distribution<std::int32_t>(1, std::min(slot - 1, 64))(random);
    const std::int32_t first =
        2 + n * slot + std::uniform_int_distribution<std::int32_t>(0, slot - 1 - length)(random);
    runs.emplace_back(first, first + length - 1);
  }
  return runs;
}

void SetUp(const excel::Object& app, std::int32_t rows, std::int32_t columns, const std::vector<Run>& runs) {
  SetUpSheet(app, rows, columns);
  const excel::Object sheet = app.GetObject("ActiveSheet");
  sheet.GetObject("Rows", {RowsAddress(1, rows)}).Put("Hidden", false);
  for (const auto& [first, last] : runs)
    sheet.GetObject("Rows", {RowsAddress(first, last)}).Put("Hidden", true);
}

void ShowEveryRow(const excel::Object& app, std::int32_t rows) {
  app.GetObject("ActiveSheet").GetObject("Rows", {RowsAddress(1, rows)}).Put("Hidden", false);
}

void CheckRuns(const Server& server, const std::vector<Run>& runs) {
  for (const auto& [first, last] : runs) {
    if (server.RowIsHidden(first - 1) || !server.RowIsHidden(first) || !server.RowIsHidden(last) ||
        server.RowIsHidden(last + 1)) {
      Fail("the run " + RowsAddress(first, last) + " was not restored");
    }
  }
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename Body>
Cost Counted(const Server& server, Body body) {
  server.ResetCounters();
  const Stopwatch watch;
  body();
  Cost cost;
  cost.ms = watch.Stop(1).ms;
  const Server::Counters counters = server.Read();
  cost.calls = counters.names + counters.invokes;
  return cost;
}

}  // namespace

void PrintHiddenRuns(const Server& server, std::int32_t rows, std::int32_t columns, std::int32_t count,
                     bool oneByOne, const fs::path& folder) {
  const std::vector<Run> runs = RandomRuns(rows, count);
  SetUp(server.App(), rows, columns, runs);

  ToolConnector connector(NameLookup::Once);
  DiskDesktop desktop(folder / L"runs");
  Host host{connector, desktop};
  const Cost record = Counted(server, [&] { snapshot::RecordSnapshot(host); });
  const std::vector<fs::path> snapshots = desktop.Snapshots();
  if (snapshots.size() != 1 || !desktop.messages.empty()) Fail("the record by runs wrote no snapshot");
  ShowEveryRow(server.App(), rows);
  desktop.dialog.fileName = win32::ToUtf8(snapshots[0].wstring());
  const Cost restore = Counted(server, [&] { snapshot::RestoreSnapshot(host); });
  if (desktop.messages != std::vector<std::string>{"处理完毕!"}) Fail("the restore of the runs failed");
  CheckRuns(server, runs);

  const std::string prefix = std::to_string(rows) + " rows, " + std::to_string(runs.size()) + " runs, ";
  Print(prefix + "record calls", record.calls);
  Print(prefix + "record time (ms)", record.ms);
  Print(prefix + "restore calls", restore.calls);
  Print(prefix + "restore time (ms)", restore.ms);
  if (!oneByOne) return;

  IDispatch* app = RawOf(server.App());
  const fs::path path = folder / L"one-by-one.txt";
  const Cost rawRecord = Counted(server, [&] { RawRecord(app, path); });
  if (Bytes(path) != Bytes(snapshots[0])) Fail("the record by runs wrote another file than one by one");
  ShowEveryRow(server.App(), rows);
  const Cost rawRestore = Counted(server, [&] { RawRestore(app, path); });
  CheckRuns(server, runs);
  std::error_code ignored;
  fs::remove(path, ignored);

  Print(prefix + "record calls, one by one", rawRecord.calls);
  Print(prefix + "record time, one by one (ms)", rawRecord.ms);
  Print(prefix + "restore calls, one by one", rawRestore.calls);
  Print(prefix + "restore time, one by one (ms)", rawRestore.ms);
  Print(prefix + "ratio of calls, record", double(record.calls) / double(rawRecord.calls));
  Print(prefix + "ratio of time, record", record.ms / rawRecord.ms);
  Print(prefix + "ratio of calls, restore", double(restore.calls) / double(rawRestore.calls));
  Print(prefix + "ratio of time, restore", restore.ms / rawRestore.ms);
}

}  // namespace quarnel::bench
