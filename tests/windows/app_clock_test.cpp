#include <gtest/gtest.h>

#include <utility>

#include "app/win32/clock.hpp"
#include "common/failure.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {
namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0) {
  return {year, month, 0, day, hour, minute, second, ms};
}

// The short date, a blank and the long time as the region says them; the date alone only at
// midnight, milliseconds being below the clock's resolution.
TEST(DateTimeText, WritesShortDateBlankLongTimeAsTheRegionSaysItAndTheDateAloneAtMidnight) {
  const std::pair<SYSTEMTIME, const char*> inEnglish[] = {
      {At(2024, 3, 5, 9, 7, 3), "3/5/2024 9:07:03 AM"},
      {At(2026, 12, 8, 21, 5, 7), "12/8/2026 9:05:07 PM"},
      {At(2024, 12, 31, 0, 0, 0), "12/31/2024"},
      {At(2024, 12, 31, 0, 0, 0, 999), "12/31/2024"},
      {At(2024, 12, 31, 0, 0, 1), "12/31/2024 12:00:01 AM"},
      {At(2024, 12, 31, 0, 1, 0), "12/31/2024 12:01:00 AM"},
      {At(2024, 12, 31, 12, 0, 0), "12/31/2024 12:00:00 PM"},
  };
  for (const auto& [time, text] : inEnglish) EXPECT_EQ(DateTimeText(time, L"en-US"), text);
  // Regions disagree between Windows versions on leading zeros; the order and separators hold.
  const SYSTEMTIME morning = At(2024, 3, 5, 9, 7, 3);
  const std::string chinese = DateTimeText(morning, L"zh-CN");
  EXPECT_EQ(chinese.substr(0, 9), "2024/3/5 ");
  EXPECT_TRUE(chinese.ends_with(":07:03")) << chinese;
  const std::string german = DateTimeText(morning, L"de-DE");
  EXPECT_TRUE(german.ends_with(".2024 09:07:03")) << german;
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
