#pragma once

#include <cstdint>

#include "common/failure.hpp"

namespace quarnel::test_support {

// The number of the Failure that `action` throws; 0 when it throws none.
template <typename Action>
std::int32_t FailureNumber(const Action& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.Number();
  }
  return 0;
}

}  // namespace quarnel::test_support
