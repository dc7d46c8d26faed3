#pragma once

// The arithmetic of SetTopMost and PlaceWindow, apart from the window calls. Lengths in twips
// unless pixels are named.

#include <cstdint>

namespace quarnel::app {

// A window's outer rectangle and the screen's twips per pixel, as the window system reports them.
struct TwipsFrame {
  float left;
  float top;
  float width;
  float height;
  float twipsPerPixelX;
  float twipsPerPixelY;
};

struct PixelRect {
  std::int32_t x;
  std::int32_t y;
  std::int32_t cx;
  std::int32_t cy;
};

// The window's own rectangle in pixels, as SetTopMost hands it to SetWindowPos. Fails with 6 when
// a value leaves the 32-bit range and with 11 when a twips per pixel rounds to 0.
PixelRect TopMostRect(const TwipsFrame& frame);

struct TwipsPoint {
  float left;
  double top;
};

// Where PlaceWindow moves the window: centred across the screen, its top `factor` window heights
// above the screen's bottom edge. Nothing is rounded or clamped.
TwipsPoint PlacedPosition(float screenWidth, float screenHeight, float width, float height, double factor);

// A length in twips as whole pixels, rounded to the nearest with halves to even. Fails with 6 when
// it leaves the 32-bit range.
std::int32_t PixelsFromTwips(double twips, double twipsPerPixel);

// Rounds to the nearest whole number, halves to the even neighbour; fails with 6 beyond 32 bits.
std::int32_t RoundHalfEven(double value);

}  // namespace quarnel::app
