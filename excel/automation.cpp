#include "excel/automation.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "common/text.hpp"

namespace quarnel::excel {
namespace {

Failure Overflow() { return errors::Catalogued(errors::kOverflow); }

class UnreachableObject final : public Dispatch {
 public:
  explicit UnreachableObject(Failure failure) : failure_(std::move(failure)) {}
  Value Invoke(std::string_view, CallKind, std::span<const Value>) override { throw failure_; }

 private:
  Failure failure_;
};

double ParseNumber(std::string_view text) {
  std::string_view body = TrimSpaces(text);
  if (!body.empty() && body.front() == '+') body.remove_prefix(1);
  double number = 0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), number);
  if (body.empty() || result.ec != std::errc() || result.ptr != body.data() + body.size()) {
    throw errors::TypeMismatch();
  }
  return number;
}

}  // namespace

Object Unreachable(const Failure& failure) { return Object(std::make_shared<UnreachableObject>(failure)); }

Dispatch& Object::Target() const {
  if (!target_) throw errors::ObjectNotSet();
  return *target_;
}

Value Object::Get(std::string_view member, std::initializer_list<Value> args) const {
  return Target().Invoke(member, CallKind::Get, std::span<const Value>(args.begin(), args.size()));
}

Object Object::GetObject(std::string_view member, std::initializer_list<Value> args) const {
  return ToObject(Target().Invoke(member, CallKind::Get, std::span<const Value>(args.begin(), args.size())));
}

void Object::Put(std::string_view member, const Value& value) const {
  Target().Invoke(member, CallKind::Put, std::span<const Value>(&value, 1));
}

Value Object::Call(std::string_view member, std::initializer_list<Value> args) const {
  return Target().Invoke(member, CallKind::Method, std::span<const Value>(args.begin(), args.size()));
}

double ToDouble(const Value& value) {
  struct Visitor {
    double operator()(std::monostate) const { return 0; }
    double operator()(bool b) const { return b ? -1 : 0; }
    double operator()(std::int16_t i) const { return i; }
    double operator()(std::int32_t i) const { return i; }
    double operator()(double d) const { return d; }
    double operator()(const std::string& s) const { return ParseNumber(s); }
    double operator()(const Object&) const { throw errors::TypeMismatch(); }
    double operator()(ErrorValue) const { throw errors::TypeMismatch(); }
  };
  return std::visit(Visitor{}, value);
}

std::int32_t ToLong(const Value& value) {
  if (const auto* i = std::get_if<std::int32_t>(&value)) return *i;
  if (const auto* s = std::get_if<std::int16_t>(&value)) return *s;
  // Half goes to the even neighbour, as VARIANT coercion rounds.
  const double rounded = std::nearbyint(ToDouble(value));
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw Overflow();
  }
  return static_cast<std::int32_t>(rounded);
}

bool ToBool(const Value& value) {
  if (const auto* b = std::get_if<bool>(&value)) return *b;
  if (const auto* s = std::get_if<std::string>(&value)) {
    std::string upper;
    for (char c : TrimSpaces(*s)) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (upper == "TRUE") return true;
    if (upper == "FALSE") return false;
  }
  return ToDouble(value) != 0;
}

std::string ToText(const Value& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(std::int16_t i) const { return 常用函数::ValueText(i); }
    std::string operator()(std::int32_t i) const { return 常用函数::ValueText(i); }
    std::string operator()(double d) const { return 常用函数::ValueText(d); }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(const Object&) const { throw errors::TypeMismatch(); }
    std::string operator()(ErrorValue) const { throw errors::TypeMismatch(); }
  };
  return std::visit(Visitor{}, value);
}

Object ToObject(const Value& value) {
  if (const auto* object = std::get_if<Object>(&value)) return *object;
  // An object property may answer Nothing (ActiveWorkbook with no workbook in front).
  if (std::holds_alternative<std::monostate>(value)) return {};
  throw errors::Catalogued(errors::kObjectRequired);
}

}  // namespace quarnel::excel

namespace 常用函数 {

std::string ValueText(const quarnel::excel::Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return ValueText(*text);
  return quarnel::excel::ToText(value);
}

}  // namespace 常用函数
