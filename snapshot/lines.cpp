#include "snapshot/lines.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "common/failure.hpp"
#include "common/text.hpp"
#include "excel/addresses.hpp"

namespace quarnel::snapshot {
namespace {

std::string StateText(bool hidden) { return hidden ? "True" : "False"; }

// The target with the characters that the reading passes over taken out.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) { Skip(); }
  bool AtEnd() const { return position_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[position_]; }
  void Next() {
    ++position_;
    Skip();
  }

 private:
  void Skip() {
    while (!AtEnd() && (text_[position_] == ' ' || text_[position_] == '\t' || text_[position_] == '\n')) {
      ++position_;
    }
  }
  std::string_view text_;
  std::size_t position_ = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int base) {
  int value = base;
  if (IsDigit(c)) {
    value = c - '0';
  } else if (AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f') {
    value = AsciiLower(c) - 'a' + 10;
  }
  return value < base ? value : -1;
}

double ReadBased(Cursor& cursor, int base) {
  double value = 0;
  for (int digit; (digit = DigitValue(cursor.Peek(), base)) >= 0; cursor.Next()) value = value * base + digit;
  return value;
}

// A decimal text too large or too small for a double: infinite or zero, with its sign.
double OutOfRange(std::string_view number) {
  const bool negative = number.front() == '-';
  const std::size_t start = negative ? 1 : 0;
  const auto e = number.find('e');
  const std::string_view mantissa = number.substr(start, e == std::string_view::npos ? e : e - start);
  const auto point = std::min(mantissa.find('.'), mantissa.size());
  const auto first = mantissa.find_first_of("123456789");
  // Decimal exponent of the leading digit; only its sign matters.
  double order = first == std::string_view::npos ? -1.0
                 : first < point                 ? static_cast<double>(point - first - 1)
                                                 : -static_cast<double>(first - point);
  if (e != std::string_view::npos) {
    std::string_view exponentText = number.substr(e + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    double exponent = 0;
    const auto read =
        std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    if (read.ec == std::errc::result_out_of_range) {
      exponent = (exponentText.front() == '-' ? -1 : 1) * std::numeric_limits<double>::infinity();
    }
    order += exponent;
  }
  const double magnitude = order < 0 ? 0.0 : std::numeric_limits<double>::infinity();
  return negative ? -magnitude : magnitude;
}

double ReadDecimal(Cursor& cursor) {
  // Gathered into plain text so that the conversion rounds exactly as a decimal number should.
  std::string number;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    if (cursor.Peek() == '-') number += '-';
    cursor.Next();
  }
  const auto readDigits = [&cursor](std::string& into) {
    bool any = false;
    for (; IsDigit(cursor.Peek()); cursor.Next()) {
      into += cursor.Peek();
      any = true;
    }
    return any;
  };
  bool digits = readDigits(number);
  if (cursor.Peek() == '.') {
    number += '.';
    cursor.Next();
    digits = readDigits(number) || digits;
  }
  if (!digits) return 0;
  if (const char e = AsciiLower(cursor.Peek()); e == 'e' || e == 'd') {
    cursor.Next();
    std::string exponent = "e";
    if (cursor.Peek() == '+' || cursor.Peek() == '-') {
      exponent += cursor.Peek();
      cursor.Next();
    }
    if (readDigits(exponent)) number += exponent;
  }
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) return OutOfRange(number);
  return value;
}

}  // namespace

std::string RowRecord(std::int64_t row, bool hidden) {
  return RowAddress(row) + "/" + StateText(hidden) + "\r\n";
}

std::string ColumnRecord(std::int64_t column, bool hidden) {
  return 常用函数::ValueText(column) + "/" + StateText(hidden) + "\r\n";
}

Record ReadRecord(std::string_view line) {
  const auto slash = line.find('/');
  if (slash == std::string_view::npos) throw errors::SubscriptOutOfRange();
  std::string_view state = line.substr(slash + 1);
  state = state.substr(0, state.find('/'));
  Record record{line.substr(0, slash), std::nullopt};
  if (AsciiLower(state) == "true") record.state = true;
  if (AsciiLower(state) == "false") record.state = false;
  return record;
}

bool IsRowTarget(std::string_view target) { return target.find(':') != std::string_view::npos; }

double ColumnNumber(std::string_view target) {
  Cursor cursor(target);
  if (cursor.Peek() != '&') return ReadDecimal(cursor);
  cursor.Next();
  const char prefix = AsciiLower(cursor.Peek());
  if (prefix != 'h' && prefix != 'o') return 0;
  cursor.Next();
  return ReadBased(cursor, prefix == 'h' ? 16 : 8);
}

}  // namespace quarnel::snapshot
