#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

#include "common/text.hpp"
#include "excel/addresses.hpp"
#include "excel/automation.hpp"

using namespace 常用函数;

namespace {

using quarnel::excel::Value;

// Whole numbers are plain digits, fractions use a point and no blanks; numbers of up to 15
// significant digits come out in positional digits, at the edges where an exponent or a platform
// word would slip in. Text that reads as a decimal number is rewritten, other text stays as it is.
TEST(ValueText, NumbersAndTexts) {
  const std::pair<int, const char*> wholes[] = {{1, "1"}, {0, "0"}, {-3, "-3"}, {65536, "65536"}};
  for (const auto& [number, text] : wholes) EXPECT_EQ(ValueText(number), text);
  EXPECT_EQ(ValueText(std::int32_t{1048576}), "1048576");
  EXPECT_EQ(ValueText(std::int16_t{256}), "256");
  EXPECT_EQ(ValueText(std::int64_t{-9223372036854775807 - 1}), "-9223372036854775808");
  const std::pair<double, const char*> fractions[] = {
      {2.5, "2.5"},           {-0.125, "-0.125"},  {12.0, "12"},           {-0.0, "0"},
      {100000.0, "100000"},   {-2.5, "-2.5"},      {123456.5, "123456.5"}, {0.0001, "0.0001"},
      {0.000001, "0.000001"}, {1e-7, "0.0000001"}, {65536.0, "65536"}};
  const std::pair<double, const char*> edges[] = {{1e15, "1000000000000000"},
                                                  {-1e15, "-1000000000000000"},
                                                  {123456789012345.0, "123456789012345"},
                                                  {0.123456789012345, "0.123456789012345"},
                                                  {1234567.89012345, "1234567.89012345"},
                                                  {1e21, "1000000000000000000000"},
                                                  {-1.5e-10, "-0.00000000015"}};
  for (const auto& [number, text] : fractions) EXPECT_EQ(ValueText(number), text) << number;
  for (const auto& [number, text] : edges) EXPECT_EQ(ValueText(number), text) << number;
  const std::pair<const char*, const char*> rewritten[] = {
      {" 12 ", "12"},        {"+7", "7"},    {"2.50", "2.5"}, {"1e5", "100000"},    {"1E5", "100000"},
      {" -1.25e2 ", "-125"}, {"+.5", "0.5"}, {"5.", "5"},     {"1e-7", "0.0000001"}};
  for (const auto& [from, text] : rewritten) EXPECT_EQ(ValueText(from), text) << from;
  for (const char* same : {"100000", "123456789012345", "12:12", "abc", "", "   ", "nan", "NaN", "inf",
                           "-inf", "infinity", "+-5", "1e400", "0x10", "1,000", "1 000", "e5", "."}) {
    EXPECT_EQ(ValueText(same), same);
  }
}

TEST(ValueText, AutomationValuesOfEveryKind) {
  EXPECT_EQ(ValueText(Value(std::int32_t{12})), "12");
  EXPECT_EQ(ValueText(Value(std::int16_t{-4})), "-4");
  EXPECT_EQ(ValueText(Value(3.0)), "3");
  EXPECT_EQ(ValueText(Value(std::string("5"))), "5");
  EXPECT_EQ(ValueText(Value(std::string("Book1"))), "Book1");
  EXPECT_EQ(ValueText(Value(true)), "True");
  EXPECT_EQ(ValueText(Value()), "");
}

// A file's name is what follows the last backslash; its base name drops the last extension too.
TEST(PathNames, FileNameAndBaseNameOfPath) {
  const std::pair<const char*, const char*> fileNames[] = {{"C:\\data\\plan.xlsx", "plan.xlsx"},
                                                           {"plan.xlsx", "plan.xlsx"},
                                                           {"C:\\data\\", ""},
                                                           {"", ""},
                                                           {"a/b.txt", "a/b.txt"},
                                                           {"\\\\server\\share\\数据.xlsx", "数据.xlsx"}};
  for (const auto& [path, name] : fileNames) EXPECT_EQ(FileNameOfPath(path), name) << path;
  const std::pair<const char*, const char*> baseNames[] = {{"C:\\data\\plan.old.xlsx", "plan.old"},
                                                           {"plan.xlsx", "plan"},
                                                           {"Book1", "Book1"},
                                                           {".xlsx", ""},
                                                           {"name.", "name"},
                                                           {"C:\\my.folder\\readme", "readme"},
                                                           {"计划表.xlsx", "计划表"}};
  for (const auto& [path, name] : baseNames) EXPECT_EQ(BaseNameOfPath(path), name) << path;
}

// A row address names one entire row; lower case folds only A to Z; trimming removes only outer
// spaces; lengths count characters as people do and UTF-16 units as Windows does.
TEST(TextHelpers, RowAddressesLowerCaseTrimmingAndLengths) {
  EXPECT_EQ(quarnel::RowAddress(12), "12:12");
  EXPECT_EQ(quarnel::RowAddress(256), "256:256");
  EXPECT_EQ(quarnel::RowAddress(1048577), "1048577:1048577");
  EXPECT_EQ(quarnel::AsciiLower("SpecialCells @[Z]`"), "specialcells @[z]`");
  EXPECT_EQ(quarnel::AsciiLower("Plan-行列状态_ÄÖ.TXT"), "plan-行列状态_ÄÖ.txt");
  EXPECT_EQ(quarnel::AsciiLower('F'), 'f');
  EXPECT_EQ(quarnel::TrimSpaces(" before "), "before");
  EXPECT_EQ(quarnel::TrimSpaces("two words"), "two words");
  EXPECT_EQ(quarnel::TrimSpaces("   "), "");
  EXPECT_EQ(quarnel::TrimSpaces("\tx\t"), "\tx\t");
  const std::tuple<const char*, std::size_t, std::size_t> lengths[] = {
      {"", 0, 0}, {"ab", 2, 2}, {"行列状态é", 5, 5}, {"😀a", 2, 3}};
  for (const auto& [text, characters, units] : lengths) {
    EXPECT_EQ(quarnel::CharacterCount(text), characters) << text;
    EXPECT_EQ(quarnel::Utf16Length(text), units) << text;
  }
}

}  // namespace
