#pragma once

#include <span>
#include <string_view>

#include "common/win32/win_headers.hpp"
#include "excel/automation.hpp"

namespace quarnel::bench {

// The IDispatch behind an object of the tool's own client.
IDispatch* RawOf(const excel::Object& object);

// Naive late binding over the tool's client, kept to measure what its once-only look-up saves: a
// GetIDsOfNames round trip before each call, then the call as the tool makes it. Objects it
// returns do the same.
class LookUpEveryCall final : public excel::Dispatch {
 public:
  explicit LookUpEveryCall(excel::Object inner) : inner_(std::move(inner)) {}

  // `object` looking its names up before every call; empty stays empty.
  static excel::Object Wrap(const excel::Object& object);

  excel::Value Invoke(std::string_view member, excel::CallKind kind,
                      std::span<const excel::Value> args) override;

 private:
  excel::Object inner_;
};

}  // namespace quarnel::bench
