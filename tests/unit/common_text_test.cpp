#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <variant>

#include "common/text.hpp"
#include "excel/addresses.hpp"
#include "excel/automation.hpp"

using namespace 常用函数;

TEST(ValueText, WholeNumbersArePlainDigits) {
  EXPECT_EQ(ValueText(1), "1");
  EXPECT_EQ(ValueText(0), "0");
  EXPECT_EQ(ValueText(-3), "-3");
  EXPECT_EQ(ValueText(65536), "65536");
  EXPECT_EQ(ValueText(std::int32_t{1048576}), "1048576");
  EXPECT_EQ(ValueText(std::int16_t{256}), "256");
  EXPECT_EQ(ValueText(std::int64_t{-9223372036854775807 - 1}), "-9223372036854775808");
}

TEST(ValueText, FractionsUseAPointAndNoBlanks) {
  EXPECT_EQ(ValueText(2.5), "2.5");
  EXPECT_EQ(ValueText(-0.125), "-0.125");
  EXPECT_EQ(ValueText(12.0), "12");
  EXPECT_EQ(ValueText(-0.0), "0");
}

TEST(ValueText, TextThatReadsAsANumberIsRewritten) {
  EXPECT_EQ(ValueText(" 12 "), "12");
  EXPECT_EQ(ValueText("+7"), "7");
  EXPECT_EQ(ValueText("2.50"), "2.5");
  EXPECT_EQ(ValueText("12:12"), "12:12");
  EXPECT_EQ(ValueText("abc"), "abc");
  EXPECT_EQ(ValueText(""), "");
  EXPECT_EQ(ValueText("   "), "   ");
}

// Numbers of up to 15 significant digits in plain positional digits, and texts that are no
// decimal numbers unchanged, at the edges where an exponent or a platform word would slip in.
TEST(ValueText, PositionalDigitsAndNonNumbersAtTheirBoundaries) {
  struct Case {
    std::variant<double, const char*> value;
    const char* text;
  };
  const Case cases[] = {
      {100000.0, "100000"},
      {123456.5, "123456.5"},
      {2.5, "2.5"},
      {-2.5, "-2.5"},
      {1e15, "1000000000000000"},
      {-1e15, "-1000000000000000"},
      {123456789012345.0, "123456789012345"},
      {0.123456789012345, "0.123456789012345"},
      {1234567.89012345, "1234567.89012345"},
      {1e21, "1000000000000000000000"},
      {0.0001, "0.0001"},
      {0.000001, "0.000001"},
      {1e-7, "0.0000001"},
      {-1.5e-10, "-0.00000000015"},
      {65536.0, "65536"},
      {"100000", "100000"},
      {"1e5", "100000"},
      {"1E5", "100000"},
      {" -1.25e2 ", "-125"},
      {"+.5", "0.5"},
      {"5.", "5"},
      {"1e-7", "0.0000001"},
      {"123456789012345", "123456789012345"},
      {"nan", "nan"},
      {"NaN", "NaN"},
      {"inf", "inf"},
      {"-inf", "-inf"},
      {"infinity", "infinity"},
      {"+-5", "+-5"},
      {"1e400", "1e400"},
      {"0x10", "0x10"},
      {"1,000", "1,000"},
      {"1 000", "1 000"},
      {"e5", "e5"},
      {".", "."},
  };
  for (const Case& c : cases) {
    const std::string got = std::visit([](auto v) { return ValueText(v); }, c.value);
    EXPECT_EQ(got, c.text) << "from "
                           << std::visit([](auto v) { return ::testing::PrintToString(v); }, c.value);
  }
}

TEST(ValueText, AutomationValuesOfEveryKind) {
  using quarnel::excel::Value;
  EXPECT_EQ(ValueText(Value(std::int32_t{12})), "12");
  EXPECT_EQ(ValueText(Value(std::int16_t{-4})), "-4");
  EXPECT_EQ(ValueText(Value(3.0)), "3");
  EXPECT_EQ(ValueText(Value(std::string("5"))), "5");
  EXPECT_EQ(ValueText(Value(std::string("Book1"))), "Book1");
  EXPECT_EQ(ValueText(Value(true)), "True");
  EXPECT_EQ(ValueText(Value()), "");
}

TEST(FileNameOfPath, TakesWhatFollowsTheLastBackslash) {
  EXPECT_EQ(FileNameOfPath("C:\\data\\plan.xlsx"), "plan.xlsx");
  EXPECT_EQ(FileNameOfPath("plan.xlsx"), "plan.xlsx");
  EXPECT_EQ(FileNameOfPath("C:\\data\\"), "");
  EXPECT_EQ(FileNameOfPath(""), "");
  EXPECT_EQ(FileNameOfPath("a/b.txt"), "a/b.txt");
  EXPECT_EQ(FileNameOfPath("\\\\server\\share\\数据.xlsx"), "数据.xlsx");
}

TEST(BaseNameOfPath, DropsFolderAndLastExtensionOnly) {
  EXPECT_EQ(BaseNameOfPath("C:\\data\\plan.old.xlsx"), "plan.old");
  EXPECT_EQ(BaseNameOfPath("plan.xlsx"), "plan");
  EXPECT_EQ(BaseNameOfPath("Book1"), "Book1");
  EXPECT_EQ(BaseNameOfPath(".xlsx"), "");
  EXPECT_EQ(BaseNameOfPath("name."), "name");
  EXPECT_EQ(BaseNameOfPath("C:\\my.folder\\readme"), "readme");
  EXPECT_EQ(BaseNameOfPath("计划表.xlsx"), "计划表");
}

TEST(RowAddress, NamesOneEntireRow) {
  EXPECT_EQ(quarnel::RowAddress(12), "12:12");
  EXPECT_EQ(quarnel::RowAddress(256), "256:256");
  EXPECT_EQ(quarnel::RowAddress(1048577), "1048577:1048577");
}

TEST(AsciiLower, FoldsOnlyAToZ) {
  EXPECT_EQ(quarnel::AsciiLower("SpecialCells @[Z]`"), "specialcells @[z]`");
  EXPECT_EQ(quarnel::AsciiLower("Plan-行列状态_ÄÖ.TXT"), "plan-行列状态_ÄÖ.txt");
  EXPECT_EQ(quarnel::AsciiLower('F'), 'f');
}

TEST(TrimSpaces, RemovesOnlyOuterSpaces) {
  EXPECT_EQ(quarnel::TrimSpaces(" before "), "before");
  EXPECT_EQ(quarnel::TrimSpaces("two words"), "two words");
  EXPECT_EQ(quarnel::TrimSpaces("   "), "");
  EXPECT_EQ(quarnel::TrimSpaces("\tx\t"), "\tx\t");
}

TEST(TextLength, CharactersAsPeopleCountThemAndUnitsAsWindowsDoes) {
  EXPECT_EQ(quarnel::CharacterCount(""), 0u);
  EXPECT_EQ(quarnel::CharacterCount("ab"), 2u);
  EXPECT_EQ(quarnel::CharacterCount("行列状态é"), 5u);
  EXPECT_EQ(quarnel::CharacterCount("😀a"), 2u);
  EXPECT_EQ(quarnel::Utf16Length("ab"), 2u);
  EXPECT_EQ(quarnel::Utf16Length("行列状态é"), 5u);
  EXPECT_EQ(quarnel::Utf16Length("😀a"), 3u);
}
