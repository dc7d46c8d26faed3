#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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

// "number description", to compare both at once.
inline std::string FailureLine(const Failure& failure) {
  return std::to_string(failure.Number()) + " " + failure.Description();
}

// What `raise` throws, as the tool would report it.
template <typename Throw>
Failure FailureOf(Throw&& raise) {
  try {
    raise();
  } catch (...) {
    return CurrentFailure();
  }
  ADD_FAILURE() << "nothing was thrown";
  return {0, ""};
}

}  // namespace quarnel::test_support
