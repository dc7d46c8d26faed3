#include "common/win32/owned.hpp"

namespace quarnel::win32 {

OwnedHandle& OwnedHandle::operator=(OwnedHandle&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

bool OwnedHandle::Close() noexcept {
  if (!*this) return true;
  return CloseHandle(std::exchange(handle_, nullptr)) != FALSE;
}

}  // namespace quarnel::win32
