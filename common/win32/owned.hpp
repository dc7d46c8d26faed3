#pragma once

#include <utility>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// A kernel handle: a file, a process. Empty is null or INVALID_HANDLE_VALUE, whichever the call
// that made it returns on failure.
class OwnedHandle {
 public:
  OwnedHandle() noexcept = default;
  explicit OwnedHandle(HANDLE handle) noexcept : handle_(handle) {}
  ~OwnedHandle() { Close(); }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept;

  HANDLE Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  // False when the system would not close it: for a file written to, data may be lost.
  bool Close() noexcept;

 private:
  HANDLE handle_ = nullptr;
};

// A GDI object made here: a font, a bitmap.
template <typename T>
class GdiObject {
 public:
  GdiObject() noexcept = default;
  explicit GdiObject(T object) noexcept : object_(object) {}
  ~GdiObject() {
    if (object_) DeleteObject(object_);
  }
  GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }

  T Get() const noexcept { return object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

 private:
  T object_ = nullptr;
};

using OwnedFont = GdiObject<HFONT>;
using OwnedBitmap = GdiObject<HBITMAP>;

// The screen's device context, borrowed for a scope.
class ScreenDc {
 public:
  ScreenDc() noexcept : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;

  HDC Get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

// A device context in memory, compatible with `like`.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) noexcept : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  HDC Get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

// An object selected into a device context for a scope; what it displaced goes back after. Declare
// it after the object it selects, so the object is deselected before it is deleted.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Memory the system allocated with LocalAlloc on the caller's behalf (FormatMessageW,
// CommandLineToArgvW).
template <typename T>
class LocalMemory {
 public:
  LocalMemory() noexcept = default;
  ~LocalMemory() {
    if (memory_) LocalFree(memory_);
  }
  LocalMemory(const LocalMemory&) = delete;
  LocalMemory& operator=(const LocalMemory&) = delete;

  T Get() const noexcept { return memory_; }
  // For the out parameter of the call that allocates.
  T* Put() noexcept { return &memory_; }

 private:
  T memory_ = nullptr;
};

}  // namespace quarnel::win32
