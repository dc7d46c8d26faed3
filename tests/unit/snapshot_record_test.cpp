#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/click.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/last_used.hpp"
#include "standin/model/failures.hpp"
#include "support/attached_excel.hpp"
#include "support/failure_number.hpp"

namespace quarnel::test_support {
namespace {

using snapshot::RecordSnapshot;

class RecordTest : public PlanInFrontTest {
 protected:
  std::string Written(const std::string& path = kSnapshotPath) const {
    const auto found = desktop.files.files.find(path);
    return found == desktop.files.files.end() ? "<none>" : found->second;
  }
};

TEST_F(RecordTest, EmptySheetGivesOneRowAndOneColumnRecord) {
  model.SetRowsHidden(1, 1, true);
  RecordSnapshot(host);
  EXPECT_EQ(Written(), "1:1/True\r\n1/False\r\n");
  EXPECT_EQ(FileNames(), std::vector<std::string>{kSnapshotPath});
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(desktop.files.openFiles, 0);
}

TEST_F(RecordTest, RowsToTheLastOfColumnAThenColumnsToTheLastOfRowOne) {
  UseArea(5, 4);
  model.SetRowsHidden(3, 3, true);
  model.SetColumnsHidden(2, 2, true);
  // Outside the used area: no record for these.
  model.SetRowsHidden(8, 8, true);
  model.SetColumnsHidden(6, 6, true);
  model.SetCell(20, 2, std::string("beside column A"));
  model.SetCell(2, 30, std::string("below row 1"));
  model.ResetCounters();

  RecordSnapshot(host);

  EXPECT_EQ(Written(),
            "1:1/False\r\n2:2/False\r\n3:3/True\r\n4:4/False\r\n5:5/False\r\n"
            "1/False\r\n2/True\r\n3/False\r\n4/False\r\n");
  // One read per row and per column; nothing written to Excel.
  EXPECT_EQ(model.Calls("Rows"), 5u);
  EXPECT_EQ(model.Calls("EntireRow"), 5u);
  EXPECT_EQ(model.Calls("Columns"), 4u);
  EXPECT_EQ(model.Calls("EntireColumn"), 4u);
  EXPECT_EQ(model.Calls("Hidden"), 9u);
  // With the last rows and columns shown, one count each says nothing is filled beyond them.
  EXPECT_EQ(model.Calls("CountA"), 2u);
  EXPECT_TRUE(model.ScreenUpdating());
  EXPECT_TRUE(model.IsRowHidden(8));
}

TEST_F(RecordTest, LastCellsAreFoundByExcelsOwnMovesFromA65536AndIV1) {
  // From an empty A65536 the move upwards stops at the last filled cell; from an empty IV1 the
  // move leftwards likewise. Beyond them nothing is looked at.
  UseArea(2, 3);
  model.SetCell(70000, 1, std::string("x"));
  model.SetCell(1, 300, std::string("x"));
  RecordSnapshot(host);
  EXPECT_EQ(Written(), "1:1/False\r\n2:2/False\r\n1/False\r\n2/False\r\n3/False\r\n");
}

// Excel's own move from a filled A65536 would stop at the top of its block (row 1 for a full
// column), leaving all rows below out of the snapshot. Error values are filled cells too.
TEST_F(RecordTest, FilledCornerCellsRecordEveryRowAndColumnUpToThem) {
  for (const bool errorValues : {false, true}) {
    SCOPED_TRACE(errorValues ? "error values" : "text");
    Restart();
    if (errorValues) {
      model.SetCellError(65536, 1, 2042);
      model.SetCellError(1, 256, 2007);
    } else {
      for (const std::int32_t at : {65535, 65536}) model.SetCell(at, 1, std::string("x"));
      for (const std::int32_t at : {255, 256}) model.SetCell(1, at, std::string("x"));
      model.SetColumnsHidden(256, 256, true);
    }
    model.SetRowsHidden(65536, 65536, true);
    app::Commands(host).OnClick(app::Button::Command3);
    EXPECT_TRUE(desktop.messages.empty());
    ASSERT_EQ(FileNames(), std::vector<std::string>{kSnapshotPath});
    const std::string written = Written();
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 65536 + 256);
    EXPECT_NE(written.find("\r\n65535:65535/False\r\n65536:65536/True\r\n1/False\r\n"), std::string::npos);
    EXPECT_TRUE(
        written.ends_with(errorValues ? "\r\n255/False\r\n256/False\r\n" : "\r\n255/False\r\n256/True\r\n"));
  }
}

// Column A (or row 1) with some cells filled and some rows (columns) hidden: the last used row
// (column) is the last filled cell, hidden or not, whichever way Excel's End treats hidden cells.
TEST(LastUsed, IsTheLastFilledCellHiddenOrNot) {
  struct Case {
    bool row;
    std::vector<std::int32_t> filled;
    std::int32_t firstHidden, lastHidden, expected;
  };
  const std::vector<Case> cases = {
      {true, {1, 2, 97, 98, 99, 100}, 98, 100, 100},  // last rows hidden and filled
      {true, {65535, 65536}, 0, 0, 65536},            // A65536 filled
      {true, {10, 65536}, 65536, 65536, 65536},       // and hidden
      {true, {}, 0, 0, 1},                            // empty column
      {true, {}, 1, 3, 1},                            // and its first rows hidden
      {true, {1, 2, 3, 20, 21, 22}, 20, 22, 22},      // a gap, then hidden filled rows
      {true, {1, 2, 3}, 1, 3, 3},                     // only the first rows, hidden
      {false, {1, 2, 9, 10}, 9, 10, 10},
      {false, {255, 256}, 0, 0, 256},
      {false, {3, 256}, 256, 256, 256},
      {false, {}, 0, 0, 1},
      {false, {1, 2, 30, 31}, 30, 31, 31},
  };
  for (const bool seen : {false, true}) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
      SCOPED_TRACE("case " + std::to_string(i) +
                   (seen ? ", End stops on hidden cells" : ", End passes them"));
      const Case& c = cases[i];
      standin::Model model;
      model.SetEndSeesHidden(seen);
      model.AddWorkbook();
      for (std::int32_t at : c.filled) model.SetCell(c.row ? at : 1, c.row ? 1 : at, std::string("x"));
      if (c.firstHidden != 0 && c.row) model.SetRowsHidden(c.firstHidden, c.lastHidden, true);
      if (c.firstHidden != 0 && !c.row) model.SetColumnsHidden(c.firstHidden, c.lastHidden, true);
      snapshot::LastUsed lastUsed(model.Application(), model.Application().GetObject("ActiveSheet"));
      EXPECT_EQ(c.row ? lastUsed.Row() : lastUsed.Column(), c.expected);
      EXPECT_LE(model.Calls("CountA"), 18u) << "halving takes a few counts however long the line";
    }
  }
}

TEST_F(RecordTest, NoteIsTrimmedAndBlankNoteLeftOut) {
  desktop.note = " before ";
  RecordSnapshot(host);
  desktop.note = "   ";
  desktop.dateTime = "2026/12/8 9:05:08";
  RecordSnapshot(host);
  desktop.note = "";
  desktop.dateTime = "2026-12-08 09:05:09";
  RecordSnapshot(host);
  EXPECT_EQ(FileNames(),
            (std::vector<std::string>{"C:\\Tools\\Quarnel\\Plan-行列状态_20261208090509.txt",
                                      "C:\\Tools\\Quarnel\\Plan-行列状态_202612890508.txt",
                                      "C:\\Tools\\Quarnel\\Plan-行列状态_before_20261208090507.txt"}));
}

TEST_F(RecordTest, UnsavedWorkbookGivesItsWholeName) {
  model.AddWorkbook("Book1");
  RecordSnapshot(host);
  EXPECT_EQ(FileNames(), std::vector<std::string>{"C:\\Tools\\Quarnel\\Book1-行列状态_20261208090507.txt"});
}

TEST_F(RecordTest, RefusedNoteIsShownPlainlyAndNothingIsWritten) {
  desktop.note = " ..\\Other ";
  model.ResetCounters();
  app::Commands(host).OnClick(app::Button::Command3);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_NE(desktop.messages[0].text.find("“\\”"), std::string::npos) << desktop.messages[0].text;
  EXPECT_EQ(desktop.messages[0].text.find("运行时错误"), std::string::npos);
  EXPECT_EQ(desktop.messages[0].title, kAppTitle);
  EXPECT_TRUE(desktop.files.log.empty());
  EXPECT_EQ(model.Calls("Rows"), 0u);
}

TEST_F(RecordTest, SameSecondNeverReplacesAnEarlierSnapshot) {
  model.SetRowsHidden(1, 1, true);
  RecordSnapshot(host);
  model.SetRowsHidden(1, 1, false);
  RecordSnapshot(host);
  RecordSnapshot(host);
  EXPECT_EQ(Written(), "1:1/True\r\n1/False\r\n");
  EXPECT_EQ(Written("C:\\Tools\\Quarnel\\Plan-行列状态_20261208090507_2.txt"), "1:1/False\r\n1/False\r\n");
  EXPECT_EQ(Written("C:\\Tools\\Quarnel\\Plan-行列状态_20261208090507_3.txt"), "1:1/False\r\n1/False\r\n");
  EXPECT_EQ(FileNames().size(), 3u);

  // A name that was free when the record began and taken before its end: the next one.
  const std::string fourth = "C:\\Tools\\Quarnel\\Plan-行列状态_20261208090507_4.txt";
  desktop.files.files[fourth] = "another program's";
  desktop.files.unseen.insert(fourth);
  RecordSnapshot(host);
  EXPECT_EQ(Written(fourth), "another program's");
  EXPECT_EQ(Written("C:\\Tools\\Quarnel\\Plan-行列状态_20261208090507_5.txt"), "1:1/False\r\n1/False\r\n");
}

TEST_F(RecordTest, IsWrittenUnderAPartNameAndRenamedOnlyWhenComplete) {
  UseArea(3, 1);
  RecordSnapshot(host);
  const std::string part = "C:\\Tools\\Quarnel\\quarnel-1.part";
  EXPECT_EQ(desktop.files.log,
            (std::vector<std::string>{"create " + part, "rename " + part + " -> " + kSnapshotPath}));
}

TEST_F(RecordTest, LeftoverPartFileIsLeftAloneAndAnotherUsed) {
  const std::string leftover = "C:\\Tools\\Quarnel\\quarnel-1.part";
  desktop.files.files[leftover] = "1:1/Tr";
  RecordSnapshot(host);
  EXPECT_EQ(desktop.files.files[leftover], "1:1/Tr");
  EXPECT_EQ(Written(), "1:1/False\r\n1/False\r\n");
  EXPECT_EQ(FileNames().size(), 2u);
}

// Each failure leaves no file behind: the partial one is removed, and a snapshot name is only ever
// given to a complete file.
TEST_F(RecordTest, FailureLeavesNoFile) {
  struct Case {
    const char* what;
    std::function<void(RecordTest&)> arm;
    std::int32_t number;
  };
  const std::vector<Case> cases = {
      {"a row read", [](RecordTest& t) { t.model.FailCall("Hidden", 3, standin::CallRejected()); },
       standin::kCallRejected},
      {"the last column", [](RecordTest& t) { t.model.FailCall("Column", 1, standin::Disconnected()); },
       standin::kDisconnected},
      {"a column read", [](RecordTest& t) { t.model.FailCall("Hidden", 7, standin::CallRejected()); },
       standin::kCallRejected},
      {"a full disk", [](RecordTest& t) { t.desktop.files.failWritesAfterBytes = 10; },
       errors::kDeviceIoError},
      {"creating",
       [](RecordTest& t) { t.desktop.files.failCreate = Failure(errors::kPermissionDenied, "权限拒绝"); },
       errors::kPermissionDenied},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    UseArea(5, 4);
    c.arm(*this);
    EXPECT_EQ(FailureNumber([&] { RecordSnapshot(host); }), c.number);
    EXPECT_TRUE(desktop.files.files.empty()) << desktop.files.files.begin()->first;
    EXPECT_EQ(desktop.files.openFiles, 0);
  }
}

TEST_F(RecordTest, LastRowIsReadBeforeTheFileAndLastColumnAfterTheRows) {
  UseArea(4, 2);
  model.FailCall("Row", 1, standin::CallRejected());
  EXPECT_THROW(RecordSnapshot(host), Failure);
  EXPECT_TRUE(desktop.files.log.empty());

  model.ResetCounters();
  model.FailCall("Column", 1, standin::CallRejected());
  EXPECT_THROW(RecordSnapshot(host), Failure);
  EXPECT_EQ(model.Calls("EntireRow"), 4u);
  EXPECT_EQ(model.Calls("EntireColumn"), 0u);
}

}  // namespace
}  // namespace quarnel::test_support
