#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/failure.hpp"
#include "snapshot/lines.hpp"

namespace quarnel::snapshot {
namespace {

TEST(SnapshotLines, RecordsAreWrittenExactly) {
  EXPECT_EQ(RowRecord(1, false), "1:1/False\r\n");
  EXPECT_EQ(RowRecord(65536, true), "65536:65536/True\r\n");
  EXPECT_EQ(ColumnRecord(2, true), "2/True\r\n");
  EXPECT_EQ(ColumnRecord(256, false), "256/False\r\n");
}

TEST(SnapshotLines, StateIsCaseBlindButExact) {
  EXPECT_EQ(ReadRecord("12:12/True").state, true);
  EXPECT_EQ(ReadRecord("12:12/TRUE").state, true);
  EXPECT_EQ(ReadRecord("12:12/tRuE").state, true);
  EXPECT_EQ(ReadRecord("3/False").state, false);
  EXPECT_EQ(ReadRecord("3/false").state, false);
  EXPECT_EQ(ReadRecord("12:12/True ").state, std::nullopt);
  EXPECT_EQ(ReadRecord("12:12/ True").state, std::nullopt);
  EXPECT_EQ(ReadRecord("5:5/yes").state, std::nullopt);
  EXPECT_EQ(ReadRecord("12:12/").state, std::nullopt);
  EXPECT_EQ(ReadRecord("12:12/Tru").state, std::nullopt);
  EXPECT_EQ(ReadRecord("12:12/TrueX").state, std::nullopt);
}

TEST(SnapshotLines, TargetIsTheFirstPieceAndLaterPiecesAreIgnored) {
  const Record record = ReadRecord("12:12/True/x/False");
  EXPECT_EQ(record.target, "12:12");
  EXPECT_EQ(record.state, true);
  EXPECT_EQ(ReadRecord("/False").target, "");
  EXPECT_EQ(ReadRecord(" 3 /False").target, " 3 ");
  EXPECT_EQ(ReadRecord("3:7//True").state, std::nullopt);
}

TEST(SnapshotLines, LineWithoutSlashIsAnIndexOutOfRange) {
  for (const char* line : {"", "12:12", "True", "3 False"}) {
    try {
      ReadRecord(line);
      ADD_FAILURE() << "accepted: " << line;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Number(), errors::kSubscriptOutOfRange);
    }
  }
}

TEST(SnapshotLines, ColonAnywhereMakesARowTarget) {
  EXPECT_TRUE(IsRowTarget("12:12"));
  EXPECT_TRUE(IsRowTarget("3:7"));
  EXPECT_TRUE(IsRowTarget("abc:"));
  EXPECT_TRUE(IsRowTarget(":"));
  EXPECT_FALSE(IsRowTarget("12"));
  EXPECT_FALSE(IsRowTarget(""));
}

TEST(SnapshotColumnNumber, DecimalNumbersWithBlanksAnywhere) {
  EXPECT_EQ(ColumnNumber("3"), 3);
  EXPECT_EQ(ColumnNumber(" 3 "), 3);
  EXPECT_EQ(ColumnNumber("\t1 2\n"), 12);
  EXPECT_EQ(ColumnNumber("12abc"), 12);
  EXPECT_EQ(ColumnNumber("+7"), 7);
  EXPECT_EQ(ColumnNumber("- 5"), -5);
  EXPECT_EQ(ColumnNumber("2.5"), 2.5);
  EXPECT_EQ(ColumnNumber("1.5.3"), 1.5);
  EXPECT_EQ(ColumnNumber(".5"), 0.5);
  EXPECT_EQ(ColumnNumber("7."), 7);
  EXPECT_EQ(ColumnNumber("0.1"), 0.1);
  EXPECT_EQ(ColumnNumber("007"), 7);
}

TEST(SnapshotColumnNumber, ExponentsWithEOrD) {
  EXPECT_EQ(ColumnNumber("1E2"), 100);
  EXPECT_EQ(ColumnNumber("1e2"), 100);
  EXPECT_EQ(ColumnNumber("25D-1"), 2.5);
  EXPECT_EQ(ColumnNumber("3d+1"), 30);
  EXPECT_EQ(ColumnNumber("1 e 2"), 100);
  // An exponent letter with no digits after it adds nothing.
  EXPECT_EQ(ColumnNumber("4E"), 4);
  EXPECT_EQ(ColumnNumber("4E+x"), 4);
  EXPECT_EQ(ColumnNumber("4Ex5"), 4);
}

TEST(SnapshotColumnNumber, HexadecimalAndOctalPrefixes) {
  EXPECT_EQ(ColumnNumber("&H1F"), 31);
  EXPECT_EQ(ColumnNumber("&hff"), 255);
  EXPECT_EQ(ColumnNumber("&O17"), 15);
  EXPECT_EQ(ColumnNumber("&o 1 7"), 15);
  EXPECT_EQ(ColumnNumber("&O18"), 1);
  EXPECT_EQ(ColumnNumber("&HG"), 0);
  EXPECT_EQ(ColumnNumber("&12"), 0);
  EXPECT_EQ(ColumnNumber("&"), 0);
}

TEST(SnapshotColumnNumber, NothingReadableIsZero) {
  for (const char* target : {"", "C", "AB", "-", "+", ".", "-.", "E5", "\t \n", "x12"}) {
    EXPECT_EQ(ColumnNumber(target), 0) << "'" << target << "'";
  }
}

TEST(SnapshotColumnNumber, NumbersBeyondADoubleSaturate) {
  EXPECT_EQ(ColumnNumber("1E999"), INFINITY);
  EXPECT_EQ(ColumnNumber("-1E999"), -INFINITY);
  EXPECT_EQ(ColumnNumber(std::string(400, '9')), INFINITY);
  EXPECT_EQ(ColumnNumber("0." + std::string(400, '0') + "1"), 0);
  EXPECT_EQ(ColumnNumber("1E-999"), 0);
  EXPECT_EQ(ColumnNumber("1E" + std::string(400, '9')), INFINITY);
}

}  // namespace
}  // namespace quarnel::snapshot
