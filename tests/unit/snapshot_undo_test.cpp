#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot/commands.hpp"
#include "standin/model/failures.hpp"
#include "support/attached_excel.hpp"

// What a restore or show-all replaces is kept, and 撤消上次恢复 puts exactly that back.

namespace quarnel::test_support {
namespace {

class UndoTest : public PlanInFrontTest {
 protected:
  void SetUp() override {
    PlanInFrontTest::SetUp();
    UseArea(10, 5);
    model.SetRowsHidden(3, 3, true);
    model.SetRowsHidden(12, 12, true);
    model.SetColumnsHidden(2, 2, true);
    model.SetColumnsHidden(7, 7, true);
  }
  void Restore(const std::string& content) { PlanInFrontTest::Restore(content, &undo); }
  std::string LastBox() const { return desktop.messages.empty() ? "" : desktop.messages.back().text; }

  snapshot::LastView undo;
};

TEST_F(UndoTest, PutsBackExactlyWhatARestoreChangedAndNothingElse) {
  const Numbers rowsBefore = {3, 12};
  const Numbers columnsBefore = {2, 7};
  const std::vector<std::string> files = {
      "1:1/True\r\n2:2/\r\n3:3/False\r\n2/True\r\n7/False\r\n",
      // Beyond the last used row and column, and on the larger sheet only.
      "50:60/True\r\n12:12/False\r\n300/True\r\n70000:70002/True\r\n",
      // Targets only Excel can read: it is asked which rows and columns they name.
      "$4:$5/True\r\n 7 /True\r\n9:8/True\r\n&H9/True\r\n04:04/False\r\n",
      // The same row twice: the state before the first line is what comes back.
      "5:5/True\r\n5:5/False\r\n5:5/True\r\n",
      // A refused line ends the restore; what it set until then is put back.
      "6:6/True\r\n0/True\r\n8:8/True\r\n",
  };
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    Restore(file);
    ASSERT_TRUE(undo);
    // Changed by hand after the restore, outside what it touched: stays.
    model.SetRowsHidden(40, 40, true);
    desktop.messages.clear();
    snapshot::UndoLastRestore(host, undo);
    EXPECT_EQ(LastBox(), "处理完毕!");
    EXPECT_EQ(HiddenRows(100000), (Numbers{3, 12, 40}));
    EXPECT_EQ(HiddenColumns(400), columnsBefore);
    EXPECT_FALSE(undo);
    model.SetRowsHidden(40, 40, false);
    EXPECT_EQ(HiddenRows(100000), rowsBefore);
  }
}

TEST_F(UndoTest, ShowAllShowsUpToTheLastUsedAndCanBeUndone) {
  snapshot::ShowAllLines(host, undo);
  EXPECT_EQ(LastBox(), "处理完毕!");
  EXPECT_EQ(HiddenRows(20), Numbers{12});
  EXPECT_EQ(HiddenColumns(10), Numbers{7});
  EXPECT_TRUE(model.ScreenUpdating());
  snapshot::UndoLastRestore(host, undo);
  EXPECT_EQ(HiddenRows(20), (Numbers{3, 12}));
  EXPECT_EQ(HiddenColumns(10), (Numbers{2, 7}));
}

TEST_F(UndoTest, AnotherSheetInFrontChangesNothingAndSaysWhoseItIs) {
  Restore("3:3/False\r\n");
  model.AddSheet("Sheet2");
  model.SetRowsHidden(4, 4, true);
  desktop.messages.clear();
  snapshot::UndoLastRestore(host, undo);
  EXPECT_EQ(LastBox(),
            "撤消只能用于上次恢复的那张工作表，请先切换到它，然后再试。上次恢复的是：工作簿“Plan."
            "xlsx”的工作表“Sheet1”。");
  EXPECT_EQ(desktop.messages.back().title, kAppTitle);
  EXPECT_EQ(HiddenRows(10), Numbers{4});
  EXPECT_TRUE(model.ScreenUpdating());
  ASSERT_TRUE(undo);

  model.ActivateSheet("Sheet1");
  snapshot::UndoLastRestore(host, undo);
  EXPECT_EQ(LastBox(), "处理完毕!");
  EXPECT_EQ(HiddenRows(10), Numbers{3});
}

TEST_F(UndoTest, KeptOnlyWhenTheRestoreChangesSomethingAndItsStateCouldBeRead) {
  Restore("3:3/False\r\n");
  ASSERT_TRUE(undo);
  const snapshot::LastView kept = undo;
  // Nothing changes: the undo before still holds.
  desktop.dialog.answers.push_back(std::nullopt);
  snapshot::RestoreSnapshot(host, {{}, &undo});
  Restore("");
  Restore("0/True\r\n");
  Restore("/True\r\n");
  EXPECT_EQ(undo->rows, kept->rows);
  EXPECT_EQ(model.Calls("Hidden"), 2u);  // the first restore's one read and one write

  // The file changes between its reading and its applying: a line beyond what was read, no undo.
  int reads = 0;
  desktop.files.whileReading = [&] {
    if (++reads == 1) desktop.files.files[kSnapshotPath] = "3:3/True\r\n9:9/True\r\n";
  };
  Restore("3:3/True\r\n");
  EXPECT_EQ(HiddenRows(10), (Numbers{3, 9}));
  EXPECT_FALSE(undo);
  desktop.files.whileReading = nullptr;
  model.SetRowsHidden(9, 9, false);
  Restore("3:3/False\r\n");
  ASSERT_TRUE(undo);

  // The user stops waiting while it is read: the restore goes on, nothing to undo.
  model.FailCall("Hidden", 1, Failure(-2147418110, "呼叫被取消。"));
  Restore("3:3/True\r\n");
  EXPECT_EQ(LastBox(), "处理完毕!");
  EXPECT_EQ(HiddenRows(10), Numbers{3});
  EXPECT_FALSE(undo);
}

}  // namespace
}  // namespace quarnel::test_support
