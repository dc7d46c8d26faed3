#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/click.hpp"
#include "excel/attach.hpp"
#include "snapshot/commands.hpp"
#include "snapshot_fixture.hpp"
#include "standin/model/failures.hpp"
#include "standin/model/model.hpp"
#include "support/scripted_desktop.hpp"

// Every call that record and restore make on a small sheet is made to fail, or to find Excel gone,
// one at a time; so is every step on the file side. Whatever happens, nothing the user had is lost.

namespace quarnel::test_support {
namespace {

using standin::SheetState;

constexpr const char* kChosen = "C:\\Tools\\Quarnel\\chosen.txt";
const Failure kArmed(1004, "armed fault");

// Rows and columns looked at when comparing sheets: a margin past everything the tests touch.
constexpr std::int32_t kLooked = 12;

struct Visibility {
  std::set<std::int32_t> rows;
  std::set<std::int32_t> columns;
  friend bool operator==(const Visibility&, const Visibility&) = default;
};

Visibility Read(const SheetState& sheet) {
  Visibility v;
  for (std::int32_t n = 1; n <= kLooked; ++n) {
    if (sheet.hiddenRows.Contains(n)) v.rows.insert(n);
    if (sheet.hiddenColumns.Contains(n)) v.columns.insert(n);
  }
  return v;
}

std::string Show(const Visibility& v) {
  std::string text = "rows";
  for (auto r : v.rows) text += " " + std::to_string(r);
  text += " columns";
  for (auto c : v.columns) text += " " + std::to_string(c);
  return text;
}

// A stand-in Excel with Plan.xlsx in front: column A filled to row 4, row 1 to column 3, row 2 and
// columns 1 and 3 hidden; the tool's handles cleared as at its start.
struct Rig {
  standin::Model model;
  ScriptedDesktop desktop;
  ScriptedConnector connector;
  Host host{connector, desktop};

  static Visibility Initial() { return {{2}, {1, 3}}; }

  Rig() {
    desktop.files.readChunk = 5;  // lines straddle reads
    model.AddWorkbook("Plan.xlsx");
    for (std::int32_t row = 1; row <= 4; ++row) model.SetCell(row, 1, std::string("x"));
    for (std::int32_t column = 1; column <= 3; ++column) model.SetCell(1, column, std::string("x"));
    for (auto row : Initial().rows) model.SetRowsHidden(row, row, true);
    for (auto column : Initial().columns) model.SetColumnsHidden(column, column, true);
    connector.running = model.Application();
    connector.windowTitles = {"Microsoft Excel"};
    model.ResetCounters();
  }
  ~Rig() = default;
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  std::shared_ptr<SheetState> Sheet() const { return model.State().ActiveSheet(); }
  // Members called, case-folded, with how often.
  std::map<std::string, std::uint64_t> Calls() const {
    return {model.State().calls.begin(), model.State().calls.end()};
  }
};

enum class FaultKind { Fail, Quit };

struct Position {
  std::string member;
  std::uint64_t nth;
  FaultKind kind;
};

std::string Describe(const Position& p) {
  return (p.kind == FaultKind::Fail ? "fail " : "quit at ") + p.member + " #" + std::to_string(p.nth);
}

// Every call of a clean run, by member and occurrence, failed and quit at.
std::vector<Position> EveryPosition(const std::map<std::string, std::uint64_t>& calls) {
  std::vector<Position> positions;
  for (const auto& [member, count] : calls) {
    for (std::uint64_t n = 1; n <= count; ++n) {
      positions.push_back({member, n, FaultKind::Fail});
      positions.push_back({member, n, FaultKind::Quit});
    }
  }
  return positions;
}

void Arm(standin::Model& model, const Position& p) {
  if (p.kind == FaultKind::Fail) {
    model.FailCall(p.member, p.nth, kArmed);
  } else {
    model.QuitAtCall(p.member, p.nth);
  }
}

std::string ArmedDescription(const Position& p) {
  return p.kind == FaultKind::Fail ? kArmed.Description() : standin::Disconnected().Description();
}

bool IsRuntimeErrorBox(const ShownMessage& m) {
  return m.text.starts_with("运行时错误") && m.title == kAppTitle && m.icon == MessageIcon::None;
}

// ---------------------------------------------------------------------------------------------
// Record

constexpr const char* kOld = "an earlier snapshot\r\n";

class RecordFaultsTest : public ::testing::Test {
 protected:
  // Runs the record click on a fresh rig that already holds a snapshot under the name this run
  // would take; `arm` sets the fault.
  template <typename ArmFn>
  void RunAndCheck(const std::string& what, ArmFn arm, std::optional<std::string> mustFailWith) {
    SCOPED_TRACE(what);
    Rig rig;
    rig.desktop.files.files[kSnapshotPath] = kOld;
    arm(rig);

    app::Commands(rig.host).OnClick(app::Button::Command3);

    auto& files = rig.desktop.files.files;
    EXPECT_EQ(files[kSnapshotPath], kOld) << "an existing snapshot was replaced";
    EXPECT_EQ(rig.desktop.files.openFiles, 0);
    if (!rig.model.HasQuit()) {
      EXPECT_TRUE(rig.model.ScreenUpdating());
    }
    for (const auto& [path, content] : files) {
      EXPECT_FALSE(path.ends_with(".part")) << path;
      EXPECT_TRUE(path.ends_with(".txt")) << path;
    }

    const bool failed = !rig.desktop.messages.empty();
    if (mustFailWith) {
      ASSERT_TRUE(failed) << "no failure shown";
      EXPECT_NE(rig.desktop.messages.back().text.find(*mustFailWith), std::string::npos)
          << rig.desktop.messages.back().text;
    }
    if (failed) {
      EXPECT_TRUE(IsRuntimeErrorBox(rig.desktop.messages.back())) << rig.desktop.messages.back().text;
      EXPECT_EQ(files.size(), 1u) << "a failed record left a file: " << std::prev(files.end())->first;
      return;
    }
    // A step the attachment passed over: the snapshot is whole, the same as a clean record now.
    ASSERT_EQ(files.size(), 2u);
    std::string written;
    for (const auto& [path, content] : files) {
      if (path != kSnapshotPath) written = content;
    }
    rig.desktop.files.files.clear();
    rig.model.ClearFaults();
    app::Commands(rig.host).OnClick(app::Button::Command3);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(written, files.begin()->second);
  }
};

TEST_F(RecordFaultsTest, CleanRunRecordsAndKeepsTheEarlierSnapshot) {
  Rig rig;
  rig.desktop.files.files[kSnapshotPath] = kOld;
  app::Commands(rig.host).OnClick(app::Button::Command3);
  EXPECT_TRUE(rig.desktop.messages.empty());
  EXPECT_EQ(rig.desktop.files.files[kSnapshotPath], kOld);
  EXPECT_EQ(rig.desktop.files.files["C:\\Tools\\Quarnel\\Plan-行列状态_20261208090507_2.txt"],
            "1:1/False\r\n2:2/True\r\n3:3/False\r\n4:4/False\r\n1/True\r\n2/False\r\n3/True\r\n");
}

TEST_F(RecordFaultsTest, EveryExcelCallFailingOrFindingExcelGone) {
  std::map<std::string, std::uint64_t> calls;
  {
    Rig clean;
    app::Commands(clean.host).OnClick(app::Button::Command3);
    calls = clean.Calls();
  }
  // The record's own reads cannot be passed over; the attachment's steps may be.
  const std::set<std::string> ownReads = {
      "name",         "cells",  "end",   "row",    "column",           "rows", "entirerow", "columns",
      "entirecolumn", "hidden", "range", "counta", "worksheetfunction"};
  for (const auto& member : ownReads) EXPECT_TRUE(calls.contains(member)) << member;

  const auto positions = EveryPosition(calls);
  EXPECT_GT(positions.size(), 40u);
  for (const Position& p : positions) {
    const bool own = ownReads.contains(p.member);
    RunAndCheck(
        Describe(p), [&](Rig& rig) { Arm(rig.model, p); },
        own ? std::optional(ArmedDescription(p)) : std::nullopt);
  }
}

TEST_F(RecordFaultsTest, WriteFailingAtEveryByte) {
  const std::size_t size =
      std::string("1:1/False\r\n2:2/True\r\n3:3/False\r\n4:4/False\r\n1/True\r\n2/False\r\n3/True\r\n")
          .size();
  for (std::size_t bytes = 0; bytes < size; ++bytes) {
    RunAndCheck(
        "write fails after " + std::to_string(bytes) + " bytes",
        [&](Rig& rig) { rig.desktop.files.failWritesAfterBytes = bytes; }, "设备 I/O 错误");
  }
}

TEST_F(RecordFaultsTest, ClosingOrRenamingFailing) {
  RunAndCheck(
      "close", [](Rig& rig) { rig.desktop.files.failClose = errors::Catalogued(errors::kDeviceIoError); },
      "设备 I/O 错误");
  RunAndCheck(
      "rename",
      [](Rig& rig) { rig.desktop.files.failRename = Failure(errors::kPermissionDenied, "权限拒绝"); },
      "权限拒绝");
}

// ---------------------------------------------------------------------------------------------
// Restore

// The chosen file, each line with the effect it must have; every line changes the sheet above.
struct FileLine {
  std::string text;
  bool row;
  std::int32_t first;
  std::int32_t last;
  bool hidden;
};

const std::vector<FileLine> kLines = {
    {"1:1/True", true, 1, 1, true},    {"2:3/False", true, 2, 3, false},
    {"3/yes", false, 3, 3, false},  // carries the line before
    {"4:4/TRUE", true, 4, 4, true},    {" 2 /true", false, 2, 2, true},
    {"3:3/", true, 3, 3, true},  // carries the line before
    {"1/False/x", false, 1, 1, false},
};

std::string FileText() {
  std::string text;
  for (const auto& line : kLines) text += line.text + "\r\n";
  return text;
}

// The sheet after the first `k` lines, applied by hand.
Visibility AfterLines(Visibility v, std::size_t k) {
  for (std::size_t i = 0; i < k; ++i) {
    const FileLine& line = kLines[i];
    auto& set = line.row ? v.rows : v.columns;
    for (auto n = line.first; n <= line.last; ++n) {
      if (line.hidden) {
        set.insert(n);
      } else {
        set.erase(n);
      }
    }
  }
  return v;
}

// The index of the nth line of a kind, counted from 1.
std::size_t NthLine(bool row, std::uint64_t nth) {
  for (std::size_t i = 0; i < kLines.size(); ++i) {
    if (kLines[i].row == row && --nth == 0) return i;
  }
  ADD_FAILURE() << "no such line";
  return 0;
}

// Lines applied before a fault at this call of the line loop; nothing when the call belongs to
// the attachment, whose failures may be passed over.
std::optional<std::size_t> LinesBefore(const Position& p) {
  if (p.member == "rows" || p.member == "entirerow") return NthLine(true, p.nth);
  if (p.member == "columns" || p.member == "entirecolumn") return NthLine(false, p.nth);
  if (p.member == "hidden") return p.nth - 1;
  if (p.member == "screenupdating") return p.nth == 1 ? 0 : kLines.size();
  return std::nullopt;
}

class RestoreFaultsTest : public ::testing::Test {
 protected:
  struct Outcome {
    bool completed;
  };

  // Runs the restore click with the file chosen; checks what holds whatever the fault.
  // With `undo`, the restore first reads what it will change, as the palette's restores do.
  template <typename ArmFn>
  Outcome Run(Rig& rig, ArmFn arm, snapshot::LastView* undo = nullptr) {
    rig.desktop.files.files[kChosen] = FileText();
    rig.desktop.dialog.answers.push_back(kChosen);
    arm(rig);
    snapshot::RestoreSnapshot(rig.host, {{}, undo});
    EXPECT_EQ(rig.desktop.files.openFiles, 0);
    if (!rig.model.HasQuit()) {
      EXPECT_TRUE(rig.model.ScreenUpdating());
    }
    EXPECT_EQ(rig.desktop.files.files[kChosen], FileText());
    EXPECT_FALSE(rig.desktop.messages.empty());
    const auto& messages = rig.desktop.messages;
    const bool completed = !messages.empty() && messages.back().text == "处理完毕!";
    if (!messages.empty() && !completed) {
      EXPECT_EQ(messages.back().title, kAppTitle);
      EXPECT_EQ(messages.back().icon, MessageIcon::None);
    }
    return {completed};
  }
};

TEST_F(RestoreFaultsTest, CleanRunAppliesEveryLine) {
  Rig rig;
  const auto outcome = Run(rig, [](Rig&) {});
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ(rig.desktop.messages.size(), 1u);
  EXPECT_EQ(Read(*rig.Sheet()), AfterLines(Rig::Initial(), kLines.size()));
  // Each line changes the sheet, so a line lost or applied twice would show.
  for (std::size_t k = 1; k <= kLines.size(); ++k) {
    EXPECT_NE(AfterLines(Rig::Initial(), k), AfterLines(Rig::Initial(), k - 1)) << k;
  }
}

TEST_F(RestoreFaultsTest, EveryExcelCallFailingOrFindingExcelGone) {
  std::map<std::string, std::uint64_t> calls;
  {
    Rig clean;
    Run(clean, [](Rig&) {});
    calls = clean.Calls();
  }
  EXPECT_EQ(calls["hidden"], kLines.size());
  EXPECT_EQ(calls["screenupdating"], 2u);

  for (const Position& p : EveryPosition(calls)) {
    SCOPED_TRACE(Describe(p));
    Rig rig;
    const std::shared_ptr<SheetState> original = rig.Sheet();
    const auto outcome = Run(rig, [&](Rig& r) { Arm(r.model, p); });
    const auto& messages = rig.desktop.messages;

    if (const auto k = LinesBefore(p)) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].text, ArmedDescription(p));
      EXPECT_EQ(Read(*original), AfterLines(Rig::Initial(), *k)) << Show(Read(*original));
      continue;
    }
    // A fault in the attachment: the whole file lands on the sheet the tool attached to, or none
    // of it anywhere.
    const std::shared_ptr<SheetState> attached = rig.Sheet();
    if (outcome.completed) {
      const Visibility before = attached == original ? Rig::Initial() : Visibility{};
      EXPECT_EQ(Read(*attached), AfterLines(before, kLines.size()));
      if (attached != original) {
        EXPECT_EQ(Read(*original), Rig::Initial());
      }
    } else {
      EXPECT_EQ(Read(*original), Rig::Initial()) << Show(Read(*original));
      if (attached && attached != original) {
        EXPECT_EQ(Read(*attached), Visibility{});
      }
    }
  }
}

// Reading what the restore will change adds calls of its own; whichever fails, the restore lands as
// it would without them, and an undo kept puts back exactly the sheet there was.
TEST_F(RestoreFaultsTest, EveryCallOfARestoreWithUndoFailingOrFindingExcelGone) {
  std::map<std::string, std::uint64_t> calls;
  {
    Rig clean;
    snapshot::LastView undo;
    Run(
        clean, [](Rig&) {}, &undo);
    calls = clean.Calls();
    ASSERT_TRUE(undo);
  }
  int passedOver = 0;
  for (const Position& p : EveryPosition(calls)) {
    SCOPED_TRACE(Describe(p));
    Rig rig;
    const std::shared_ptr<SheetState> original = rig.Sheet();
    snapshot::LastView undo;
    const auto outcome = Run(
        rig, [&](Rig& r) { Arm(r.model, p); }, &undo);
    ASSERT_EQ(rig.desktop.messages.size(), 1u);
    // A fault in the attachment may have sent the file to a workbook it added.
    const Visibility before = rig.Sheet() == original ? Rig::Initial() : Visibility{};
    const Visibility after = Read(*rig.Sheet());
    std::size_t applied = kLines.size();
    while (applied > 0 && AfterLines(before, applied) != after) --applied;
    EXPECT_EQ(after, AfterLines(before, applied)) << Show(after);
    if (outcome.completed) {
      EXPECT_EQ(applied, kLines.size());
    }
    passedOver += outcome.completed && !undo;
    if (!undo || rig.model.HasQuit()) continue;
    rig.model.ClearFaults();
    rig.desktop.messages.clear();
    snapshot::UndoLastRestore(rig.host, undo);
    EXPECT_EQ(Read(*rig.Sheet()), before) << Show(Read(*rig.Sheet()));
    EXPECT_FALSE(undo);
  }
  EXPECT_GT(passedOver, 5);
}

TEST_F(RestoreFaultsTest, ReadFailingAtEveryByteKeepsTheWholeLinesBeforeIt) {
  const std::string text = FileText();
  for (std::size_t bytes = 0; bytes <= text.size(); ++bytes) {
    SCOPED_TRACE("read fails after " + std::to_string(bytes) + " bytes");
    Rig rig;
    const auto outcome = Run(rig, [&](Rig& r) { r.desktop.files.failReadAfterBytes = bytes; });
    EXPECT_FALSE(outcome.completed);
    ASSERT_EQ(rig.desktop.messages.size(), 1u);
    EXPECT_EQ(rig.desktop.messages[0].text, "设备 I/O 错误");
    // A line counts once its line end has been read.
    const auto whole = static_cast<std::size_t>(std::count(text.begin(), text.begin() + bytes, '\r'));
    EXPECT_EQ(Read(*rig.Sheet()), AfterLines(Rig::Initial(), whole)) << Show(Read(*rig.Sheet()));
  }
}

TEST_F(RestoreFaultsTest, OpenFailingChangesNothing) {
  Rig rig;
  const auto outcome = Run(rig, [](Rig& r) { r.desktop.files.failOpen = Failure(70, "权限拒绝"); });
  EXPECT_FALSE(outcome.completed);
  EXPECT_EQ(rig.desktop.messages.back().text, "权限拒绝");
  EXPECT_EQ(Read(*rig.Sheet()), Rig::Initial());
}

}  // namespace
}  // namespace quarnel::test_support
