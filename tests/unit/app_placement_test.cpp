#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

#include "app/placement.hpp"
#include "common/failure.hpp"
#include "support/failure_number.hpp"

namespace quarnel::app {
namespace {

// The frame of a window whose outer rectangle is `r` pixels, as the window system reports it.
TwipsFrame FrameOf(PixelRect r, float tpp) {
  return {static_cast<float>(r.x) * tpp,
          static_cast<float>(r.y) * tpp,
          static_cast<float>(r.cx) * tpp,
          static_cast<float>(r.cy) * tpp,
          tpp,
          tpp};
}

// A rectangle's fields in order, to compare and print.
auto Fields(const PixelRect& r) { return std::tuple(r.x, r.y, r.cx, r.cy); }

TEST(TopMostRect, HandsBackTheWindowsOwnPixelsAndIsStableWhenRepeated) {
  for (float tpp : {15.0f, 12.0f, 10.0f, 7.5f, 1440.0f / 168.0f}) {
    for (PixelRect r : {PixelRect{100, 200, 302, 90}, PixelRect{-8, -31, 1, 1}, PixelRect{3, 7, 591, 141}}) {
      SCOPED_TRACE(tpp);
      const PixelRect once = TopMostRect(FrameOf(r, tpp));
      EXPECT_EQ(Fields(once), Fields(r));
      EXPECT_EQ(Fields(TopMostRect(FrameOf(once, tpp))), Fields(once));
    }
  }
}

TEST(TopMostRect, RoundsHalvesToEvenAndDividesWholeNumbersTowardZero) {
  // x divides first, then rounds: 2.5 -> 2 and 3.5 -> 4.
  EXPECT_EQ(TopMostRect({37.5f, 0, 0, 0, 15, 15}).x, 2);
  EXPECT_EQ(TopMostRect({52.5f, 0, 0, 0, 15, 15}).x, 4);
  // The others round first, then drop the remainder: 100 \ 15 is 6, not the nearer 7.
  EXPECT_EQ(TopMostRect({0, 100, 0, 0, 15, 15}).y, 6);
  EXPECT_EQ(TopMostRect({0, -100, 0, 0, 15, 15}).y, -6);
  EXPECT_EQ(TopMostRect({0, 44.5f, 0, 0, 15, 15}).y, 2);  // 44 \ 15
  EXPECT_EQ(TopMostRect({0, 45.5f, 0, 0, 15, 15}).y, 3);  // 46 \ 15
  EXPECT_EQ(TopMostRect({0, 0, 29, 0, 15, 15}).cx, 1);
  EXPECT_EQ(TopMostRect({0, 0, 0, 29, 15, 15}).cy, 1);
  // Each direction uses its own twips per pixel.
  EXPECT_EQ(Fields(TopMostRect({120, 120, 120, 120, 12, 10})), std::tuple(10, 12, 10, 12));
}

TEST(TopMostRect, FailsBeyondThirtyTwoBitsAndOnAZeroDivisor) {
  const auto failure = [](TwipsFrame frame) {
    return test_support::FailureNumber([&] { TopMostRect(frame); });
  };
  EXPECT_EQ(failure({4e10f, 0, 0, 0, 15, 15}), 6);
  EXPECT_EQ(failure({0, -4e10f, 0, 0, 15, 15}), 6);
  EXPECT_EQ(failure({0, 0, std::numeric_limits<float>::quiet_NaN(), 0, 15, 15}), 6);
  EXPECT_EQ(failure({0, 0, 0, 0, 15, 0}), 11);
  EXPECT_EQ(failure({0, 0, 0, 0, 0, 15}), 6);  // x = 0 / 0
  // 2147483647 pixels of one twip still fit.
  EXPECT_EQ(TopMostRect({0, 0, 2147483520.0f, 0, 1, 1}).cx, 2147483520);
}

// Halves go to the even neighbour, and what leaves thirty-two bits is refused; twips become the
// nearest pixel.
TEST(RoundHalfEven, GoesToTheEvenNeighbourAsPixelsFromTwipsDoesAndRefusesWhatLeavesThirtyTwoBits) {
  const std::pair<double, std::int32_t> rounded[] = {
      {0.5, 0},  {1.5, 2},   {2.5, 2},   {2.5000001, 3},
      {-0.5, 0}, {-1.5, -2}, {-2.6, -3}, {2147483647.4, 2147483647}};
  for (const auto& [value, whole] : rounded) EXPECT_EQ(RoundHalfEven(value), whole) << value;
  EXPECT_EQ(RoundHalfEven(-2147483648.5), std::numeric_limits<std::int32_t>::min());
  for (double beyond : {2147483647.5, -2147483649.0, std::numeric_limits<double>::infinity()}) {
    EXPECT_THROW(RoundHalfEven(beyond), Failure) << beyond;
  }
  EXPECT_EQ(PixelsFromTwips(7304.5, 15), 487);
  EXPECT_EQ(PixelsFromTwips(7297.5, 15), 486);  // 486.5 goes to the even 486
  EXPECT_EQ(PixelsFromTwips(-790, 15), -53);
  EXPECT_EQ(PixelsFromTwips(75, 7.5), 10);
  EXPECT_THROW(PixelsFromTwips(1, 0), Failure);
  EXPECT_THROW(PixelsFromTwips(1e12, 15), Failure);
}

TEST(PlacedPosition, CentresAcrossAndStandsFactorHeightsAboveTheBottomWithoutClamping) {
  // A 1280 by 720 pixel screen and a 306 by 93 pixel window at 15 twips per pixel.
  const TwipsPoint twice = PlacedPosition(19200, 10800, 4590, 1395, 2.0);
  EXPECT_EQ(twice.left, 7305.0f);
  EXPECT_EQ(twice.top, 8010.0);
  EXPECT_EQ(twice.top + 1395, 10800.0 - 1395);

  const TwipsPoint once = PlacedPosition(19200, 10800, 4590, 1395, 1.0);
  EXPECT_EQ(once.top + 1395, 10800.0);
  // Half twips are kept, and nothing is clamped to the screen.
  EXPECT_EQ(PlacedPosition(19200, 10800, 4591, 1395, 2.0).left, 7304.5f);
  EXPECT_EQ(PlacedPosition(4000, 10800, 4590, 1395, 2.0).left, -295.0f);
  EXPECT_EQ(PlacedPosition(19200, 2000, 4590, 1395, 2.0).top, -790.0);
  EXPECT_EQ(PlacedPosition(19200, 10800, 4590, 1395, 0.25).top, 10800 - 348.75);
}

}  // namespace
}  // namespace quarnel::app
