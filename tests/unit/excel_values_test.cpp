#include <gtest/gtest.h>

#include "excel/automation.hpp"

using namespace quarnel::excel;

TEST(Conversions, ToLongRoundsHalfToEvenAndChecksRange) {
  EXPECT_EQ(ToLong(Value(2.5)), 2);
  EXPECT_EQ(ToLong(Value(3.5)), 4);
  EXPECT_EQ(ToLong(Value(-2.5)), -2);
  EXPECT_EQ(ToLong(Value(std::int16_t{-7})), -7);
  EXPECT_EQ(ToLong(Value(std::string(" 42 "))), 42);
  EXPECT_EQ(ToLong(Value(true)), -1);
  EXPECT_EQ(ToLong(Value()), 0);
  EXPECT_THROW(ToLong(Value(3e10)), quarnel::Failure);
  try {
    ToLong(Value(std::string("C")));
    FAIL() << "text that is no number converted";
  } catch (const quarnel::Failure& failure) {
    EXPECT_EQ(failure.Number(), 13);
  }
}

TEST(Conversions, ToBoolAcceptsNumbersAndEnglishWords) {
  EXPECT_TRUE(ToBool(Value(true)));
  EXPECT_TRUE(ToBool(Value(std::int32_t{-1})));
  EXPECT_FALSE(ToBool(Value(0.0)));
  EXPECT_TRUE(ToBool(Value(std::string("True"))));
  EXPECT_FALSE(ToBool(Value(std::string("false"))));
  EXPECT_THROW(ToBool(Value(std::string("yes"))), quarnel::Failure);
}

TEST(Conversions, ObjectsAndNothing) {
  EXPECT_FALSE(ToObject(Value()));
  try {
    ToObject(Value(std::int32_t{1}));
    FAIL() << "a number became an object";
  } catch (const quarnel::Failure& failure) {
    EXPECT_EQ(failure.Number(), 424);
  }
}

TEST(Conversions, ACellErrorConvertsToNothingButItself) {
  const Value na = ErrorValue{2042};
  for (const auto& convert : {+[](const Value& v) { ToLong(v); }, +[](const Value& v) { ToDouble(v); },
                              +[](const Value& v) { ToBool(v); }, +[](const Value& v) { ToText(v); },
                              +[](const Value& v) { 常用函数::ValueText(v); }}) {
    try {
      convert(na);
      ADD_FAILURE() << "an error value converted";
    } catch (const quarnel::Failure& failure) {
      EXPECT_EQ(failure.Number(), 13);
    }
  }
  EXPECT_EQ(na, Value(ErrorValue{2042}));
  EXPECT_NE(na, Value(std::int32_t{2042}));
}

TEST(Object, CallsOnAnEmptyReferenceFailWith91) {
  Object nothing;
  try {
    nothing.Get("Rows", {std::string("1:1")});
    FAIL() << "call on Nothing went through";
  } catch (const quarnel::Failure& failure) {
    EXPECT_EQ(failure.Number(), 91);
  }
}
