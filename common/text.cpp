#include "common/text.hpp"

#include <charconv>
#include <cmath>
#include <system_error>

namespace 常用函数 {

std::string ValueText(std::int64_t value) { return std::to_string(value); }

std::string ValueText(double value) {
  if (std::isnan(value)) return "NaN";
  if (value == 0) return "0";  // also -0
  char buffer[64];
  // Shortest text that reads back as the same number; always "." and never grouped.
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string ValueText(std::string_view text) {
  std::string_view body = quarnel::TrimSpaces(text);
  if (!body.empty() && body.front() == '+') body.remove_prefix(1);
  if (body.empty()) return std::string(text);
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

std::string RowAddress(std::int64_t row) {
  const std::string number = 常用函数::ValueText(row);
  return number + ":" + number;
}

std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace quarnel
