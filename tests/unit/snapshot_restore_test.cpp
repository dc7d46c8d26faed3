#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "snapshot/commands.hpp"
#include "standin/model/failures.hpp"
#include "support/attached_excel.hpp"

namespace quarnel::test_support {
namespace {

using snapshot::RestoreSnapshot;

class RestoreTest : public PlanInFrontTest {
 public:
  bool Completed() const {
    return desktop.messages.size() == 1 && desktop.messages[0].text == "处理完毕!" &&
           desktop.messages[0].title == "提示" && desktop.messages[0].icon == MessageIcon::Information;
  }

  // The error step: the failure's description under the application title, no icon, and Excel
  // drawing and the file let go.
  void ExpectErrorBox(const std::string& description) const {
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, description);
    EXPECT_EQ(desktop.messages[0].title, kAppTitle);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(model.ScreenUpdating());
    EXPECT_EQ(desktop.files.openFiles, 0);
  }
};

TEST_F(RestoreTest, SetsUpTheDialogWithDrawingPausedAndReportsCompletion) {
  bool drawingWhileOpen = true;
  desktop.dialog.whileOpen = [&] { drawingWhileOpen = model.ScreenUpdating(); };
  Restore("2:2/True\r\n3/True\r\n");
  EXPECT_EQ(desktop.dialog.calls,
            (std::vector<std::string>{"DialogTitle=读取隐藏状态文件", "Filter=*.txt|*.txt", "CancelError=1",
                                      "InitDir=C:\\Tools\\Quarnel", "ShowOpen"}));
  EXPECT_FALSE(drawingWhileOpen);
  EXPECT_TRUE(model.ScreenUpdating());
  EXPECT_EQ(HiddenRows(10), Numbers{2});
  EXPECT_EQ(HiddenColumns(10), Numbers{3});
  EXPECT_TRUE(Completed());
  EXPECT_EQ(desktop.files.openFiles, 0);
}

TEST_F(RestoreTest, EmptyFileChangesNothingAndCompletes) {
  model.SetRowsHidden(4, 4, true);
  Restore("");
  EXPECT_EQ(HiddenRows(10), Numbers{4});
  EXPECT_TRUE(Completed());
  EXPECT_TRUE(model.ScreenUpdating());
}

TEST_F(RestoreTest, RowRangesColumnsAndTargetsAsTheFileHoldsThem) {
  model.SetColumnsHidden(3, 3, true);
  model.ResetCounters();
  Restore(
      "5:5/True\r\n"
      "3/False\r\n"
      "10:14/True\r\n"
      "$20:$21/True/x\r\n"
      " 7 /True\r\n"
      "&H9/True\r\n"
      "12abc/True\r\n");
  EXPECT_EQ(HiddenRows(30), (Numbers{5, 10, 11, 12, 13, 14, 20, 21}));
  EXPECT_EQ(HiddenColumns(30), (Numbers{7, 9, 12}));
  // One write per line, also for a range of rows.
  EXPECT_EQ(model.Calls("Rows"), 3u);
  EXPECT_EQ(model.Calls("Hidden"), 7u);
  EXPECT_TRUE(Completed());
}

TEST_F(RestoreTest, UnrecognisedStateCarriesTheLineBefore) {
  model.SetRowsHidden(1, 30, true);
  Restore(
      "5:5/yes\r\n"         // shown: the state starts false
      "4:4/true\r\n"        // hidden
      "6:6/yes\r\n"         // hidden, as the line before
      "7:7/True \r\n"       // hidden: with a blank it matches neither
      "8:8/FALSE\r\n"       // shown
      "12:12/\r\n"          // shown, as the line before
      "13:13/ False\r\n");  // shown, as the line before
  EXPECT_EQ(HiddenRows(13), (Numbers{1, 2, 3, 4, 6, 7, 9, 10, 11}));
  EXPECT_TRUE(Completed());
}

TEST_F(RestoreTest, FilesWithCrOrLfLineEndsApplyLineByLine) {
  Restore("1:1/True\n2:2/True\n3/True\n");
  Restore("4:4/True\r5/True");
  EXPECT_EQ(HiddenRows(10), (Numbers{1, 2, 4}));
  EXPECT_EQ(HiddenColumns(10), (Numbers{3, 5}));
  EXPECT_EQ(desktop.messages.size(), 2u);
}

TEST_F(RestoreTest, LineWithoutSlashStopsTheRunAndTheFileCanBeChosenAgain) {
  Restore("1:1/True\r\n2/True\r\n3:3 True\r\n4:4/True\r\n");
  EXPECT_EQ(HiddenRows(10), Numbers{1});
  EXPECT_EQ(HiddenColumns(10), Numbers{2});
  ExpectErrorBox("下标越界");

  desktop.messages.clear();
  Restore("4:4/True\r\n");
  EXPECT_EQ(HiddenRows(10), (Numbers{1, 4}));
  EXPECT_TRUE(Completed());
}

TEST_F(RestoreTest, BlankLineAtTheEndIsReportedAfterTheLinesBeforeIt) {
  Restore("1:1/True\r\n2:2/True\r\n\r\n");
  EXPECT_EQ(HiddenRows(10), (Numbers{1, 2}));
  ExpectErrorBox("下标越界");
}

TEST_F(RestoreTest, ColumnThatReadsAsZeroIsRefusedByExcel) {
  for (const char* line : {"C/False\r\n", "/False\r\n", "0.4/True\r\n"}) {
    SCOPED_TRACE(line);
    desktop.messages.clear();
    Restore(std::string("2:2/True\r\n") + line + "3:3/True\r\n");
    ExpectErrorBox(standin::ApplicationDefined().Description());
    EXPECT_EQ(HiddenRows(10), Numbers{2});
  }
}

TEST_F(RestoreTest, ExcelRefusingAChangeStopsTheRun) {
  model.FailCall("Hidden", 2, Failure(1004, "不能设置类 Range 的 Hidden 属性"));
  // States that flip, so that each line is a write of its own.
  Restore("1:1/True\r\n2:2/False\r\n3:3/True\r\n");
  EXPECT_EQ(HiddenRows(10), Numbers{1});
  ExpectErrorBox("不能设置类 Range 的 Hidden 属性");
}

TEST_F(RestoreTest, CancelShowsTheErrorAndTheNextClickOffersThePreviousName) {
  Restore("1:1/True\r\n");
  desktop.messages.clear();
  model.SetRowsHidden(1, 1, false);

  std::string offered;
  desktop.dialog.whileOpen = [&] { offered = desktop.dialog.FileName(); };
  RestoreSnapshot(host);  // no answer: the user cancels
  EXPECT_EQ(offered, kSnapshotPath);
  ExpectErrorBox("选定了“取消”");
  EXPECT_EQ(HiddenRows(10), Numbers{});
  EXPECT_EQ(desktop.files.log.size(), 1u);  // only the first run opened a file
}

TEST_F(RestoreTest, FileThatCannotBeOpened) {
  desktop.dialog.answers.push_back("C:\\Tools\\Quarnel\\gone.txt");
  RestoreSnapshot(host);
  ExpectErrorBox("文件未找到");
}

TEST_F(RestoreTest, DrawingIsSwitchedOnAgainEvenWhenTheFirstTryFails) {
  // The second write of ScreenUpdating is the one that ends a good run.
  model.FailCall("ScreenUpdating", 2, standin::CallRejected());
  Restore("1:1/True\r\n");
  EXPECT_EQ(HiddenRows(10), Numbers{1});
  ExpectErrorBox(standin::CallRejected().Description());
}

TEST_F(RestoreTest, FailureToSwitchDrawingOnAfterAFailureIsNotReportedOverIt) {
  model.FailCall("ScreenUpdating", 2, standin::CallRejected());
  RestoreSnapshot(host);  // cancelled
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, "选定了“取消”");
}

TEST_F(RestoreTest, FailurePassedOverByTheAttachmentNeverFollowsCompletion) {
  connector.windowTitles.clear();  // bringing Excel to the front fails and is passed over
  Restore("1:1/True\r\n");
  EXPECT_TRUE(Completed());
  EXPECT_EQ(HiddenRows(10), Numbers{1});
}

TEST_F(RestoreTest, AppliesToTheSheetInFrontWhateverRecordedIt) {
  model.AddSheet("Other");
  Restore("2:2/True\r\n");
  EXPECT_EQ(HiddenRows(10), Numbers{2});
  model.ActivateSheet("Sheet1");
  EXPECT_EQ(HiddenRows(10), Numbers{});
}

TEST_F(RestoreTest, DrawingRefusedInTheErrorStepIsTriedOnceMoreAfterTheBox) {
  for (const bool lasting : {false, true}) {
    SCOPED_TRACE(lasting ? "Excel refuses for good" : "Excel is free once the box is closed");
    Restart();
    model.FailCall("Hidden", 2, Failure(1004, "不能设置类 Range 的 Hidden 属性"));
    // The pause goes through; every write after it is refused, or only the first.
    model.FailCall("ScreenUpdating", 2, standin::CallRejected(), lasting);
    std::uint64_t writesBeforeTheBoxClosed = 0;
    desktop.onMessage = [&](const ShownMessage&) {
      writesBeforeTheBoxClosed = model.Calls("ScreenUpdating");
    };

    // Rows apart, so that each line is a write of its own.
    Restore("1:1/True\r\n3:3/True\r\n");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "不能设置类 Range 的 Hidden 属性");
    EXPECT_EQ(writesBeforeTheBoxClosed, 2u);
    EXPECT_EQ(model.Calls("ScreenUpdating"), 3u);
    EXPECT_EQ(model.ScreenUpdating(), !lasting);
    EXPECT_EQ(desktop.files.openFiles, 0);
  }
}

TEST_F(RestoreTest, APauseThatExcelRefusedIsNotUndone) {
  model.FailCall("ScreenUpdating", 1, standin::CallRejected());
  Restore("1:1/True\r\n");
  ExpectErrorBox(standin::CallRejected().Description());
  EXPECT_EQ(model.Calls("ScreenUpdating"), 1u);
  EXPECT_TRUE(desktop.dialog.calls.empty());
}

TEST_F(RestoreTest, EveryKindOfExceptionReachesTheErrorStep) {
  struct Case {
    std::function<void()> raise;
    std::string description;
  };
  const std::vector<Case> cases = {
      {[] { throw std::bad_alloc(); }, "内存溢出"},
      {[] { throw std::runtime_error("读取中断"); }, "内部错误: 读取中断"},
      {[] { throw 42; }, "内部错误"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    desktop.messages.clear();
    model.SetRowsHidden(1, 2, false);
    // Thrown while the file is open and drawing paused, after the lines were read.
    int reads = 0;
    desktop.files.whileReading = [&] {
      if (++reads == 2) c.raise();
    };
    EXPECT_NO_THROW(Restore("1:1/True\r\n2:2/True\r\n"));
    ExpectErrorBox(c.description);
    EXPECT_EQ(HiddenRows(10), (Numbers{1, 2}));
  }
}

}  // namespace
}  // namespace quarnel::test_support
