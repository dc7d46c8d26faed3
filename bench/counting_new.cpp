#include "counting_new.hpp"

#include <cstdlib>
#include <new>

namespace quarnel::bench::memory {
namespace {

// The block's size sits in front of it; this keeps malloc's alignment for what follows.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::size_t live = 0;
std::size_t peak = 0;

void* Allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  live += size;
  if (live > peak) peak = live;
  return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  live -= *static_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

std::size_t Live() { return live; }
std::size_t Peak() { return peak; }
void ResetPeak() { peak = live; }

}  // namespace quarnel::bench::memory

using quarnel::bench::memory::Allocate;
using quarnel::bench::memory::Release;

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { Release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
