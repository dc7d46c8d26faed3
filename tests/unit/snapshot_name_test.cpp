#include <gtest/gtest.h>

#include <string>

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

TEST(SnapshotFileName, JoinsBaseTagNoteAndStamp) {
  EXPECT_EQ(SnapshotFileName("Plan.xlsx", "", "20261208090507"), "Plan-行列状态_20261208090507.txt");
  EXPECT_EQ(SnapshotFileName("Plan.xlsx", "before", "1"), "Plan-行列状态_before_1.txt");
  EXPECT_EQ(SnapshotFileName("Plan.xlsx", "two words", "1"), "Plan-行列状态_two words_1.txt");
  EXPECT_EQ(SnapshotFileName("a.b.xlsx", "", "1"), "a.b-行列状态_1.txt");
  EXPECT_EQ(SnapshotFileName("Book1", "", "1"), "Book1-行列状态_1.txt");
  // The note keeps its hyphens and dots: only the stamp loses characters.
  EXPECT_EQ(SnapshotFileName("季度-报表.xls", "v1.2-终稿", "1"), "季度-报表-行列状态_v1.2-终稿_1.txt");
}

TEST(SnapshotFileName, NumberedNamesGoBeforeTheExtension) {
  EXPECT_EQ(NumberedFileName("Plan-行列状态_1.txt", 2), "Plan-行列状态_1_2.txt");
  EXPECT_EQ(NumberedFileName("Plan-行列状态_1.txt", 13), "Plan-行列状态_1_13.txt");
}

TEST(SnapshotNote, RefusesEveryCharacterWindowsForbidsAndNamesIt) {
  for (const char forbidden : std::string("\\/:*?\"<>|")) {
    const auto refusal = RefuseNote(std::string("ab") + forbidden + "cd");
    ASSERT_TRUE(refusal) << forbidden;
    EXPECT_EQ(refusal->Number(), errors::kNoteRefused);
    EXPECT_NE(refusal->Description().find(std::string("“") + forbidden + "”"), std::string::npos)
        << refusal->Description();
  }
}

TEST(SnapshotNote, RefusesControlCharactersByCode) {
  const auto tab = RefuseNote("a\tb");
  ASSERT_TRUE(tab);
  EXPECT_NE(tab->Description().find("U+0009"), std::string::npos) << tab->Description();
  const auto first = RefuseNote(std::string("x\x01y\x1f", 4));
  ASSERT_TRUE(first);
  EXPECT_NE(first->Description().find("U+0001"), std::string::npos) << first->Description();
}

TEST(SnapshotNote, AcceptsWhatFileNamesAllow) {
  EXPECT_FALSE(RefuseNote(""));
  EXPECT_FALSE(RefuseNote("before"));
  EXPECT_FALSE(RefuseNote("第一 稿 (v2) & co.; 100%"));
  EXPECT_FALSE(RefuseNote("a-b_c.d"));
}

}  // namespace
}  // namespace quarnel::snapshot
