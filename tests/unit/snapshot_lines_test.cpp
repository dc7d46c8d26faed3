#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "common/failure.hpp"
#include "snapshot/lines.hpp"
#include "support/failure_number.hpp"

namespace quarnel::snapshot {
namespace {

TEST(SnapshotLines, RecordsAreWrittenExactly) {
  EXPECT_EQ(RowRecord(1, false), "1:1/False\r\n");
  EXPECT_EQ(RowRecord(65536, true), "65536:65536/True\r\n");
  EXPECT_EQ(ColumnRecord(2, true), "2/True\r\n");
  EXPECT_EQ(ColumnRecord(256, false), "256/False\r\n");
}

// The target is what stands before the first "/", the state the next piece, case-blind but exact;
// later pieces are ignored. A line without "/" is an index out of range.
TEST(SnapshotLines, TargetAndStateAreTheFirstTwoPieces) {
  const struct {
    const char* line;
    const char* target;
    std::optional<bool> state;
  } cases[] = {
      {"12:12/True", "12:12", true}, {"12:12/TRUE", "12:12", true}, {"12:12/tRuE", "12:12", true},
      {"3/False", "3", false},       {"3/false", "3", false},       {"12:12/True ", "12:12", {}},
      {"12:12/ True", "12:12", {}},  {"5:5/yes", "5:5", {}},        {"12:12/", "12:12", {}},
      {"12:12/Tru", "12:12", {}},    {"12:12/TrueX", "12:12", {}},  {"12:12/True/x/False", "12:12", true},
      {"/False", "", false},         {" 3 /False", " 3 ", false},   {"3:7//True", "3:7", {}}};
  for (const auto& c : cases) {
    const Record record = ReadRecord(c.line);
    EXPECT_EQ(record.target, c.target) << c.line;
    EXPECT_EQ(record.state, c.state) << c.line;
  }
  for (const char* line : {"", "12:12", "True", "3 False"}) {
    EXPECT_EQ(test_support::FailureNumber([&] { ReadRecord(line); }), errors::kSubscriptOutOfRange) << line;
  }
}

TEST(SnapshotLines, ColonAnywhereMakesARowTarget) {
  for (const char* row : {"12:12", "3:7", "abc:", ":"}) EXPECT_TRUE(IsRowTarget(row)) << row;
  for (const char* column : {"12", ""}) EXPECT_FALSE(IsRowTarget(column)) << column;
}

// Decimal numbers with blanks anywhere, exponents with E or D (a letter with no digits after it adds
// nothing), hexadecimal and octal prefixes; nothing readable is zero, and numbers beyond a double
// saturate.
TEST(SnapshotColumnNumber, ReadsDecimalsExponentsAndPrefixes) {
  const std::pair<const char*, double> cases[] = {
      {"3", 3},     {" 3 ", 3},     {"\t1 2\n", 12}, {"12abc", 12},       {"+7", 7},
      {"- 5", -5},  {"2.5", 2.5},   {"1.5.3", 1.5},  {".5", 0.5},         {"7.", 7},
      {"0.1", 0.1}, {"007", 7},     {"1E2", 100},    {"1e2", 100},        {"25D-1", 2.5},
      {"3d+1", 30}, {"1 e 2", 100}, {"4E", 4},       {"4E+x", 4},         {"4Ex5", 4},
      {"&H1F", 31}, {"&hff", 255},  {"&O17", 15},    {"&o 1 7", 15},      {"&O18", 1},
      {"&HG", 0},   {"&12", 0},     {"&", 0},        {"1E999", INFINITY}, {"-1E999", -INFINITY},
      {"1E-999", 0}};
  for (const auto& [target, number] : cases) EXPECT_EQ(ColumnNumber(target), number) << "'" << target << "'";
  for (const char* target : {"", "C", "AB", "-", "+", ".", "-.", "E5", "\t \n", "x12"}) {
    EXPECT_EQ(ColumnNumber(target), 0) << "'" << target << "'";
  }
  EXPECT_EQ(ColumnNumber(std::string(400, '9')), INFINITY);
  EXPECT_EQ(ColumnNumber("0." + std::string(400, '0') + "1"), 0);
  EXPECT_EQ(ColumnNumber("1E" + std::string(400, '9')), INFINITY);
}

}  // namespace
}  // namespace quarnel::snapshot
