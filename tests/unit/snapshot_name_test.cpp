#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "snapshot/name.hpp"

namespace quarnel::snapshot {
namespace {

TEST(SnapshotStamp, RemovesOnlyTheFourSeparators) {
  EXPECT_EQ(Stamp("2026/12/08 09:05:07"), "20261208090507");
  // A "-" date gives the stamp a "/" date gives.
  EXPECT_EQ(Stamp("2026-12-08 09:05:07"), Stamp("2026/12/08 09:05:07"));
  EXPECT_EQ(Stamp("08.12.2026 09:05:07"), "08.12.2026090507");
  EXPECT_EQ(Stamp("2026/1/5 9:05:07 上午"), "20261590507上午");
  EXPECT_EQ(Stamp("2026/12/8"), "2026128");  // midnight: the date alone
}

TEST(SnapshotFileName, JoinsBaseTagNoteAndStampAndNumbersBeforeTheExtension) {
  EXPECT_EQ(SnapshotFileName("Plan.xlsx", "", "20261208090507"), "Plan-行列状态_20261208090507.txt");
  EXPECT_EQ(SnapshotFileName("Plan.xlsx", "before", "1"), "Plan-行列状态_before_1.txt");
  EXPECT_EQ(SnapshotFileName("Plan.xlsx", "two words", "1"), "Plan-行列状态_two words_1.txt");
  EXPECT_EQ(SnapshotFileName("a.b.xlsx", "", "1"), "a.b-行列状态_1.txt");
  EXPECT_EQ(SnapshotFileName("Book1", "", "1"), "Book1-行列状态_1.txt");
  // The note keeps its hyphens and dots: only the stamp loses characters.
  EXPECT_EQ(SnapshotFileName("季度-报表.xls", "v1.2-终稿", "1"), "季度-报表-行列状态_v1.2-终稿_1.txt");
  // Numbered names go before the extension.
  EXPECT_EQ(NumberedFileName("Plan-行列状态_1.txt", 2), "Plan-行列状态_1_2.txt");
  EXPECT_EQ(NumberedFileName("Plan-行列状态_1.txt", 13), "Plan-行列状态_1_13.txt");
}

// Every character Windows forbids in a file name is refused and named, control characters by
// their code; whatever file names allow is taken.
TEST(SnapshotNote, RefusesWhatWindowsForbidsAndNamesIt) {
  std::vector<std::pair<std::string, std::string>> refused = {{"a\tb", "U+0009"},
                                                              {std::string("x\x01y\x1f", 4), "U+0001"}};
  for (const char forbidden : std::string("\\/:*?\"<>|")) {
    refused.emplace_back(std::string("ab") + forbidden + "cd", std::string("“") + forbidden + "”");
  }
  for (const auto& [note, named] : refused) {
    const auto refusal = RefuseNote(note);
    ASSERT_TRUE(refusal) << note;
    EXPECT_EQ(refusal->Number(), errors::kNoteRefused);
    EXPECT_NE(refusal->Description().find(named), std::string::npos) << refusal->Description();
  }
  for (const char* note : {"", "before", "第一 稿 (v2) & co.; 100%", "a-b_c.d"})
    EXPECT_FALSE(RefuseNote(note)) << note;
}

}  // namespace
}  // namespace quarnel::snapshot
