#pragma once

// Pictures as the end-to-end tests see them: what the screen shows, the guide's pictures on disk,
// and how far two of them are apart.

#include <cstdint>
#include <string>
#include <vector>

namespace quarnel::e2e {

// Pixels row by row from the top, each 0xRRGGBB.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  bool Empty() const noexcept { return pixels.empty(); }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A PNG or any other picture the system can decode; empty when it cannot be read.
Picture ReadPicture(const std::wstring& path);
// Writes `picture` as a 24-bit BMP; false when a step failed.
bool WriteBmp(const Picture& picture, const std::wstring& path);

// Of the pixels in rows `firstRow` and below, the share whose colours differ in some channel by more
// than `tolerance` (0 to 255). Pictures of different sizes are wholly apart.
double ShareApart(const Picture& a, const Picture& b, int firstRow, int tolerance);

}  // namespace quarnel::e2e
