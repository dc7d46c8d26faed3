#include "app/placement.hpp"

#include <cmath>
#include <limits>

#include "common/failure.hpp"

namespace quarnel::app {
namespace {

Failure Overflow() { return errors::Catalogued(errors::kOverflow); }

std::int32_t WholeDivide(std::int32_t dividend, std::int32_t divisor) {
  if (divisor == 0) throw errors::Catalogued(errors::kDivisionByZero);
  if (dividend == std::numeric_limits<std::int32_t>::min() && divisor == -1) throw Overflow();
  return dividend / divisor;
}

bool IsWhole(float value) { return std::floor(value) == value; }

}  // namespace

std::int32_t RoundHalfEven(double value) {
  double rounded = std::floor(value);
  const double rest = value - rounded;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
  // Written so that NaN fails too.
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw Overflow();
  }
  return static_cast<std::int32_t>(rounded);
}

PixelRect TopMostRect(const TwipsFrame& f) {
  const std::int32_t x = RoundHalfEven(static_cast<double>(f.left) / f.twipsPerPixelX);
  // Whole-number division only gives the window's own pixels when a pixel is a whole number of
  // twips; at 175 % or 200 % (8.57 or 7.5 twips) it would shrink the window, so divide exactly there.
  if (!IsWhole(f.twipsPerPixelX) || !IsWhole(f.twipsPerPixelY)) {
    return {x, PixelsFromTwips(f.top, f.twipsPerPixelY), PixelsFromTwips(f.width, f.twipsPerPixelX),
            PixelsFromTwips(f.height, f.twipsPerPixelY)};
  }
  const std::int32_t tppX = RoundHalfEven(f.twipsPerPixelX);
  const std::int32_t tppY = RoundHalfEven(f.twipsPerPixelY);
  return {x, WholeDivide(RoundHalfEven(f.top), tppY), WholeDivide(RoundHalfEven(f.width), tppX),
          WholeDivide(RoundHalfEven(f.height), tppY)};
}

TwipsPoint PlacedPosition(float screenWidth, float screenHeight, float width, float height, double factor) {
  const double top = static_cast<double>(screenHeight) - static_cast<double>(height) * factor;
  const auto left = static_cast<float>((static_cast<double>(screenWidth) - width) / 2.0);
  return {left, top};
}

std::int32_t PixelsFromTwips(double twips, double twipsPerPixel) {
  if (twipsPerPixel == 0.0) throw errors::Catalogued(errors::kDivisionByZero);
  return RoundHalfEven(twips / twipsPerPixel);
}

}  // namespace quarnel::app
