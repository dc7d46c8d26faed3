#include <gtest/gtest.h>

#include <cstdint>

#include "common/text.hpp"
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

TEST(TrimSpaces, RemovesOnlyOuterSpaces) {
  EXPECT_EQ(quarnel::TrimSpaces(" before "), "before");
  EXPECT_EQ(quarnel::TrimSpaces("two words"), "two words");
  EXPECT_EQ(quarnel::TrimSpaces("   "), "");
  EXPECT_EQ(quarnel::TrimSpaces("\tx\t"), "\tx\t");
}
