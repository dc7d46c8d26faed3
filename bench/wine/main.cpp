// Figures of the record and restore commands run through COM against the stand-in server in its
// own process, as against Excel; printed one a line as "name: value".
//
//   quarnel_wine_bench [rows] [columns] [naive rows]
//
// Each run sets up a new workbook through automation: column A filled to `rows`, row 1 to
// `columns`, every 97th row and 16th column hidden. The record and restore commands then run with
// names looked up once, and again on a smaller sheet (`naive rows`) with a look-up before every
// call. Round trips come from the server's own counters, GetIDsOfNames and Invoke apart. Every
// line recorded and a sample of the rows and all the columns restored are checked.

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
#include "excel/win32/win_headers.hpp"
//
#include "app/win32/clock.hpp"
#include "app/win32/files.hpp"
#include "bench/desktop.hpp"
#include "bench/wine/look_up_every_call.hpp"
#include "excel/attach.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/dispatch.hpp"
#include "excel/win32/utf16.hpp"
#include "snapshot/commands.hpp"

namespace quarnel::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using excel::Object;

// Once: the tool's own client, which asks for a member's DISPID the first time only. EveryCall:
// naive late binding, a look-up before every call; kept to measure what Once saves.
enum class NameLookup { Once, EveryCall };

constexpr std::string_view kProgId = "Excel.Application";
constexpr int kBareCalls = 1000;

bool RowHidden(std::int32_t row) { return row % 97 == 0; }
bool ColumnHidden(std::int32_t column) { return column % 16 == 0; }

[[noreturn]] void Fail(const std::string& why) { throw Failure(1, "quarnel_wine_bench: " + why); }

void Print(const std::string& name, double value) { std::printf("%s: %.3f\n", name.c_str(), value); }
void Print(const std::string& name, std::int64_t value) {
  std::printf("%s: %lld\n", name.c_str(), static_cast<long long>(value));
}

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string ColumnLetters(std::int32_t column) {
  std::string letters;
  for (; column > 0; column = (column - 1) / 26)
    letters.insert(letters.begin(), char('A' + (column - 1) % 26));
  return letters;
}

std::string RowLine(std::int32_t row) {
  return std::to_string(row) + ":" + std::to_string(row) + (RowHidden(row) ? "/True" : "/False");
}
std::string ColumnLine(std::int32_t column) {
  return std::to_string(column) + (ColumnHidden(column) ? "/True" : "/False");
}

// The folder the commands see as the program's; each run its own, removed at the end.
class Desktop final : public quarnel::Desktop {
 public:
  explicit Desktop(fs::path folder) : folder_(std::move(folder)) { fs::create_directories(folder_); }
  ~Desktop() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void ShowMessage(std::string_view text, std::string_view, MessageIcon) override {
    messages.emplace_back(text);
  }
  std::string NoteText() override { return " "; }
  std::string ProgramFolder() override { return win32::ToUtf8(folder_.wstring()); }
  std::string LocalDateTimeText() override { return win32::LocalDateTimeText(); }
  FileSystem& Files() override { return files_; }
  FileDialog& CommonDialog1() override { return dialog; }

  // The dialog picks the file the bench names.
  BenchDialog dialog;
  std::vector<std::string> messages;

  std::vector<fs::path> Snapshots() const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      if (entry.path().extension() == L".txt") found.push_back(entry.path());
    }
    return found;
  }

 private:
  fs::path folder_;
  win32::WideFileSystem files_;
};

// The tool's own connector, its objects looking names up as told.
class Connector final : public excel::Connector {
 public:
  explicit Connector(NameLookup lookup) : lookup_(lookup) {}
  Object GetRunning(std::string_view progId) override { return Relookup(inner_.GetRunning(progId)); }
  Object Start(std::string_view progId) override { return Relookup(inner_.Start(progId)); }
  void ActivateWindow(std::string_view title) override { inner_.ActivateWindow(title); }

 private:
  Object Relookup(const Object& object) const {
    return lookup_ == NameLookup::EveryCall ? LookUpEveryCall::Wrap(object) : object;
  }
  win32::ComConnector inner_;
  NameLookup lookup_;
};

struct Counters {
  std::int64_t names = 0;
  std::int64_t invokes = 0;
};

// The stand-in's own members: counted apart from, and never among, the calls it counts.
class Server {
 public:
  explicit Server(Object application) : app_(std::move(application)) {}
  const Object& App() const { return app_; }
  void ResetCounters() const { app_.Call("StandinResetCounters"); }
  Counters Read() const {
    return {excel::ToLong(app_.Get("StandinGetIDsOfNamesCount")),
            excel::ToLong(app_.Get("StandinInvokeCount"))};
  }
  bool RowIsHidden(std::int32_t row) const { return excel::ToBool(app_.Call("StandinIsRowHidden", {row})); }
  bool ColumnIsHidden(std::int32_t c) const { return excel::ToBool(app_.Call("StandinIsColumnHidden", {c})); }

 private:
  Object app_;
};

Object StartServer() {
  win32::ComConnector connector;
  try {
    return connector.GetRunning(kProgId);
  } catch (const Failure&) {
    return connector.Start(kProgId);
  }
}

// A new workbook in front whose sheet has the bench's content and hidden rows and columns.
void SetUpSheet(const Object& app, std::int32_t rows, std::int32_t columns) {
  app.GetObject("Workbooks").Call("Add");
  const Object sheet = app.GetObject("ActiveSheet");
  sheet.GetObject("Range", {"A1:A" + std::to_string(rows)}).Put("Value", std::int32_t{1});
  sheet.GetObject("Range", {"A1:" + ColumnLetters(columns) + "1"}).Put("Value", std::int32_t{1});
  for (std::int32_t row = 97; row <= rows; row += 97) {
    sheet.GetObject("Rows", {std::to_string(row) + ":" + std::to_string(row)}).Put("Hidden", true);
  }
  for (std::int32_t column = 16; column <= columns; column += 16) {
    sheet.GetObject("Columns", {column}).Put("Hidden", true);
  }
}

void ScrambleSheet(const Object& app, std::int32_t rows, std::int32_t columns) {
  const Object sheet = app.GetObject("ActiveSheet");
  sheet.GetObject("Rows", {"1:" + std::to_string(rows)}).Put("Hidden", true);
  sheet.GetObject("Range", {"A1:" + ColumnLetters(columns) + "1"})
      .GetObject("EntireColumn")
      .Put("Hidden", true);
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.back() != '\r') Fail("a snapshot line without CR LF");
    line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

// How many rows the record took, after checking every line it wrote.
std::int32_t CheckRecord(const std::vector<std::string>& lines, std::int32_t columns) {
  std::int32_t rows = 0;
  while (rows < static_cast<std::int32_t>(lines.size()) && lines[rows].find(':') != std::string::npos) {
    if (lines[rows] != RowLine(rows + 1)) Fail("recorded " + lines[rows]);
    ++rows;
  }
  const auto recordedColumns = static_cast<std::int32_t>(lines.size()) - rows;
  if (rows == 0 || recordedColumns < 1 || recordedColumns > columns) Fail("the snapshot has the wrong size");
  for (std::int32_t c = 1; c <= recordedColumns; ++c) {
    if (lines[rows + c - 1] != ColumnLine(c)) Fail("recorded " + lines[rows + c - 1]);
  }
  return rows;
}

void CheckRestored(const Server& server, std::int32_t rows, std::int32_t columns) {
  std::vector<std::int32_t> probes;
  for (std::int32_t row = 1; row <= std::min(rows, 200); ++row) probes.push_back(row);
  for (std::int32_t row = 97; row <= rows; row += 97)
    probes.insert(probes.end(), {row - 1, row, std::min(row + 1, rows)});
  probes.push_back(rows);
  for (std::int32_t row : probes) {
    if (server.RowIsHidden(row) != RowHidden(row)) Fail("row " + std::to_string(row) + " not restored");
  }
  for (std::int32_t c = 1; c <= columns; ++c) {
    if (server.ColumnIsHidden(c) != ColumnHidden(c)) Fail("column " + std::to_string(c) + " not restored");
  }
}

struct Command {
  double ms = 0;
  std::int64_t lines = 0;
  Counters counters;
  double RoundTrips() const { return double(counters.names + counters.invokes) / double(lines); }
  double Names() const { return double(counters.names) / double(lines); }
  double Invokes() const { return double(counters.invokes) / double(lines); }
  double PerLine() const { return ms / double(lines); }
};

struct Run {
  std::int32_t recordedRows = 0;
  Command record;
  Command restore;
};

template <typename Body>
Command Measure(const Server& server, std::int64_t lines, Body body) {
  server.ResetCounters();
  const auto start = Clock::now();
  body();
  Command command;
  command.ms = Milliseconds(Clock::now() - start);
  command.counters = server.Read();
  command.lines = lines;
  return command;
}

void ClearHandles() {
  链接cad及excel::ExcelApp = {};
  链接cad及excel::ExcelBook = {};
  链接cad及excel::ExcelSheet = {};
}

Run RecordAndRestore(const Server& server, std::int32_t rows, std::int32_t columns, NameLookup lookup,
                     const fs::path& folder) {
  SetUpSheet(server.App(), rows, columns);
  Connector connector(lookup);
  Desktop desktop(folder);
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
  ClearHandles();
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

int Main(std::int32_t rows, std::int32_t columns, std::int32_t naiveRows) {
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

  const Run cached = RecordAndRestore(server, rows, columns, NameLookup::Once, folder);
  PrintRun("", cached, rows, columns, bareMs);
  std::fflush(stdout);
  const Run naive = RecordAndRestore(server, naiveRows, columns, NameLookup::EveryCall, folder);
  PrintRun("naive ", naive, naiveRows, columns, bareMs);

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
  if (rows < 1 || rows > 65536 || columns < 1 || columns > 256 || naiveRows < 1 || naiveRows > 65536) {
    std::fprintf(stderr,
                 "usage: quarnel_wine_bench [rows 1..65536] [columns 1..256] [naive rows 1..65536]\n");
    return 2;
  }
  try {
    return quarnel::bench::Main(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(columns),
                                static_cast<std::int32_t>(naiveRows));
  } catch (const quarnel::Failure& failure) {
    std::fprintf(stderr, "quarnel_wine_bench: failure %d: %s\n", static_cast<int>(failure.Number()),
                 failure.Description().c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quarnel_wine_bench: %s\n", error.what());
  }
  return 1;
}
