#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot/commands.hpp"
#include "snapshot/line_reader.hpp"
#include "standin/model/failures.hpp"
#include "support/attached_excel.hpp"

namespace quarnel::test_support {
namespace {

using snapshot::RecordSnapshot;
using snapshot::RestoreSnapshot;

class ProgressTest : public PlanInFrontTest {
 public:
  void SetUp() override {
    PlanInFrontTest::SetUp();
    // A box must never show beside a progress bar that is still running.
    desktop.onMessage = [this](const ShownMessage&) {
      endsBeforeEachMessage.push_back(desktop.progressEnds);
    };
  }

  // What any run must show: done never goes back nor past the total of its call.
  void ExpectSteady() const {
    for (std::size_t i = 0; i < desktop.progress.size(); ++i) {
      const auto& step = desktop.progress[i];
      EXPECT_LE(step.done, step.total) << "step " << i;
      if (i > 0) {
        EXPECT_GE(step.done, desktop.progress[i - 1].done) << "step " << i;
      }
    }
  }

  std::vector<int> endsBeforeEachMessage;
};

TEST_F(ProgressTest, RecordCountsRowsAgainstTheMostColumnsThenAgainstTheRealOnes) {
  UseArea(40, 7);
  RecordSnapshot(host);
  // Nothing done yet while the rows are asked about, then each row and each column.
  ASSERT_EQ(desktop.progress.size(), 48u);
  ExpectSteady();
  EXPECT_EQ(desktop.progress.front().done, 0u);
  EXPECT_EQ(desktop.progress.front().total, 40u + 256u);
  EXPECT_EQ(desktop.progress[40].total, 40u + 256u);
  EXPECT_EQ(desktop.progress[41].total, 47u);
  EXPECT_EQ(desktop.progress.back().done, 47u);
  EXPECT_EQ(desktop.progress.back().total, 47u);
  EXPECT_EQ(desktop.progressEnds, 1);
}

TEST_F(ProgressTest, FailedRecordEndsProgressOnceWhereverItStops) {
  // In the rows (30, asked by runs), at the column count, in the columns (5, read one by one).
  for (const auto& [member, nth] : std::vector<std::pair<std::string, std::uint64_t>>{
           {"SpecialCells", 1}, {"Column", 1}, {"EntireColumn", 3}}) {
    SCOPED_TRACE(member + " #" + std::to_string(nth));
    Restart();
    UseArea(30, 5);
    model.FailCall(member, nth, standin::Disconnected());
    EXPECT_THROW(RecordSnapshot(host), Failure);
    ExpectSteady();
    EXPECT_FALSE(desktop.progress.empty());
    EXPECT_EQ(desktop.progressEnds, 1);
  }
}

TEST_F(ProgressTest, RestoreCountsBytesOfTheFileUpToItsSize) {
  const std::string content = "1:1/True\r\n2:3/\n4/False\r5/no\r\n7:7/True";
  Restore(content);
  ASSERT_EQ(desktop.progress.size(), 5u);
  ExpectSteady();
  for (const auto& step : desktop.progress) EXPECT_EQ(step.total, content.size());
  // A LF after a CR counts with the line after it.
  EXPECT_EQ(desktop.progress[0].done, 9u);
  EXPECT_EQ(desktop.progress[1].done, 15u);
  EXPECT_EQ(desktop.progress.back().done, content.size());
  EXPECT_EQ(desktop.progressEnds, 1);
  EXPECT_EQ(endsBeforeEachMessage, std::vector<int>{1});
  EXPECT_TRUE(model.IsRowHidden(7));
}

// At a line that cannot be read, or with Excel gone in the middle of the file, where the second
// line's write goes once the third shows it ends a run.
TEST_F(ProgressTest, FailedRestoreEndsProgressBeforeTheErrorBox) {
  for (const bool excelGone : {false, true}) {
    SCOPED_TRACE(excelGone ? "Excel gone" : "a bad line");
    Restart();
    endsBeforeEachMessage.clear();
    if (excelGone) model.FailCall("Hidden", 2, standin::Disconnected());
    Restore(excelGone ? "1:1/True\r\n3:3/\r\n5:5/\r\n" : "1:1/True\r\n2:2/\r\nnot a line\r\n4:4/\r\n");
    ExpectSteady();
    ASSERT_EQ(desktop.progress.size(), 2u);
    if (!excelGone) {
      EXPECT_EQ(desktop.progress.back().done, 15u);
    }
    EXPECT_EQ(desktop.progressEnds, 1);
    EXPECT_EQ(endsBeforeEachMessage, std::vector<int>{1});
  }
}

TEST_F(ProgressTest, CancelledRestoreShowsNoProgress) {
  desktop.dialog.answers.push_back(std::nullopt);
  RestoreSnapshot(host);
  EXPECT_TRUE(desktop.progress.empty());
  EXPECT_EQ(desktop.progressEnds, 0);
  ASSERT_EQ(desktop.messages.size(), 1u);
}

TEST(LineReaderConsumed, CountsEachLineWithItsEndAcrossRefills) {
  // A few bytes a read, so that line ends fall across the reader's refills.
  ChunkedInput file("ab\r\ncdef\rg\n\nhij", 3);
  snapshot::LineReader reader(file, 2);
  std::vector<std::uint64_t> consumed;
  for (std::string line; reader.Next(line);) consumed.push_back(reader.Consumed());
  // After "ab\r" the LF is still to come: it counts once the next line is read.
  EXPECT_EQ(consumed, (std::vector<std::uint64_t>{3, 9, 11, 12, 15}));
  EXPECT_EQ(reader.Consumed(), 15u);
}

}  // namespace
}  // namespace quarnel::test_support
