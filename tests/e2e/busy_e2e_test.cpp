// quarnel.exe beside a busy stand-in Excel: every way Excel says it is busy is waited out, the
// palette keeps answering meanwhile, and a restore cut short still switches drawing back on.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iostream>
#include <string>
#include <thread>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

using Clock = std::chrono::steady_clock;

TEST_F(QuarnelE2E, EveryKindOfBusyIsWaitedOutWhileThePaletteKeepsAnswering) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();

  // Busy for a moment, as while a person finishes typing into a cell, in each of Excel's ways:
  // rejected, retry later, VBA_E_IGNORE bare and inside EXCEPINFO.
  const std::array<std::pair<int, std::int32_t>, 4> kinds = {{{1, 3}, {2, 4}, {3, 6}, {4, 7}}};
  for (const auto& [kind, row] : kinds) {
    SCOPED_TRACE("busy kind " + std::to_string(kind));
    excel.Select("B" + std::to_string(row));
    excel.App().Call("StandinBusyFor", {kind, 2500});
    const auto start = Clock::now();
    q.Click(kHideRow);
    std::this_thread::sleep_for(200ms);
    // A click while the command waits starts nothing.
    q.Click(kHideColumn);
    const Answers answers = Probe(q.Window(), 1800ms);
    ExpectAnswering(answers);
    EXPECT_FALSE(excel.RowHidden(row));
    ExpectDoneWithoutBox([&] { return excel.RowHidden(row); }, "the row hidden once Excel answered");
    const auto took = std::chrono::duration_cast<Millis>(Clock::now() - start);
    std::cout << "[ busy " << kind << " ] " << answers.answered << "/" << answers.asked
              << " WM_NULL answered, slowest " << answers.slowest.count() << " ms; row hidden after about "
              << took.count() << " ms\n";
    EXPECT_FALSE(excel.ColumnHidden(2));
  }

  // Busy for good: the tool gives up with a message, answering all the while, and goes on.
  excel.App().Call("StandinSetBusy", {4});
  const auto start = Clock::now();
  q.Click(kHideColumn);
  ExpectAnswering(Probe(q.Window(), 5s));
  const Box box = ExpectBox(60s);
  const auto waited = std::chrono::duration_cast<Millis>(Clock::now() - start);
  std::cout << "[ busy for good ] the message came after " << waited.count() << " ms\n";
  RecordProperty("busy_message_after_ms", static_cast<int>(waited.count()));
  // One wait of 10 s for the whole command, not one per call.
  EXPECT_LT(waited, 20s);
  CheckAndClose(box, "Quarnel", std::string("运行时错误 '50290':\n\n") + kBusyText);
  excel.App().Call("StandinSetBusy", {false});
  EXPECT_FALSE(excel.ColumnHidden(2));
  EXPECT_TRUE(q.Program().Running());

  q.Click(kHideColumn);
  ExpectDoneWithoutBox([&] { return excel.ColumnHidden(2); }, "column B hidden after the busy spell");
}

// Excel's window thread stuck before the click, as in a long recalculation: the window search is
// waited out as a busy Excel. Throughout, a character posted to the note shows within the limit: a
// thread held in a SendMessage would still answer WM_NULL, but take no posted message.
TEST_F(QuarnelE2E, AnExcelFrozenBeforeTheClickIsWaitedOutAsABusyOne) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.Select("B4");
  excel.App().Call("StandinFreezeFor", {20000});
  const auto start = Clock::now();
  q.Click(kHideRow);
  Answers typed;
  for (; q.Boxes().empty() && Clock::now() - start < 30s; std::this_thread::sleep_for(50ms)) {
    for (const wchar_t key : {L'x', L'\b'}) {
      const std::string before = q.Note();
      const auto posted = Clock::now();
      ++typed.asked;
      PostMessageW(q.Control("Text1"), WM_CHAR, key, 1);
      if (WaitFor([&] { return q.Note() != before; }, kAnswerWithin, 2ms)) ++typed.answered;
      typed.slowest = std::max(typed.slowest, std::chrono::ceil<Millis>(Clock::now() - posted));
    }
  }
  const auto waited = std::chrono::duration_cast<Millis>(Clock::now() - start);
  std::cout << "[ frozen ] " << typed.answered << "/" << typed.asked << " typed characters shown, slowest "
            << typed.slowest.count() << " ms; the message came after about " << waited.count() << " ms\n";
  ExpectAnswering(typed);
  EXPECT_LT(waited, 15s);
  const Box box = ExpectBox();
  EXPECT_EQ(box.text, "运行时错误 '" +
                          std::to_string(static_cast<std::int32_t>(RPC_E_SERVERCALL_RETRYLATER)) + "':\n\n" +
                          kBusyText);
  EXPECT_TRUE(q.CloseBox(box));
  // Read once Excel thaws.
  EXPECT_FALSE(excel.RowHidden(4));
  EXPECT_TRUE(excel.RowHidden(5));
}

TEST_F(QuarnelE2E, ARestoreCutShortByABusyExcelStillSwitchesDrawingBackOn) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  const std::wstring path = Beside(L"busy.txt");
  ASSERT_TRUE(WriteBytes(path, "2:2/True\r\n3/True\r\n4:4/True\r\n6:6/True\r\n7:7/True\r\n"));

  // Excel turns busy at the third line's write and stays so for 12 s, longer than one call is waited
  // for. The restore first reads the five rows and columns it will change, one by one.
  constexpr int kReads = 5;
  excel.App().Call("StandinBusyAtCall", {std::string("Hidden"), kReads + 3, 1, 12000});
  q.Click(kRestore);
  ASSERT_TRUE(q.ChooseFile(ExpectDialog(), path));
  const auto chosen = Clock::now();
  ExpectAnswering(Probe(q.Window(), 3s));
  const Box box = ExpectBox(60s);
  const auto waited = std::chrono::duration_cast<Millis>(Clock::now() - chosen);
  std::cout << "[ restore ] the error box came " << waited.count() << " ms after the file was chosen\n";
  EXPECT_EQ(box.text, kBusyText);
  EXPECT_GE(waited, 11s);
  // Drawing waited for Excel on its own and was back on before the box.
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  EXPECT_TRUE(excel.RowHidden(2));
  EXPECT_TRUE(excel.ColumnHidden(3));
  EXPECT_FALSE(excel.RowHidden(4));
  EXPECT_TRUE(q.CloseBox(box));

  // Excel refusing drawing for good: a second try is made once the box is closed.
  const auto calls = [&] {
    return excel::ToLong(excel.App().Call("StandinCalls", {std::string("ScreenUpdating")}));
  };
  excel.App().Call("StandinResetCounters");
  excel.App().Call("StandinFailCall",
                   {std::string("Hidden"), kReads + 1, 1004, std::string("不能设置类 Range 的 Hidden 属性")});
  excel.App().Call("StandinFailCall", {std::string("ScreenUpdating"), 2, 1004, std::string("拒绝"), true});
  const Box refused = RestoreFrom(path);
  EXPECT_EQ(refused.text, "不能设置类 Range 的 Hidden 属性");
  EXPECT_EQ(calls(), 2);
  EXPECT_TRUE(q.CloseBox(refused));
  EXPECT_TRUE(WaitFor([&] { return calls() == 3; }, 10s)) << calls();
  EXPECT_TRUE(q.Idle());
  EXPECT_TRUE(q.Boxes().empty());
  EXPECT_TRUE(q.Program().Running());
}

}  // namespace
}  // namespace quarnel::e2e
