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

// Each file from a fresh start: the rows and columns it leaves hidden, and its box ("" when complete).
struct RestoreCase {
  std::function<void(RestoreTest&)> arrange;
  std::string file;
  Numbers rows, columns;
  std::string error;
};

const std::string kHiddenRefused = "不能设置类 Range 的 Hidden 属性";

std::function<void(RestoreTest&)> RowsHidden(std::int32_t first, std::int32_t last) {
  return [=](RestoreTest& t) { t.model.SetRowsHidden(first, last, true); };
}

// States that flip, so that each line is a write of its own.
void FailHidden(RestoreTest& t) { t.model.FailCall("Hidden", 2, Failure(1004, kHiddenRefused)); }
// The second write of ScreenUpdating is the one that ends a good run.
void FailDrawing(RestoreTest& t) { t.model.FailCall("ScreenUpdating", 2, standin::CallRejected()); }
// Bringing Excel to the front fails and is passed over: never reported after completion.
void NoWindow(RestoreTest& t) { t.connector.windowTitles.clear(); }

TEST_F(RestoreTest, EachFileGoesAsFarAsItsLinesAndExcelLetIt) {
  const std::string zero = standin::ApplicationDefined().Description();
  const std::string rejected = standin::CallRejected().Description();
  const RestoreCase cases[] = {
      {RowsHidden(4, 4), "", {4}, {}, ""},
      {RowsHidden(1, 13),
       "5:5/yes\r\n"        // shown: the state starts false
       "4:4/true\r\n"       // hidden
       "6:6/yes\r\n"        // hidden, as the line before
       "7:7/True \r\n"      // hidden: with a blank it matches neither
       "8:8/FALSE\r\n"      // shown
       "12:12/\r\n"         // shown, as the line before
       "13:13/ False\r\n",  // shown, as the line before
       {1, 2, 3, 4, 6, 7, 9, 10, 11},
       {},
       ""},
      {nullptr, "1:1/True\n2:2/True\n3/True\n", {1, 2}, {3}, ""},
      {nullptr, "4:4/True\r5/True", {4}, {5}, ""},
      {nullptr, "1:1/True\r\n2:2/True\r\n\r\n", {1, 2}, {}, "下标越界"},
      // Columns that read as zero are Excel's to refuse.
      {nullptr, "2:2/True\r\nC/False\r\n3:3/True\r\n", {2}, {}, zero},
      {nullptr, "2:2/True\r\n/False\r\n3:3/True\r\n", {2}, {}, zero},
      {nullptr, "2:2/True\r\n0.4/True\r\n3:3/True\r\n", {2}, {}, zero},
      {FailHidden, "1:1/True\r\n2:2/False\r\n3:3/True\r\n", {1}, {}, kHiddenRefused},
      {FailDrawing, "1:1/True\r\n", {1}, {}, rejected},
      {NoWindow, "1:1/True\r\n", {1}, {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Restart();
    if (c.arrange) c.arrange(*this);
    Restore(c.file);
    EXPECT_EQ(HiddenRows(30), c.rows);
    EXPECT_EQ(HiddenColumns(30), c.columns);
    if (c.error.empty()) {
      EXPECT_TRUE(Completed());
      EXPECT_TRUE(model.ScreenUpdating());
      EXPECT_EQ(desktop.files.openFiles, 0);
    } else {
      ExpectErrorBox(c.error);
    }
  }
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

TEST_F(RestoreTest, FailureToSwitchDrawingOnAfterAFailureIsNotReportedOverIt) {
  model.FailCall("ScreenUpdating", 2, standin::CallRejected());
  RestoreSnapshot(host);  // cancelled
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, "选定了“取消”");
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
