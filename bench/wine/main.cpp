// Figures of the record and restore commands run through COM against the stand-in server in its
// own process, as against Excel; printed one a line as "name: value".
//
//   quarnel_wine_bench [rows] [columns] [naive rows] [repeats]
//
// Each run sets up a new workbook through automation (bench/wine/sheet.hpp). The record and
// restore commands run with names looked up once, side by side with the same loops written
// straight on IDispatch (the limit) and in VBScript under cscript (the peer), `repeats` times in
// turn; times are the medians, spreads (max - min) / median. The commands run once more on a
// smaller sheet (`naive rows`) with a look-up before every call. Round trips come from the
// server's own counters, GetIDsOfNames and Invoke apart. Every line recorded and a sample of the
// rows and all the columns restored are checked, for all three. The commands and the raw client
// also run against the stand-in's objects inside this process, where no round trip hides what the
// commands cost of their own.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// First: the Windows headers, without their GetObject macro, before any other includes them.
#include "common/win32/win_headers.hpp"
//
#include "app/win32/clock.hpp"
#include "app/win32/files.hpp"
#include "bench/desktop.hpp"
#include "bench/wine/hidden_runs.hpp"
#include "bench/wine/hide_click.hpp"
#include "bench/wine/in_process.hpp"
#include "bench/wine/look_up_every_call.hpp"
#include "bench/wine/raw_client.hpp"
#include "bench/wine/sheet.hpp"
#include "bench/wine/tool_host.hpp"
#include "bench/wine/vbscript_loops.hpp"
#include "excel/attach.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/dispatch.hpp"
#include "snapshot/commands.hpp"

namespace quarnel::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using excel::Object;

constexpr std::string_view kProgId = "Excel.Application";
constexpr int kBareCalls = 1000;
constexpr int kClicks = 60;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

Object StartServer() {
  win32::ComConnector connector;
  try {
    return connector.GetRunning(kProgId);
  } catch (const Failure&) {
    return connector.Start(kProgId);
  }
}

struct Command : LoopTiming {
  Server::Counters counters;
  double RoundTrips() const { return double(counters.names + counters.invokes) / double(lines); }
  double Names() const { return double(counters.names) / double(lines); }
  double Invokes() const { return double(counters.invokes) / double(lines); }
};

struct Run {
  std::int32_t recordedRows = 0;
  Command record;
  Command restore;
};

template <typename Body>
Command Measure(const Server& server, std::int64_t lines, Body body) {
  server.ResetCounters();
  const Stopwatch watch;
  body();
  Command command;
  static_cast<LoopTiming&>(command) = watch.Stop(lines);
  command.counters = server.Read();
  return command;
}

Run RecordAndRestore(const Server& server, std::int32_t rows, std::int32_t columns, NameLookup lookup,
                     const fs::path& folder) {
  SetUpSheet(server.App(), rows, columns);
  ToolConnector connector(lookup);
  DiskDesktop desktop(folder);
  Host host{connector, desktop};
  Run run;

  run.record = Measure(server, 0, [&] { snapshot::RecordSnapshot(host); });
  const auto snapshots = desktop.Snapshots();
  if (snapshots.size() != 1 || !desktop.messages.empty()) Fail("the record wrote no snapshot");
  const std::vector<std::string> lines = ReadLines(snapshots[0]);
  run.record.lines = static_cast<std::int64_t>(lines.size());
  run.recordedRows = CheckRecord(lines, columns);

  if (run.recordedRows != rows || run.record.lines != std::int64_t{rows} + columns) {
    Fail("the record did not take the whole sheet");
  }
  desktop.dialog.fileName = win32::ToUtf8(snapshots[0].wstring());

  ScrambleSheet(server.App(), rows, columns);
  run.restore = Measure(server, run.record.lines, [&] { snapshot::RestoreSnapshot(host); });
  if (desktop.messages != std::vector<std::string>{"处理完毕!"}) {
    Fail("the restore did not complete: " +
         (desktop.messages.empty() ? std::string() : desktop.messages.back()));
  }
  CheckRestored(server, rows, columns);
  return run;
}

// One round trip with nothing of the tool's in it: the DISPID known, the same call made again.
double BareCallMs(const Object& target, const wchar_t* member, const std::wstring& argument = {}) {
  IDispatch* raw = RawOf(target);
  std::wstring name(member);
  LPOLESTR names[] = {name.data()};
  DISPID id = 0;
  if (FAILED(raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) Fail("no such member");
  win32::Variant text;
  if (!argument.empty()) {
    V_VT(&text.Get()) = VT_BSTR;
    V_BSTR(&text.Get()) = SysAllocString(argument.c_str());
  }
  DISPPARAMS params{argument.empty() ? nullptr : &text.Get(), nullptr, argument.empty() ? 0u : 1u, 0};
  const auto start = Clock::now();
  for (int i = 0; i < kBareCalls; ++i) {
    win32::Variant result;  // an object's proxy is let go here, as the commands let theirs go
    if (FAILED(raw->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                           result.Out(), nullptr, nullptr))) {
      Fail("the bare call failed");
    }
  }
  return Milliseconds(Clock::now() - start) / kBareCalls;
}

void PrintRun(const std::string& prefix, const Run& run, std::int32_t rows, std::int32_t columns,
              double bareMs) {
  Print(prefix + "rows", std::int64_t{rows});
  Print(prefix + "columns", std::int64_t{columns});
  Print(prefix + "recorded rows", std::int64_t{run.recordedRows});
  Print(prefix + "recorded lines", run.record.lines);
  Print(prefix + "round trips per recorded row", run.record.RoundTrips());
  Print(prefix + "get ids of names per recorded row", run.record.Names());
  Print(prefix + "invoke per recorded row", run.record.Invokes());
  Print(prefix + "round trips per restored line", run.restore.RoundTrips());
  Print(prefix + "get ids of names per restored line", run.restore.Names());
  Print(prefix + "invoke per restored line", run.restore.Invokes());
  Print(prefix + "record time (ms)", run.record.ms);
  Print(prefix + "restore time (ms)", run.restore.ms);
  Print(prefix + "time per recorded row (ms)", run.record.PerLine());
  Print(prefix + "time per restored line (ms)", run.restore.PerLine());
  Print(prefix + "overhead ratio record", run.record.PerLine() / (3 * bareMs));
  Print(prefix + "overhead ratio restore", run.restore.PerLine() / (3 * bareMs));
}

struct Sides {
  Side tool, raw, vbscript;
  Run first;  // the tool's first run, for its counters
};

void ToolRecordAndRestore(const Server& server, std::int32_t rows, std::int32_t columns,
                          const fs::path& folder, Sides& sides) {
  const Run run = RecordAndRestore(server, rows, columns, NameLookup::Once, folder);
  if (sides.tool.record.Empty()) sides.first = run;
  sides.tool.Add(run.record, run.restore);
}

// The raw client on the same sheet as the commands, checked the same way.
void RawRecordAndRestore(const Server& server, std::int32_t rows, std::int32_t columns,
                         const fs::path& folder, Side& side) {
  SetUpSheet(server.App(), rows, columns);
  IDispatch* app = dynamic_cast<const win32::DispatchClient&>(*server.App().Get()).Raw();
  fs::create_directories(folder);
  const fs::path path = folder / L"raw.txt";
  const LoopTiming record = RawRecord(app, path);
  const std::vector<std::string> lines = ReadLines(path);
  if (CheckRecord(lines, columns) != rows || record.lines != std::int64_t{rows} + columns) {
    Fail("the raw record did not take the whole sheet");
  }
  ScrambleSheet(server.App(), rows, columns);
  const LoopTiming restore = RawRestore(app, path);
  CheckRestored(server, rows, columns);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  side.Add(record, restore);
}

void VbscriptRecordAndRestore(std::int32_t rows, std::int32_t columns, const fs::path& folder, Side& side) {
  fs::create_directories(folder);
  const VbscriptRun run = RunVbscriptLoops(rows, columns, folder / L"vbscript.txt");
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  side.Add(run.record, run.restore);
}

void PrintSide(const std::string& prefix, const Side& side) {
  Print(prefix + "time per recorded row (ms)", side.record.Median());
  Print(prefix + "time per restored line (ms)", side.restore.Median());
  Print(prefix + "time per recorded row spread (%)", side.record.SpreadPercent());
  Print(prefix + "time per restored line spread (%)", side.restore.SpreadPercent());
}

void PrintComparison(const Side& tool, const Side& raw, const Side& vbscript) {
  PrintSide("raw client ", raw);
  PrintSide("vbscript ", vbscript);
  // The client's own work apart from the waits on the server.
  Print("client cpu per recorded row (ms)", tool.recordCpu.Median());
  Print("client cpu per restored line (ms)", tool.restoreCpu.Median());
  Print("raw client cpu per recorded row (ms)", raw.recordCpu.Median());
  Print("raw client cpu per restored line (ms)", raw.restoreCpu.Median());
  Print("ratio to raw client record", tool.record.Median() / raw.record.Median());
  Print("ratio to raw client restore", tool.restore.Median() / raw.restore.Median());
  Print("speed-up over vbscript record", vbscript.record.Median() / tool.record.Median());
  Print("speed-up over vbscript restore", vbscript.restore.Median() / tool.restore.Median());
}

// Per line, in microseconds: the commands' own cost is what they take beyond the raw client.
void PrintInProcess(const InProcessSides& in) {
  const auto us = [](const Series& series) { return series.Median() * 1000; };
  Print("in-process time per recorded row (us)", us(in.tool.record));
  Print("in-process time per restored line (us)", us(in.tool.restore));
  Print("in-process raw client time per recorded row (us)", us(in.raw.record));
  Print("in-process raw client time per restored line (us)", us(in.raw.restore));
  Print("tool's own cost per recorded row (us)", us(in.tool.record) - us(in.raw.record));
  Print("tool's own cost per restored line (us)", us(in.tool.restore) - us(in.raw.restore));
}

// Where a click's time goes: the raw client's steps, the tool's total beside it. The raw client
// holds the workbook and sheet from click to click as the tool holds its handles; under Wine a
// proxy let go a click later costs more than one let go at once, which the last figure shows.
void PrintClicks(const ClickFigures& clicks) {
  Print("hide clicks", static_cast<std::int64_t>(kClicks));
  Print("time per hide click (ms)", clicks.tool.Median());
  Print("raw client time per hide click (ms)", clicks.raw.Median());
  Print("ratio to raw client click", clicks.tool.Median() / clicks.raw.Median());
  Print("raw client time per hide click, objects let go at once (ms)", clicks.rawLettingGo.Median());
  Print("round trips per hide click", clicks.toolRoundTrips);
  Print("raw click: window search (ms)", clicks.search.Median());
  Print("raw click: application from the window (ms)", clicks.application.Median());
  Print("raw click: attach (ms)", clicks.attach.Median());
  Print("raw click: bring to front (ms)", clicks.activate.Median());
  Print("raw click: hide the row (ms)", clicks.command.Median());
}

// The tool, the raw client and VBScript, each repeat starting with the next way, so that a machine
// growing busier or quieter over the run favours none of them.
Sides MeasureSides(Server& server, std::int32_t rows, std::int32_t columns, int repeats,
                   const fs::path& folder) {
  Sides sides;
  for (int repeat = 0; repeat < repeats; ++repeat) {
    for (int i = 0; i < 3; ++i) {
      switch ((repeat + i) % 3) {
        case 0: ToolRecordAndRestore(server, rows, columns, folder, sides); break;
        case 1: RawRecordAndRestore(server, rows, columns, folder, sides.raw); break;
        default: VbscriptRecordAndRestore(rows, columns, folder, sides.vbscript);
      }
    }
  }
  return sides;
}

int Main(std::int32_t rows, std::int32_t columns, std::int32_t naiveRows, int repeats) {
  win32::ComInit com;
  const fs::path folder =
      fs::temp_directory_path() / ("quarnel-bench-" + std::to_string(GetCurrentProcessId()));
  Server server(StartServer());
  const double bareMs = BareCallMs(server.App(), L"Visible");
  Print("bare call (ms)", bareMs);
  // A call that hands out a new object costs more than one round trip in COM itself (the new
  // proxy, its release), which no Invoke counter sees.
  SetUpSheet(server.App(), 1, 1);
  Print("bare call returning an object (ms)",
        BareCallMs(server.App().GetObject("ActiveSheet"), L"Rows", L"1:1"));

  // First, as it is quick and needs no other process.
  const InProcessSides inProcess = MeasureInProcess(rows, columns, repeats, folder);
  Sides sides = MeasureSides(server, rows, columns, repeats, folder);
  Run& first = sides.first;
  const Side& tool = sides.tool;
  first.record.ms = tool.record.Median() * double(first.record.lines);
  first.restore.ms = tool.restore.Median() * double(first.restore.lines);
  Print("repeats", std::int64_t{repeats});
  PrintRun("", first, rows, columns, bareMs);
  Print("time per recorded row spread (%)", tool.record.SpreadPercent());
  Print("time per restored line spread (%)", tool.restore.SpreadPercent());
  PrintComparison(tool, sides.raw, sides.vbscript);
  PrintInProcess(inProcess);
  std::fflush(stdout);

  PrintClicks(MeasureHideClicks(server, kClicks, folder));
  std::fflush(stdout);

  const Run naive = RecordAndRestore(server, naiveRows, columns, NameLookup::EveryCall, folder);
  PrintRun("naive ", naive, naiveRows, columns, bareMs);
  std::fflush(stdout);

  // Big sheets with blocks of hidden rows, where asking about runs pays; one by one only where it
  // takes no more than a minute or two under Wine.
  for (const std::int32_t runs : {100, 1000}) PrintHiddenRuns(server, 10000, 256, runs, true, folder);
  PrintHiddenRuns(server, 65536, 256, 1000, false, folder);

  server.App().Call("Quit");
  return 0;
}

}  // namespace
}  // namespace quarnel::bench

int main(int argc, char** argv) {
  const auto arg = [&](int i, long fallback) {
    return argc > i ? std::strtol(argv[i], nullptr, 10) : fallback;
  };
  const long rows = arg(1, 1000);
  const long columns = arg(2, 255);
  const long naiveRows = arg(3, std::min(rows, 300L));
  const long repeats = arg(4, 3);
  if (rows < 1 || rows > 65536 || columns < 1 || columns > 256 || naiveRows < 1 || naiveRows > 65536 ||
      repeats < 1 || repeats > 100) {
    std::fprintf(stderr,
                 "usage: quarnel_wine_bench [rows 1..65536] [columns 1..256] [naive rows 1..65536] "
                 "[repeats 1..100]\n");
    return 2;
  }
  try {
    return quarnel::bench::Main(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(columns),
                                static_cast<std::int32_t>(naiveRows), static_cast<int>(repeats));
  } catch (const quarnel::Failure& failure) {
    std::fprintf(stderr, "quarnel_wine_bench: failure %d: %s\n", static_cast<int>(failure.Number()),
                 failure.Description().c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quarnel_wine_bench: %s\n", error.what());
  }
  return 1;
}
