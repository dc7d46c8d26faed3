#pragma once

// Late-bound automation as the commands see it: values, counted object references that call
// members by name, and failures carrying a number and a description. The Windows build backs it
// with IDispatch; the tests back it with the stand-in spreadsheet model.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "common/failure.hpp"

namespace quarnel::excel {

class Object;

// A cell's error value (#N/A is 2042), by Excel's error number; a value, not a failure.
struct ErrorValue {
  std::int32_t code = 0;
  friend bool operator==(const ErrorValue&, const ErrorValue&) = default;
};

// Empty, Boolean, 16- and 32-bit integers, Double, text (UTF-8), object, cell error.
using Value =
    std::variant<std::monostate, bool, std::int16_t, std::int32_t, double, std::string, Object, ErrorValue>;

enum class CallKind { Get, Put, Method };

class Dispatch {
 public:
  virtual ~Dispatch() = default;
  // Calls `member` (looked up without regard to case). For Put the last argument is the value
  // assigned. Throws Failure.
  virtual Value Invoke(std::string_view member, CallKind kind, std::span<const Value> args) = 0;
};

// A counted reference to a late-bound object, or empty. Calls on an empty reference fail with 91.
class Object {
 public:
  Object() = default;
  explicit Object(std::shared_ptr<Dispatch> target) : target_(std::move(target)) {}

  explicit operator bool() const noexcept { return target_ != nullptr; }
  Dispatch* Get() const noexcept { return target_.get(); }
  friend bool operator==(const Object& a, const Object& b) noexcept { return a.target_ == b.target_; }

  Value Get(std::string_view member, std::initializer_list<Value> args = {}) const;
  Object GetObject(std::string_view member, std::initializer_list<Value> args = {}) const;
  void Put(std::string_view member, const Value& value) const;
  Value Call(std::string_view member, std::initializer_list<Value> args = {}) const;

 private:
  Dispatch& Target() const;
  std::shared_ptr<Dispatch> target_;
};

// Conversions as VARIANT coercion does them; a value that does not convert (an object, an error
// value) fails with 13.
std::int32_t ToLong(const Value& value);
double ToDouble(const Value& value);
bool ToBool(const Value& value);
std::string ToText(const Value& value);
Object ToObject(const Value& value);

// Stands for an object that cannot be reached now: every call fails with `failure`.
Object Unreachable(const Failure& failure);

}  // namespace quarnel::excel

// 常用函数, "common functions": see common/text.hpp.
namespace 常用函数 {
// A value of any kind as text: numbers as ValueText writes them, everything else as ToText does.
std::string ValueText(const quarnel::excel::Value& value);
}  // namespace 常用函数
