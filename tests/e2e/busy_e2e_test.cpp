// quarnel.exe beside a busy stand-in Excel: every way Excel says it is busy is waited out, the
// palette keeps answering meanwhile, and a restore cut short still switches drawing back on.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

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
  EXPECT_EQ(box.title, "Quarnel");
  EXPECT_EQ(box.text, std::string("运行时错误 '50290':\n\n") + kBusyText);
  EXPECT_TRUE(q.CloseBox(box));
  excel.App().Call("StandinSetBusy", {false});
  EXPECT_FALSE(excel.ColumnHidden(2));
  EXPECT_TRUE(q.Program().Running());

  q.Click(kHideColumn);
  ExpectDoneWithoutBox([&] { return excel.ColumnHidden(2); }, "column B hidden after the busy spell");
}

// How long the palette leaves a posted message waiting: a character typed into the note must show
// and go again. A thread held inside a SendMessage still answers sent messages such as WM_NULL,
// but takes no posted one, which is what Windows' "not responding" is about.
Answers ProbeTyping(const Quarnel& q, Millis span) {
  const HWND note = q.Control("Text1");
  Answers answers;
  for (const auto until = Clock::now() + span; Clock::now() < until; std::this_thread::sleep_for(100ms)) {
    for (const wchar_t typed : {L'x', L'\b'}) {
      const std::string before = q.Note();
      const auto posted = Clock::now();
      ++answers.asked;
      PostMessageW(note, WM_CHAR, typed, 1);
      if (WaitFor([&] { return q.Note() != before; }, kAnswerWithin, 2ms)) ++answers.answered;
      answers.slowest = std::max(answers.slowest, std::chrono::ceil<Millis>(Clock::now() - posted));
    }
  }
  return answers;
}

void Add(Answers& all, const Answers& more) {
  all.asked += more.asked;
  all.answered += more.answered;
  all.slowest = std::max(all.slowest, more.slowest);
}

// Excel's window thread stuck before the click (a long recalculation): the window search is not
// answered, which is a busy Excel waited out as any other, and the palette answers throughout.
TEST_F(QuarnelE2E, AnExcelFrozenBeforeTheClickIsWaitedOutAsABusyOne) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.Select("B4");
  excel.App().Call("StandinFreezeFor", {20000});
  const auto start = Clock::now();
  q.Click(kHideRow);
  Answers sent;
  Answers posted;
  std::vector<Box> boxes;
  while (boxes.empty() && Clock::now() - start < 30s) {
    Add(sent, Probe(q.Window(), 500ms));
    Add(posted, ProbeTyping(q, 500ms));
    boxes = q.Boxes();
  }
  const auto waited = std::chrono::duration_cast<Millis>(Clock::now() - start);
  std::cout << "[ frozen ] " << sent.answered << "/" << sent.asked << " WM_NULL answered, slowest "
            << sent.slowest.count() << " ms; " << posted.answered << "/" << posted.asked
            << " typed characters shown, slowest " << posted.slowest.count()
            << " ms; the message came after about " << waited.count() << " ms\n";
  ExpectAnswering(sent);
  ExpectAnswering(posted);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "运行时错误 '" +
                               std::to_string(static_cast<std::int32_t>(RPC_E_SERVERCALL_RETRYLATER)) +
                               "':\n\n" + kBusyText);
  EXPECT_LT(waited, 15s);
  EXPECT_TRUE(q.CloseBox(boxes[0]));
  // Read once Excel thaws.
  EXPECT_FALSE(excel.RowHidden(4));
  EXPECT_TRUE(excel.RowHidden(5));
  EXPECT_FALSE(excel.ColumnHidden(2));
  EXPECT_TRUE(q.Program().Running());
}

TEST_F(QuarnelE2E, ARestoreCutShortByABusyExcelStillSwitchesDrawingBackOn) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  const std::wstring path = q.Folder() + L"\\busy.txt";
  ASSERT_TRUE(WriteBytes(path, "2:2/True\r\n3/True\r\n4:4/True\r\n6:6/True\r\n7:7/True\r\n"));

  // Excel turns busy at the third line and stays so for 12 s, longer than one call is waited for.
  excel.App().Call("StandinBusyAtCall", {std::string("Hidden"), 3, 1, 12000});
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
                   {std::string("Hidden"), 1, 1004, std::string("不能设置类 Range 的 Hidden 属性")});
  excel.App().Call("StandinFailCall", {std::string("ScreenUpdating"), 2, 1004, std::string("拒绝"), true});
  q.Click(kRestore);
  ASSERT_TRUE(q.ChooseFile(ExpectDialog(), path));
  const Box refused = ExpectBox();
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
