// quarnel.exe beside an Excel of today: a busy Excel in front, an Excel without the language pack
// of the user's locale, an Excel that does not answer for a long while, and clicks made while a
// command waits on Excel.

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <thread>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

using Clock = std::chrono::steady_clock;

Millis Since(Clock::time_point start) { return std::chrono::duration_cast<Millis>(Clock::now() - start); }

// Two Excels, B20 selected in both, the front one busy for good: the click reports it after the
// wait, as it would with that Excel alone, and the Excel behind is neither changed nor asked.
TEST_F(QuarnelE2E, ABusyExcelInFrontIsReportedAndTheOneBehindIsNeverTouched) {
  Standin& behind = StartDemo();
  Standin& front = LaunchStandin(L"/Demo");
  Quarnel& q = StartQuarnel();
  for (Standin* standin : {&behind, &front}) standin->Select("B20");
  SetForegroundWindow(front.Window());
  SetForegroundWindow(q.Window());

  for (int kind = 1; kind <= 4; ++kind) {
    SCOPED_TRACE("busy kind " + std::to_string(kind));
    behind.App().Call("StandinResetCounters");
    front.App().Call("StandinSetBusy", {kind});
    q.Click(kHideRow);
    const Box box = ExpectBox(60s);
    EXPECT_TRUE(box.text.starts_with("运行时错误 '")) << box.text;
    EXPECT_TRUE(box.text.ends_with(kBusyText)) << box.text;
    EXPECT_TRUE(q.CloseBox(box));
    front.App().Call("StandinSetBusy", {0});
    EXPECT_FALSE(front.RowHidden(20));
    EXPECT_FALSE(behind.RowHidden(20));
    EXPECT_EQ(excel::ToLong(behind.App().Get("StandinTotalCalls")), 0);
  }
  EXPECT_EQ(Standin::Processes(), 2) << "another Excel was started";
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return front.RowHidden(20); }, "row 20 hidden once the Excel in front is free");
}

// An Excel without the language pack of the user's locale turns away every call made in it: all
// six commands still work, in either locale.
void EveryCommandWorksWithAnExcelThatTakesOnlyEnglish(QuarnelE2E& test, Standin& excel, Quarnel& q) {
  excel.App().Call("StandinLcidOnly", {1033});
  const auto click = [&](const std::string& cell, const char* button, const std::function<bool()>& done) {
    excel.Select(cell);
    q.Click(button);
    test.ExpectDoneWithoutBox(done, button);
  };
  click("D7", kHideRow, [&] { return excel.RowHidden(7); });
  click("D7", kHideColumn, [&] { return excel.ColumnHidden(4); });
  click("D4", kUnhideRow, [&] { return !excel.RowHidden(5); });
  click("F4", kUnhideColumn, [&] { return !excel.ColumnHidden(7); });
  const std::wstring snapshot = test.RecordOne();
  const std::string recorded = q.ReadFile(snapshot);
  EXPECT_NE(recorded.find("\r\n7:7/True\r\n"), std::string::npos);
  EXPECT_NE(recorded.find("\r\n4/True\r\n"), std::string::npos);

  click("B9", kHideRow, [&] { return excel.RowHidden(9); });
  test.ExpectDone(test.RestoreFrom(test.Beside(snapshot)));
  EXPECT_FALSE(excel.RowHidden(9));
  EXPECT_TRUE(excel.RowHidden(7));
}

TEST_F(QuarnelE2E, EveryCommandWorksWithAnExcelThatTakesOnlyEnglish) {
  Standin& excel = StartDemo();
  EveryCommandWorksWithAnExcelThatTakesOnlyEnglish(*this, excel, StartQuarnel());
}

TEST_F(QuarnelE2E, EveryCommandWorksWithAnExcelThatTakesOnlyEnglishOnChineseWindowsZhCN) {
  Standin& excel = StartDemo();
  EveryCommandWorksWithAnExcelThatTakesOnlyEnglish(*this, excel, StartQuarnel());
}

// Excel takes `hang` over the click's first call. The palette keeps answering, and after 15 s of
// that one call it asks whether to wait on; the question, and when it came.
Box ClickIntoAHang(Standin& excel, Quarnel& q, Millis hang) {
  excel.App().Call("StandinHangFor", {static_cast<std::int32_t>(hang.count())});
  const auto start = Clock::now();
  q.Click(kHideRow);
  ExpectAnswering(Probe(q.Window(), 14s));
  const std::optional<Box> question = q.WaitForBox(5s);
  const Millis after = Since(start);
  std::cout << "[ hang ] the question came after " << after.count() << " ms\n";
  EXPECT_GE(after, 15s);
  EXPECT_LE(after, 17s);
  if (!question) {
    ADD_FAILURE() << "no question came";
    return {};
  }
  EXPECT_TRUE(question->text.starts_with("Excel 已经 15 秒没有应答")) << question->text;
  return *question;
}

// Waiting on is the user's to say. Stopping fails the call as cancelled and the tool goes on.
// Wine 8 ends a cancelled call only once the server answers (combase keeps waiting after
// PENDINGMSG_CANCELCALL); Windows ends it at once.
TEST_F(QuarnelE2E, AnExcelThatDoesNotAnswerIsWaitedOnAsLongAsTheUserSays) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.Select("B8");
  ASSERT_TRUE(q.Answer(ClickIntoAHang(excel, q, 17s), IDYES));
  ExpectDoneWithoutBox([&] { return excel.RowHidden(8); }, "row 8 hidden once Excel answered");

  excel.Select("B10");
  const auto start = Clock::now();
  ASSERT_TRUE(q.Answer(ClickIntoAHang(excel, q, 20s), IDNO));
  const auto stopped = Clock::now();
  const Box box = ExpectBox(30s);
  std::cout << "[ hang ] stopped " << Since(start).count() << " ms after the click; the command ended "
            << Since(stopped).count() << " ms later\n";
  EXPECT_EQ(box.text, "运行时错误 '-2147418110':\n\n已停止等待 Excel，本次操作没有完成。");
  EXPECT_TRUE(q.CloseBox(box));
  EXPECT_TRUE(q.Program().Running());

  excel.Select("B9");
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(9); }, "row 9 hidden by the next click");
}

// Clicks made during one of the record's slow calls start nothing; the exit clicked then closes
// the tool once the snapshot is complete.
TEST_F(QuarnelE2E, ClicksDuringASlowRecordStartNothingAndAnExitWaitsForTheSnapshot) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.App().Call("StandinSlowFor", {30000, 40});
  const auto start = Clock::now();
  q.Click(kRecord);
  std::this_thread::sleep_for(1s);
  q.Click(kRecord);
  q.Click(kRestore);
  std::this_thread::sleep_for(300ms);
  q.Click(kExit);
  bool boxSeen = false;
  EXPECT_TRUE(WaitFor(
      [&] {
        boxSeen = boxSeen || !q.Boxes().empty();
        return !q.Program().Running();
      },
      60s));
  std::cout << "[ slow record ] the tool closed " << Since(start).count() << " ms after the click\n";
  EXPECT_FALSE(boxSeen) << "a dialog or box was shown";
  const std::vector<std::wstring> files = q.FilesBeside();
  ASSERT_EQ(files.size(), 1u);
  const std::string recorded = q.ReadFile(files[0]);
  EXPECT_TRUE(recorded.ends_with("\r\n8/False\r\n")) << "the snapshot is not complete";
}

}  // namespace
}  // namespace quarnel::e2e
