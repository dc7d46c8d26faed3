#pragma once

#include <cstddef>

// Bytes handed out by the global operator new and not yet given back, for this program only.
namespace quarnel::bench::memory {

std::size_t Live();
// The highest Live() since the last ResetPeak.
std::size_t Peak();
void ResetPeak();

}  // namespace quarnel::bench::memory
