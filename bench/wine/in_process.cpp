#include "bench/wine/in_process.hpp"

#include <memory>
#include <string>
#include <vector>

#include "bench/desktop.hpp"
#include "bench/wine/raw_client.hpp"
#include "bench/wine/sheet.hpp"
#include "bench/wine/tool_host.hpp"
#include "snapshot/commands.hpp"
#include "standin/server/application_object.hpp"
#include "standin/server/session.hpp"

namespace quarnel::bench {
namespace {

using Microsoft::WRL::ComPtr;

struct Stand {
  std::shared_ptr<standin::server::Session> session = std::make_shared<standin::server::Session>();
  ComPtr<IDispatch> raw = standin::server::MakeApplicationObject(session);
  Object app = win32::WrapDispatch(raw.Get());
  Server server{app};
};

void Tool(const Stand& stand, std::int32_t rows, std::int32_t columns, const fs::path& folder, Side& side) {
  SetUpSheet(stand.app, rows, columns);
  BenchConnector connector(stand.app);
  DiskDesktop desktop(folder);
  Host host{connector, desktop};
  const std::int64_t lines = std::int64_t{rows} + columns;

  const Stopwatch recording;
  snapshot::RecordSnapshot(host);
  const LoopTiming record = recording.Stop(lines);
  const std::vector<fs::path> snapshots = desktop.Snapshots();
  if (snapshots.size() != 1 || CheckRecord(ReadLines(snapshots[0]), columns) != rows) {
    Fail("the in-process record is wrong");
  }
  desktop.dialog.fileName = win32::ToUtf8(snapshots[0].wstring());
  ScrambleSheet(stand.app, rows, columns);
  const Stopwatch restoring;
  snapshot::RestoreSnapshot(host);
  const LoopTiming restore = restoring.Stop(lines);
  if (desktop.messages != std::vector<std::string>{"处理完毕!"}) Fail("the in-process restore failed");
  CheckRestored(stand.server, rows, columns);
  side.Add(record, restore);
}

void Raw(const Stand& stand, std::int32_t rows, std::int32_t columns, const fs::path& folder, Side& side) {
  SetUpSheet(stand.app, rows, columns);
  fs::create_directories(folder);
  const fs::path path = folder / L"raw.txt";
  const LoopTiming record = RawRecord(stand.raw.Get(), path);
  if (CheckRecord(ReadLines(path), columns) != rows) Fail("the in-process raw record is wrong");
  ScrambleSheet(stand.app, rows, columns);
  const LoopTiming restore = RawRestore(stand.raw.Get(), path);
  CheckRestored(stand.server, rows, columns);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  side.Add(record, restore);
}

}  // namespace

InProcessSides MeasureInProcess(std::int32_t rows, std::int32_t columns, int repeats,
                                const fs::path& folder) {
  const Stand stand;
  InProcessSides sides;
  for (int repeat = 0; repeat < repeats; ++repeat) {
    if (repeat % 2 == 0) Tool(stand, rows, columns, folder, sides.tool);
    Raw(stand, rows, columns, folder, sides.raw);
    if (repeat % 2 == 1) Tool(stand, rows, columns, folder, sides.tool);
  }
  return sides;
}

}  // namespace quarnel::bench
