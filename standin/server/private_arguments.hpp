#pragma once

// How the server's own members read their arguments, as Excel's members do: a missing argument
// fails with 449, one too many with 450, a value out of range with 1004.

#include <chrono>
#include <span>

#include "excel/automation.hpp"
#include "standin/model/failures.hpp"

namespace quarnel::standin::server {

inline void Arity(std::span<const excel::Value> args, std::size_t least, std::size_t most) {
  if (args.size() < least) throw ArgumentNotOptional();
  if (args.size() > most) throw WrongArgumentCount();
}

inline std::chrono::milliseconds Milliseconds(const excel::Value& value) {
  const std::int32_t time = excel::ToLong(value);
  if (time < 0) throw ApplicationDefined();
  return std::chrono::milliseconds(time);
}

}  // namespace quarnel::standin::server
