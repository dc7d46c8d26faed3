#pragma once

#include <utility>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// Owns one resource and gives it back through its policy, as WIL's unique_any does. A policy names
// the Type it holds, the Empty() value, whether a value IsValid, and Close(value), true when the
// system took it back.
template <typename Policy>
class Owner {
 public:
  using Type = typename Policy::Type;

  Owner() noexcept = default;
  explicit Owner(Type value) noexcept : value_(std::move(value)) {}
  // Giving back on the way never changes the thread's last error, which the caller may be about to
  // read, as WIL's and Chromium's owners do; only Close() itself reports.
  ~Owner() { CloseKeepingLastError(); }
  // The one move rule: the target gives back what it held and takes the source's, which is left empty.
  Owner(Owner&& other) noexcept : value_(other.Release()) {}
  Owner& operator=(Owner&& other) noexcept {
    if (this != &other) {
      CloseKeepingLastError();
      value_ = other.Release();
    }
    return *this;
  }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;

  const Type& Get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return Policy::IsValid(value_); }
  Type Release() noexcept { return std::exchange(value_, Policy::Empty()); }
  // For the out parameter of the call that acquires: gives back what it held first.
  Type* Put() noexcept {
    CloseKeepingLastError();
    return &value_;
  }
  // False when the system would not take it back: for a file written to, data may be lost.
  bool Close() noexcept {
    const Type value = Release();
    return !Policy::IsValid(value) || Policy::Close(value);
  }

 protected:
  // For a value held in place (a VARIANT, an EXCEPINFO): its fields, written without giving it back.
  Type& Held() noexcept { return value_; }

 private:
  void CloseKeepingLastError() noexcept {
    if (!Policy::IsValid(value_)) return;
    const DWORD error = GetLastError();
    Close();
    SetLastError(error);
  }

  Type value_ = Policy::Empty();
};

// The policy for a plain value, empty when zero or null.
template <typename T, auto close>
struct PlainValue {
  using Type = T;
  static constexpr T Empty() noexcept { return T{}; }
  static bool IsValid(T value) noexcept { return value != T{}; }
  static bool Close(T value) noexcept { return close(value); }
};

// How each kind goes back to the system.
namespace give_back {
inline bool CloseKernelHandle(HANDLE h) noexcept { return CloseHandle(h) != FALSE; }
inline bool CloseSearch(HANDLE h) noexcept { return FindClose(h) != FALSE; }
inline bool DeleteQueueTimer(HANDLE h) noexcept {
  return DeleteTimerQueueTimer(nullptr, h, INVALID_HANDLE_VALUE) != FALSE;
}
template <typename T>
bool DeleteGdiObject(T object) noexcept {
  return DeleteObject(object) != FALSE;
}
template <typename T>
bool FreeLocal(T memory) noexcept {
  return LocalFree(memory) == nullptr;
}
inline bool ReleaseScreenDc(HDC dc) noexcept { return ReleaseDC(nullptr, dc) == 1; }
inline bool DeleteMemoryDc(HDC dc) noexcept { return DeleteDC(dc) != FALSE; }
inline bool DestroyMenuHandle(HMENU menu) noexcept { return DestroyMenu(menu) != FALSE; }
inline bool DestroyWindowHandle(HWND window) noexcept { return DestroyWindow(window) != FALSE; }
inline bool DestroyIconHandle(HICON icon) noexcept { return DestroyIcon(icon) != FALSE; }
inline bool UnloadLibrary(HMODULE library) noexcept { return FreeLibrary(library) != FALSE; }
}  // namespace give_back

// A kernel handle: a file, a process, an event. Empty is null or INVALID_HANDLE_VALUE, whichever
// the call that made it returns on failure.
struct KernelHandle : PlainValue<HANDLE, give_back::CloseKernelHandle> {
  static bool IsValid(HANDLE h) noexcept { return h && h != INVALID_HANDLE_VALUE; }
};
using OwnedHandle = Owner<KernelHandle>;

// A search FindFirstFileW began.
struct FileSearch : PlainValue<HANDLE, give_back::CloseSearch> {
  static HANDLE Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) noexcept { return h && h != INVALID_HANDLE_VALUE; }
};
using OwnedSearch = Owner<FileSearch>;

// A DLL this program loaded.
using OwnedModule = Owner<PlainValue<HMODULE, give_back::UnloadLibrary>>;

// A menu made here and attached to no window.
using OwnedMenu = Owner<PlainValue<HMENU, give_back::DestroyMenuHandle>>;

// A window made here. The system may destroy it first (its parent goes, a close): the procedure
// then takes it back with Release() at WM_NCDESTROY, so the owner never destroys it twice, nor a
// later window that got the same handle.
using OwnedWindow = Owner<PlainValue<HWND, give_back::DestroyWindowHandle>>;

// An icon LoadImageW made without LR_SHARED; a shared one belongs to the system.
using OwnedIcon = Owner<PlainValue<HICON, give_back::DestroyIconHandle>>;

// A timer of the default timer queue. Closing waits for a callback under way.
using OwnedQueueTimer = Owner<PlainValue<HANDLE, give_back::DeleteQueueTimer>>;

// A GDI object made here: a font, a bitmap.
template <typename T>
using GdiObject = Owner<PlainValue<T, give_back::DeleteGdiObject<T>>>;
using OwnedFont = GdiObject<HFONT>;
using OwnedBitmap = GdiObject<HBITMAP>;

// Memory the system allocated with LocalAlloc on the caller's behalf (FormatMessageW,
// CommandLineToArgvW); fill it through Put().
template <typename T>
using LocalMemory = Owner<PlainValue<T, give_back::FreeLocal<T>>>;

// The screen's device context, borrowed for a scope.
class ScreenDc : public Owner<PlainValue<HDC, give_back::ReleaseScreenDc>> {
 public:
  ScreenDc() noexcept : Owner(GetDC(nullptr)) {}
};

// A device context in memory, compatible with `like`.
class MemoryDc : public Owner<PlainValue<HDC, give_back::DeleteMemoryDc>> {
 public:
  explicit MemoryDc(HDC like) noexcept : Owner(CreateCompatibleDC(like)) {}
};

struct SelectedObject {
  HDC dc = nullptr;
  HGDIOBJ previous = nullptr;
};
struct Reselect {
  using Type = SelectedObject;
  static constexpr Type Empty() noexcept { return {}; }
  static bool IsValid(const Type& s) noexcept { return s.previous && s.previous != HGDI_ERROR; }
  static bool Close(const Type& s) noexcept { return SelectObject(s.dc, s.previous) != nullptr; }
};

// An object selected into a device context for a scope; what it displaced goes back after. Declare
// it after the object it selects, so the object is deselected before it is deleted.
class Selection : public Owner<Reselect> {
 public:
  Selection(HDC dc, HGDIOBJ object) noexcept : Owner({dc, SelectObject(dc, object)}) {}
};

struct Painting {
  HWND window = nullptr;
  PAINTSTRUCT paint{};
};
struct EndPainting {
  using Type = Painting;
  static Type Empty() noexcept { return {}; }
  static bool IsValid(const Type& p) noexcept { return p.paint.hdc != nullptr; }
  static bool Close(const Type& p) noexcept { return EndPaint(p.window, &p.paint) != FALSE; }
};

// The device context of WM_PAINT: ended however the paint ends, or the window repaints forever.
class PaintDc : public Owner<EndPainting> {
 public:
  explicit PaintDc(HWND window) noexcept : Owner(Begin(window)) {}
  HDC Get() const noexcept { return Owner::Get().paint.hdc; }

 private:
  static Painting Begin(HWND window) noexcept {
    Painting painting{window, {}};
    BeginPaint(window, &painting.paint);
    return painting;
  }
};

}  // namespace quarnel::win32
