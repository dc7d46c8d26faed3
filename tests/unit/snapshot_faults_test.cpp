#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/click.hpp"
#include "standin/model/failures.hpp"
#include "support/attached_excel.hpp"

// Every call that record and restore make on a small sheet is made to fail, or to find Excel gone,
// one at a time; so is every step on the file side. Whatever happens, nothing the user had is lost.

namespace quarnel::test_support {
namespace {

using standin::SheetState;

const Failure kArmed(1004, "armed fault");

// Rows and columns looked at when comparing sheets: a margin past everything the tests touch.
constexpr std::int32_t kLooked = 12;

// The hidden rows, then the hidden columns.
using Visibility = std::pair<std::set<std::int32_t>, std::set<std::int32_t>>;

Visibility Read(const SheetState& sheet) {
  Visibility v;
  for (std::int32_t n = 1; n <= kLooked; ++n) {
    if (sheet.hiddenRows.Contains(n)) v.first.insert(n);
    if (sheet.hiddenColumns.Contains(n)) v.second.insert(n);
  }
  return v;
}

const Visibility kInitial = {{2}, {1, 3}};

// Plan.xlsx in front: column A filled to row 4, row 1 to column 3, row 2 and columns 1 and 3 hidden;
// the file read in pieces, so that lines straddle reads.
class FaultsTest : public PlanInFrontTest {
 protected:
  void SetUp() override {
    PlanInFrontTest::SetUp();
    desktop.files.readChunk = 5;
    UseArea(4, 3);
    for (auto row : kInitial.first) model.SetRowsHidden(row, row, true);
    for (auto column : kInitial.second) model.SetColumnsHidden(column, column, true);
  }

  std::shared_ptr<SheetState> Sheet() const { return model.State().ActiveSheet(); }
  // Members called, case-folded, with how often.
  std::map<std::string, std::uint64_t> Calls() const {
    return {model.State().calls.begin(), model.State().calls.end()};
  }
};

// A call of a clean run, by member and occurrence, to fail or to find Excel gone at.
struct Position {
  std::string member;
  std::uint64_t nth;
  bool quit;
};

std::string Describe(const Position& p) {
  return (p.quit ? "quit at " : "fail ") + p.member + " #" + std::to_string(p.nth);
}

std::vector<Position> EveryPosition(const std::map<std::string, std::uint64_t>& calls) {
  std::vector<Position> positions;
  for (const auto& [member, count] : calls) {
    for (std::uint64_t n = 1; n <= count; ++n) {
      for (const bool quit : {false, true}) positions.push_back({member, n, quit});
    }
  }
  return positions;
}

void Arm(standin::Model& model, const Position& p) {
  if (p.quit) return model.QuitAtCall(p.member, p.nth);
  model.FailCall(p.member, p.nth, kArmed);
}

std::string ArmedDescription(const Position& p) {
  return (p.quit ? standin::Disconnected() : kArmed).Description();
}

// ---------------------------------------------------------------------------------------------
// Record

constexpr const char* kOld = "an earlier snapshot\r\n";
constexpr std::string_view kRecorded =
    "1:1/False\r\n2:2/True\r\n3:3/False\r\n4:4/False\r\n1/True\r\n2/False\r\n3/True\r\n";

class RecordFaultsTest : public FaultsTest {
 protected:
  // Runs the record click from the start, with a snapshot already under the name this run would
  // take; `arm` sets the fault.
  void RunAndCheck(const std::string& what, const std::function<void()>& arm,
                   std::optional<std::string> mustFailWith) {
    SCOPED_TRACE(what);
    Restart();
    auto& files = desktop.files.files;
    files[kSnapshotPath] = kOld;
    arm();

    app::Commands(host).OnClick(app::Button::Command3);

    EXPECT_EQ(files[kSnapshotPath], kOld) << "an existing snapshot was replaced";
    EXPECT_EQ(desktop.files.openFiles, 0);
    if (!model.HasQuit()) {
      EXPECT_TRUE(model.ScreenUpdating());
    }
    for (const auto& [path, content] : files) {
      EXPECT_FALSE(path.ends_with(".part")) << path;
      EXPECT_TRUE(path.ends_with(".txt")) << path;
    }

    const bool failed = !desktop.messages.empty();
    if (mustFailWith) {
      ASSERT_TRUE(failed) << "no failure shown";
      EXPECT_NE(desktop.messages.back().text.find(*mustFailWith), std::string::npos)
          << desktop.messages.back().text;
    }
    if (failed) {
      const ShownMessage& box = desktop.messages.back();
      EXPECT_TRUE(box.text.starts_with("运行时错误") && box.title == kAppTitle &&
                  box.icon == MessageIcon::None)
          << box.text;
      EXPECT_EQ(files.size(), 1u) << "a failed record left a file: " << std::prev(files.end())->first;
      return;
    }
    // A step the attachment passed over: the snapshot is whole, the same as a clean record now.
    ASSERT_EQ(files.size(), 2u);
    std::string written;
    for (const auto& [path, content] : files) {
      if (path != kSnapshotPath) written = content;
    }
    files.clear();
    model.ClearFaults();
    app::Commands(host).OnClick(app::Button::Command3);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(written, files.begin()->second);
  }
};

TEST_F(RecordFaultsTest, CleanRunRecordsAndKeepsTheEarlierSnapshot) {
  desktop.files.files[kSnapshotPath] = kOld;
  app::Commands(host).OnClick(app::Button::Command3);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(desktop.files.files[kSnapshotPath], kOld);
  EXPECT_EQ(desktop.files.files["C:\\Tools\\Quarnel\\Plan-行列状态_20261208090507_2.txt"], kRecorded);
}

TEST_F(RecordFaultsTest, EveryExcelCallFailingOrFindingExcelGone) {
  app::Commands(host).OnClick(app::Button::Command3);
  const auto calls = Calls();
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
        Describe(p), [&] { Arm(model, p); }, own ? std::optional(ArmedDescription(p)) : std::nullopt);
  }
}

TEST_F(RecordFaultsTest, WriteFailingAtEveryByte) {
  for (std::size_t bytes = 0; bytes < kRecorded.size(); ++bytes) {
    RunAndCheck(
        "write fails after " + std::to_string(bytes) + " bytes",
        [&] { desktop.files.failWritesAfterBytes = bytes; }, "设备 I/O 错误");
  }
}

TEST_F(RecordFaultsTest, ClosingOrRenamingFailing) {
  RunAndCheck(
      "close", [&] { desktop.files.failClose = errors::Catalogued(errors::kDeviceIoError); },
      "设备 I/O 错误");
  RunAndCheck(
      "rename", [&] { desktop.files.failRename = Failure(errors::kPermissionDenied, "权限拒绝"); },
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
    auto& set = line.row ? v.first : v.second;
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

class RestoreFaultsTest : public FaultsTest {
 protected:
  // Runs the restore click with the file chosen, and tells whether it completed; checks what holds
  // whatever the fault. With `undo`, the restore first reads what it will change, as the palette's
  // restores do.
  bool Run(const std::function<void()>& arm, snapshot::LastView* undo = nullptr) {
    arm();
    Restore(FileText(), undo);
    EXPECT_EQ(desktop.files.openFiles, 0);
    if (!model.HasQuit()) {
      EXPECT_TRUE(model.ScreenUpdating());
    }
    EXPECT_EQ(desktop.files.files[kSnapshotPath], FileText());
    EXPECT_FALSE(desktop.messages.empty());
    const auto& messages = desktop.messages;
    const bool completed = !messages.empty() && messages.back().text == "处理完毕!";
    if (!messages.empty() && !completed) {
      EXPECT_EQ(messages.back().title, kAppTitle);
      EXPECT_EQ(messages.back().icon, MessageIcon::None);
    }
    return completed;
  }
};

TEST_F(RestoreFaultsTest, CleanRunAppliesEveryLine) {
  EXPECT_TRUE(Run([] {}));
  EXPECT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(Read(*Sheet()), AfterLines(kInitial, kLines.size()));
  // Each line changes the sheet, so a line lost or applied twice would show.
  for (std::size_t k = 1; k <= kLines.size(); ++k) {
    EXPECT_NE(AfterLines(kInitial, k), AfterLines(kInitial, k - 1)) << k;
  }
}

TEST_F(RestoreFaultsTest, EveryExcelCallFailingOrFindingExcelGone) {
  Run([] {});
  auto calls = Calls();
  EXPECT_EQ(calls["hidden"], kLines.size());
  EXPECT_EQ(calls["screenupdating"], 2u);

  for (const Position& p : EveryPosition(calls)) {
    SCOPED_TRACE(Describe(p));
    Restart();
    const std::shared_ptr<SheetState> original = Sheet();
    const bool completed = Run([&] { Arm(model, p); });
    const auto& messages = desktop.messages;

    if (const auto k = LinesBefore(p)) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].text, ArmedDescription(p));
      EXPECT_EQ(Read(*original), AfterLines(kInitial, *k));
      continue;
    }
    // A fault in the attachment: the whole file lands on the sheet the tool attached to, or none
    // of it anywhere.
    const std::shared_ptr<SheetState> attached = Sheet();
    if (completed) {
      const Visibility before = attached == original ? kInitial : Visibility{};
      EXPECT_EQ(Read(*attached), AfterLines(before, kLines.size()));
      if (attached != original) {
        EXPECT_EQ(Read(*original), kInitial);
      }
    } else {
      EXPECT_EQ(Read(*original), kInitial);
      if (attached && attached != original) {
        EXPECT_EQ(Read(*attached), Visibility{});
      }
    }
  }
}

// Reading what the restore will change adds calls of its own; whichever fails, the restore lands as
// it would without them, and an undo kept puts back exactly the sheet there was.
TEST_F(RestoreFaultsTest, EveryCallOfARestoreWithUndoFailingOrFindingExcelGone) {
  snapshot::LastView cleanUndo;
  Run([] {}, &cleanUndo);
  ASSERT_TRUE(cleanUndo);
  int passedOver = 0;
  for (const Position& p : EveryPosition(Calls())) {
    SCOPED_TRACE(Describe(p));
    Restart();
    const std::shared_ptr<SheetState> original = Sheet();
    snapshot::LastView undo;
    const bool completed = Run([&] { Arm(model, p); }, &undo);
    ASSERT_EQ(desktop.messages.size(), 1u);
    // A fault in the attachment may have sent the file to a workbook it added.
    const Visibility before = Sheet() == original ? kInitial : Visibility{};
    const Visibility after = Read(*Sheet());
    std::size_t applied = kLines.size();
    while (applied > 0 && AfterLines(before, applied) != after) --applied;
    EXPECT_EQ(after, AfterLines(before, applied));
    if (completed) {
      EXPECT_EQ(applied, kLines.size());
    }
    passedOver += completed && !undo;
    if (!undo || model.HasQuit()) continue;
    model.ClearFaults();
    desktop.messages.clear();
    snapshot::UndoLastRestore(host, undo);
    EXPECT_EQ(Read(*Sheet()), before);
    EXPECT_FALSE(undo);
  }
  EXPECT_GT(passedOver, 5);
}

TEST_F(RestoreFaultsTest, ReadFailingAtEveryByteKeepsTheWholeLinesBeforeIt) {
  const std::string text = FileText();
  for (std::size_t bytes = 0; bytes <= text.size(); ++bytes) {
    SCOPED_TRACE("read fails after " + std::to_string(bytes) + " bytes");
    Restart();
    EXPECT_FALSE(Run([&] { desktop.files.failReadAfterBytes = bytes; }));
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "设备 I/O 错误");
    // A line counts once its line end has been read.
    const auto whole = static_cast<std::size_t>(std::count(text.begin(), text.begin() + bytes, '\r'));
    EXPECT_EQ(Read(*Sheet()), AfterLines(kInitial, whole));
  }
}

TEST_F(RestoreFaultsTest, OpenFailingChangesNothing) {
  EXPECT_FALSE(Run([&] { desktop.files.failOpen = Failure(70, "权限拒绝"); }));
  EXPECT_EQ(desktop.messages.back().text, "权限拒绝");
  EXPECT_EQ(Read(*Sheet()), kInitial);
}

}  // namespace
}  // namespace quarnel::test_support
