#include "app/win32/placement.hpp"

#include "app/placement.hpp"
#include "common/failure.hpp"
#include "common/win32/owned.hpp"

namespace quarnel::win32 {

Dpi WindowDpi(HWND window) {
  // Looked up at run time: older systems have no per-window resolution.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window) {
    const auto dpi = static_cast<int>(getDpiForWindow(window));
    if (dpi > 0) return {dpi, dpi};
  }
  const ScreenDc screen;
  const Dpi dpi{GetDeviceCaps(screen.Get(), LOGPIXELSX), GetDeviceCaps(screen.Get(), LOGPIXELSY)};
  return dpi.x > 0 && dpi.y > 0 ? dpi : Dpi{96, 96};
}

}  // namespace quarnel::win32

namespace 常用函数 {
namespace {

using quarnel::Failure;

Failure CallFailure() { return quarnel::errors::Catalogued(quarnel::errors::kInvalidCall); }

struct Twips {
  float perPixelX;
  float perPixelY;
};

Twips TwipsPerPixel(HWND window) {
  const auto dpi = quarnel::win32::WindowDpi(window);
  return {1440.0f / static_cast<float>(dpi.x), 1440.0f / static_cast<float>(dpi.y)};
}

RECT OuterRect(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) throw CallFailure();
  return rect;
}

}  // namespace

void SetTopMost(HWND window) {
  const Twips twips = TwipsPerPixel(window);
  const RECT r = OuterRect(window);
  const quarnel::app::TwipsFrame frame{static_cast<float>(r.left) * twips.perPixelX,
                                       static_cast<float>(r.top) * twips.perPixelY,
                                       static_cast<float>(r.right - r.left) * twips.perPixelX,
                                       static_cast<float>(r.bottom - r.top) * twips.perPixelY,
                                       twips.perPixelX,
                                       twips.perPixelY};
  const quarnel::app::PixelRect pixels = quarnel::app::TopMostRect(frame);
  // A refusal only leaves the window out of the topmost band: nothing to report.
  SetWindowPos(window, HWND_TOPMOST, pixels.x, pixels.y, pixels.cx, pixels.cy, 0);
}

void PlaceWindow(HWND window, double factor) {
  const Twips twips = TwipsPerPixel(window);
  const RECT r = OuterRect(window);
  const quarnel::app::TwipsPoint place =
      quarnel::app::PlacedPosition(static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * twips.perPixelX,
                                   static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * twips.perPixelY,
                                   static_cast<float>(r.right - r.left) * twips.perPixelX,
                                   static_cast<float>(r.bottom - r.top) * twips.perPixelY, factor);
  const int x = quarnel::app::PixelsFromTwips(place.left, twips.perPixelX);
  const int y = quarnel::app::PixelsFromTwips(place.top, twips.perPixelY);
  if (!SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
    throw CallFailure();
}

}  // namespace 常用函数
