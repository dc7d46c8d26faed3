#include <gtest/gtest.h>

#include "excel/automation.hpp"
#include "support/failure_number.hpp"

using namespace quarnel::excel;
using quarnel::test_support::FailureNumber;

TEST(Conversions, ToLongRoundsHalfToEvenAndChecksRange) {
  EXPECT_EQ(ToLong(Value(2.5)), 2);
  EXPECT_EQ(ToLong(Value(3.5)), 4);
  EXPECT_EQ(ToLong(Value(-2.5)), -2);
  EXPECT_EQ(ToLong(Value(std::int16_t{-7})), -7);
  EXPECT_EQ(ToLong(Value(std::string(" 42 "))), 42);
  EXPECT_EQ(ToLong(Value(true)), -1);
  EXPECT_EQ(ToLong(Value()), 0);
  EXPECT_THROW(ToLong(Value(3e10)), quarnel::Failure);
  EXPECT_EQ(FailureNumber([] { ToLong(Value(std::string("C"))); }), 13) << "text that is no number converted";
}

TEST(Conversions, ToBoolAcceptsNumbersAndEnglishWords) {
  EXPECT_TRUE(ToBool(Value(true)));
  EXPECT_TRUE(ToBool(Value(std::int32_t{-1})));
  EXPECT_FALSE(ToBool(Value(0.0)));
  EXPECT_TRUE(ToBool(Value(std::string("True"))));
  EXPECT_FALSE(ToBool(Value(std::string("false"))));
  EXPECT_THROW(ToBool(Value(std::string("yes"))), quarnel::Failure);
}

// Nothing is no object, a number is none either, and calls on an empty reference fail with 91.
TEST(Conversions, ObjectsAndNothing) {
  EXPECT_FALSE(ToObject(Value()));
  EXPECT_EQ(FailureNumber([] { ToObject(Value(std::int32_t{1})); }), 424) << "a number became an object";
  EXPECT_EQ(FailureNumber([] { Object().Get("Rows", {std::string("1:1")}); }), 91)
      << "call on Nothing went through";
}

TEST(Conversions, ACellErrorConvertsToNothingButItself) {
  const Value na = ErrorValue{2042};
  EXPECT_EQ(FailureNumber([&] { ToLong(na); }), 13);
  EXPECT_EQ(FailureNumber([&] { ToDouble(na); }), 13);
  EXPECT_EQ(FailureNumber([&] { ToBool(na); }), 13);
  EXPECT_EQ(FailureNumber([&] { ToText(na); }), 13);
  EXPECT_EQ(FailureNumber([&] { 常用函数::ValueText(na); }), 13);
  EXPECT_EQ(na, Value(ErrorValue{2042}));
  EXPECT_NE(na, Value(std::int32_t{2042}));
}
