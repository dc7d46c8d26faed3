#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/text.hpp"
#include "fuzz/checks.hpp"
#include "snapshot/line_applier.hpp"

// A restore in runs must leave what applying each line alone leaves: the same rows and columns,
// the same boxes, whatever the file and whatever Excel refuses.

namespace quarnel::test_support {
namespace {

using fuzz::Restored;
using fuzz::RestoreOnto;
using snapshot::Lines;

// Random lines: stretches of rows and of columns, mostly the next one with the state carried, sometimes a
// jump, a repeat, a range, a flipped or odd state text, a target Excel refuses or that must go alone, a line
// that cannot be read; rows and columns cross 65,536 and 256 and the sheet's last row and column.
std::string RandomFile(std::mt19937& random) {
  const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  static const char* const kStates[] = {"True", "False", "true", "FALSE", "yes", " True", "True/x"};
  static const char* const kOdd[] = {"0",     "C",   "2.5", " 7 ",   "&H9",   "12abc", "3.0",
                                     "0:0",   "x:y", "7:3", "$4:$5", "04:05", "3:4:5", "1048577:1048577",
                                     "16385", "1e1"};
  static const std::int32_t kJumps[] = {1, 5, 30, 65530, 1048570};
  std::int32_t row = 1 + pick(20);
  std::int32_t column = 1 + pick(10);
  bool rows = true;
  std::string file;
  for (int i = pick(60); i > 0; --i) {
    std::string target;
    const int kind = pick(100);
    if (pick(8) == 0) rows = !rows;
    if (kind < 3) {
      file += pick(2) == 0 ? "\r\n" : "5:5 True\r\n";
      continue;
    }
    if (kind < 10) {
      target = kOdd[pick(static_cast<int>(std::size(kOdd)))];
    } else if (rows) {
      if (pick(8) == 0) row = kJumps[pick(static_cast<int>(std::size(kJumps)))] + pick(12);
      const std::int32_t last = pick(6) == 0 ? row + pick(4) : row;
      target = 常用函数::ValueText(row) + ":" + 常用函数::ValueText(last);
      row = pick(10) == 0 ? row - 1 : last + 1;
    } else {
      if (pick(8) == 0) column = std::vector<std::int32_t>{1, 9, 250, 16380}[pick(4)] + pick(8);
      target = 常用函数::ValueText(column);
      column = pick(10) == 0 ? column - 1 : column + 1;
    }
    file += target + "/" + (pick(5) == 0 ? kStates[pick(static_cast<int>(std::size(kStates)))] : "") + "\r\n";
  }
  return file;
}

TEST(RestoreRunsProperty, RandomFilesLeaveTheSameSheetAndBoxesAsEachLineAloneAndUndoExactly) {
  std::mt19937 random(20261209);
  int completed = 0;
  int undoneRounds = 0;
  std::uint64_t writesInRuns = 0;
  std::uint64_t writesAlone = 0;
  for (int round = 0; round < 600; ++round) {
    const std::string file = RandomFile(random);
    // Copies of one random sheet, now and then protected or a chart sheet in front.
    const auto seed = random();
    const auto sheet = [seed](standin::Model& model) {
      std::mt19937 own(seed);
      const auto upto = [&own](std::uint32_t n) { return static_cast<std::int32_t>(own() % n); };
      for (int i = 0; i < 4; ++i) {
        const std::int32_t first = std::vector<std::int32_t>{1, 60, 65530, 1048560}[upto(4)] + upto(10);
        model.SetRowsHidden(first, first + upto(8), true);
        const std::int32_t column = 1 + upto(300);
        model.SetColumnsHidden(column, column + upto(3), true);
      }
      if (upto(12) == 0) model.ProtectSheet(true);
      if (upto(25) == 0) model.AddChartSheet();
    };
    SCOPED_TRACE(file);
    const Restored runs = RestoreOnto(file, Lines::InRuns, sheet);
    const Restored alone = RestoreOnto(file, Lines::EachAlone, sheet);
    EXPECT_EQ(runs.rows, alone.rows);
    EXPECT_EQ(runs.columns, alone.columns);
    EXPECT_EQ(runs.boxes, alone.boxes);
    EXPECT_EQ(runs.drawing, alone.drawing);
    EXPECT_EQ(runs.openFiles, alone.openFiles);
    EXPECT_LE(runs.calls, alone.calls);
    // Whatever the restore did, its undo puts back exactly the sheet there was.
    const Restored undone = RestoreOnto(file, Lines::InRuns, sheet, true);
    if (undone.undone) {
      EXPECT_EQ(undone.rows, undone.rowsBefore);
      EXPECT_EQ(undone.columns, undone.columnsBefore);
    }
    undoneRounds += undone.undone;
    completed += alone.boxes.size() == 1 && alone.boxes[0].starts_with("处理完毕!");
    writesInRuns += runs.writes;
    writesAlone += alone.writes;
  }
  // Both ends of a run were met often enough, and runs did save calls.
  EXPECT_GT(completed, 60);
  EXPECT_LT(completed, 540);
  EXPECT_GT(undoneRounds, 300);
  EXPECT_LT(writesInRuns * 2, writesAlone) << writesInRuns << " writes in runs, " << writesAlone << " alone";
}

// Notes each write of Hidden with the call that named its rows or columns, as Excel gets them.
class Recorder : public excel::Dispatch {
 public:
  excel::Value Invoke(std::string_view member, excel::CallKind kind,
                      std::span<const excel::Value> args) override {
    if (kind == excel::CallKind::Put) {
      writes.push_back(named_ + "=" + (excel::ToBool(args.back()) ? "T" : "F"));
    } else if (!args.empty()) {
      const auto* text = std::get_if<std::string>(&args[0]);
      named_ = std::string(member) + "(" + (text ? "\"" + *text + "\"" : 常用函数::ValueText(args[0])) + ")";
    }
    return excel::Object(self.lock());
  }
  std::vector<std::string> writes;
  std::weak_ptr<Recorder> self;

 private:
  std::string named_;
};

TEST(RestoreRuns, WhatGoesToExcelForEachKindOfNeighbour) {
  using W = std::vector<std::string>;
  const std::vector<std::pair<std::vector<std::string>, W>> cases = {
      {{"1:1/True", "2:2/", "3:3/true", "5:5/False", "4:4/", "3:3/x"},
       {R"(Rows("1:3")=T)", R"(Rows("3:5")=F)"}},
      {{"3:5/True", "6:6/", "8:8/", "3/", "4/", "5/", "7/"},
       {R"(Rows("3:6")=T)", R"(Rows("8:8")=T)", R"(Columns("C:E")=T)", "Columns(7)=T"}},
      {{"1:1/True", "2:2/False", "2:2/False", "1/False", "2/"},
       {R"(Rows("1:1")=T)", R"(Rows("2:2")=F)", R"(Rows("2:2")=F)", R"(Columns("A:B")=F)"}},
      {{"1:1/True", "$2:$2/", "3:3/", "2/", "2.5/", "3/"},
       {R"(Rows("1:1")=T)", R"(Rows("$2:$2")=T)", R"(Rows("3:3")=T)", "Columns(2)=T", "Columns(2.5)=T",
        "Columns(3)=T"}},
      // Beyond an old sheet's size a line goes alone until Excel has taken one.
      {{"65535:65535/True", "65536:65536/", "65537:65537/", "65538:65538/", "65539:65539/", "255/", "256/",
        "257/", "258/", "259/"},
       {R"(Rows("65535:65536")=T)", R"(Rows("65537:65537")=T)", R"(Rows("65538:65539")=T)",
        R"(Columns("IU:IV")=T)", "Columns(257)=T", R"(Columns("IX:IY")=T)"}},
  };
  for (const auto& [lines, expected] : cases) {
    SCOPED_TRACE(lines.front());
    auto recorder = std::make_shared<Recorder>();
    recorder->self = recorder;
    const excel::Object sheet(recorder);
    snapshot::LineApplier applier(sheet, Lines::InRuns);
    bool current = false;
    for (const auto& line : lines) {
      const auto record = snapshot::ReadRecord(line);
      current = record.state.value_or(current);
      applier.Add(record, current);
    }
    applier.Flush();
    EXPECT_EQ(recorder->writes, expected);
  }
}

}  // namespace
}  // namespace quarnel::test_support
