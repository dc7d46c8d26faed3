#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "common/failure.hpp"

namespace quarnel::test_support {

// The Failure that `action` throws; number 0 and no description when it throws none, so that a
// check of the number also catches a call that should have failed and did not.
template <typename Action>
Failure FailureOf(const Action& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure;
  }
  return Failure(0, "");
}

// How long `call` took to throw the Failure it must throw.
inline std::chrono::steady_clock::duration TimeToFail(const std::function<void()>& call) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(call(), Failure);
  return std::chrono::steady_clock::now() - start;
}

}  // namespace quarnel::test_support
