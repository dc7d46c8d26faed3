#include <gtest/gtest.h>

#include "app/win32/clock.hpp"
#include "common/failure.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {
namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  time.wMilliseconds = ms;
  return time;
}

TEST(DateTimeText, WritesShortDateBlankLongTimeAsTheRegionSaysIt) {
  const SYSTEMTIME morning = At(2024, 3, 5, 9, 7, 3);
  EXPECT_EQ(DateTimeText(morning, L"en-US"), "3/5/2024 9:07:03 AM");
  EXPECT_EQ(DateTimeText(At(2026, 12, 8, 21, 5, 7), L"en-US"), "12/8/2026 9:05:07 PM");
  // Regions disagree between Windows versions on leading zeros; the order and separators hold.
  const std::string chinese = DateTimeText(morning, L"zh-CN");
  EXPECT_EQ(chinese.substr(0, 9), "2024/3/5 ");
  EXPECT_TRUE(chinese.ends_with(":07:03")) << chinese;
  const std::string german = DateTimeText(morning, L"de-DE");
  EXPECT_TRUE(german.ends_with(".2024 09:07:03")) << german;
}

TEST(DateTimeText, GivesTheDateAloneOnlyAtMidnight) {
  EXPECT_EQ(DateTimeText(At(2024, 12, 31, 0, 0, 0), L"en-US"), "12/31/2024");
  // Milliseconds are below the clock's resolution.
  EXPECT_EQ(DateTimeText(At(2024, 12, 31, 0, 0, 0, 999), L"en-US"), "12/31/2024");
  EXPECT_EQ(DateTimeText(At(2024, 12, 31, 0, 0, 1), L"en-US"), "12/31/2024 12:00:01 AM");
  EXPECT_EQ(DateTimeText(At(2024, 12, 31, 0, 1, 0), L"en-US"), "12/31/2024 12:01:00 AM");
  EXPECT_EQ(DateTimeText(At(2024, 12, 31, 12, 0, 0), L"en-US"), "12/31/2024 12:00:00 PM");
}

TEST(DateTimeText, NowUsesTheUsersRegionalSettings) {
  SYSTEMTIME today{};
  GetLocalTime(&today);
  today.wHour = today.wMinute = today.wSecond = today.wMilliseconds = 0;
  const std::string date = DateTimeText(today);
  const std::string now = LocalDateTimeText();
  ASSERT_FALSE(date.empty());
  EXPECT_EQ(now.substr(0, date.size() + 1), date + " ");
  EXPECT_GT(now.size(), date.size() + 1);
}

TEST(DateTimeText, RefusesADateThatIsNoDate) {
  EXPECT_THROW(DateTimeText(At(2024, 13, 40, 0, 0, 0), L"zh-CN"), Failure);
}

}  // namespace
}  // namespace quarnel::win32
