#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/progress_throttle.hpp"

namespace quarnel::app {
namespace {

TEST(ProgressThrottle, DrawsTheFirstAtOnceThenAtMostOncePerInterval) {
  ProgressThrottle throttle(250);
  std::vector<std::uint64_t> drawn;
  for (std::uint64_t now : {1000u, 1001u, 1249u, 1250u, 1300u, 1499u, 1500u, 9000u}) {
    if (throttle.Due(now)) drawn.push_back(now);
  }
  EXPECT_EQ(drawn, (std::vector<std::uint64_t>{1000, 1250, 1500, 9000}));

  // The next command's first step shows at once, however soon it comes.
  throttle.Reset();
  EXPECT_TRUE(throttle.Due(9001));
  EXPECT_FALSE(throttle.Due(9002));
}

TEST(ProgressThrottle, AClockAtZeroIsNoSpecialCase) {
  ProgressThrottle throttle(250);
  EXPECT_TRUE(throttle.Due(0));
  EXPECT_FALSE(throttle.Due(249));
  EXPECT_TRUE(throttle.Due(250));
}

}  // namespace
}  // namespace quarnel::app
