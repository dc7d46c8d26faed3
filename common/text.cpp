#include "common/text.hpp"

#include <charconv>
#include <cmath>
#include <system_error>

namespace 常用函数 {

std::string ValueText(std::int64_t value) { return std::to_string(value); }

namespace {

// Lays out the digits d1 d2 ... dn of the number 0.d1d2...dn times ten to `pointAt`.
std::string Positional(bool negative, std::string_view digits, int pointAt) {
  std::string text = negative ? "-" : "";
  const auto count = static_cast<int>(digits.size());
  if (pointAt <= 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-pointAt), '0');
    text += digits;
  } else if (pointAt >= count) {
    text += digits;
    text.append(static_cast<std::size_t>(pointAt - count), '0');
  } else {
    text += digits.substr(0, static_cast<std::size_t>(pointAt));
    text += '.';
    text += digits.substr(static_cast<std::size_t>(pointAt));
  }
  return text;
}

// One sign at most, then a digit or the point: "nan", "inf" and "infinity", which from_chars
// would take, are no numbers here.
bool LooksDecimal(std::string_view body) {
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) body.remove_prefix(1);
  return !body.empty() && ((body.front() >= '0' && body.front() <= '9') || body.front() == '.');
}

}  // namespace

std::string ValueText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0) return "0";  // also -0
  // The shortest digits that read back as the same number, so that every number of up to 15
  // significant digits keeps exactly its own; then written out without an exponent.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string_view text(buffer, result.ptr);
  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  const auto e = text.find('e');
  std::string_view exponentText = text.substr(e + 1);
  if (exponentText.front() == '+') exponentText.remove_prefix(1);
  int exponent = 0;
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return Positional(negative, digits, exponent + 1);
}

std::string ValueText(std::string_view text) {
  std::string_view body = quarnel::TrimSpaces(text);
  if (!LooksDecimal(body)) return std::string(text);
  if (body.front() == '+') body.remove_prefix(1);
  double number = 0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), number);
  if (result.ec != std::errc() || result.ptr != body.data() + body.size()) return std::string(text);
  return ValueText(number);
}

std::string FileNameOfPath(std::string_view path) {
  const auto slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string BaseNameOfPath(std::string_view path) {
  std::string name = FileNameOfPath(path);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

}  // namespace 常用函数

namespace quarnel {

char AsciiLower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

namespace {
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }
}  // namespace

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) count += StartsCharacter(c) ? 1 : 0;
  return count;
}

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (char c : utf8) {
    // A four-byte sequence starts with 0xF0 or above: a surrogate pair.
    if (StartsCharacter(c)) units += static_cast<unsigned char>(c) >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace quarnel
