#include "standin/model/address.hpp"

#include <algorithm>
#include <cctype>

#include "excel/addresses.hpp"

namespace quarnel::standin {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// One side of an address: "$C$12", "C12", "C", "12", each "$" optional.
struct Part {
  std::optional<std::int32_t> column;
  std::optional<std::int32_t> row;
};

std::optional<std::int32_t> RowNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 7) return std::nullopt;
  std::int32_t row = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    row = row * 10 + (c - '0');
  }
  if (row < 1 || row > kMaxRows) return std::nullopt;
  return row;
}

std::optional<Part> ParsePart(std::string_view text) {
  Part part;
  if (!text.empty() && text.front() == '$') text.remove_prefix(1);
  const auto letters_end = std::find_if_not(text.begin(), text.end(), IsLetter);
  const std::string_view letters = text.substr(0, static_cast<std::size_t>(letters_end - text.begin()));
  text.remove_prefix(letters.size());
  if (!letters.empty()) {
    part.column = ColumnFromLetters(letters);
    if (!part.column) return std::nullopt;
    if (text.empty()) return part;
    if (text.front() == '$') text.remove_prefix(1);
  }
  part.row = RowNumber(text);
  if (!part.row) return std::nullopt;
  return part;
}

// Splits at the one colon; nothing when there are more.
std::optional<std::pair<Part, Part>> ParsePair(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos || text.find(':', colon + 1) != std::string_view::npos) {
    return std::nullopt;
  }
  auto first = ParsePart(text.substr(0, colon));
  auto second = ParsePart(text.substr(colon + 1));
  if (!first || !second) return std::nullopt;
  return std::pair{*first, *second};
}

bool RowOnly(const Part& part) { return part.row && !part.column; }
bool ColumnOnly(const Part& part) { return part.column && !part.row; }
bool Cell(const Part& part) { return part.row && part.column; }

}  // namespace

std::optional<std::int32_t> ColumnFromLetters(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return std::nullopt;
  std::int32_t column = 0;
  for (char c : letters) {
    if (!IsLetter(c)) return std::nullopt;
    column = column * 26 + (std::toupper(static_cast<unsigned char>(c)) - 'A' + 1);
  }
  if (column > kMaxColumns) return std::nullopt;
  return column;
}

std::optional<Rect> ParseRowAddress(std::string_view text) {
  auto pair = ParsePair(text);
  if (!pair || !RowOnly(pair->first) || !RowOnly(pair->second)) return std::nullopt;
  return RowsRect(*pair->first.row, *pair->second.row);
}

std::optional<Rect> ParseColumnAddress(std::string_view text) {
  if (text.find(':') == std::string_view::npos) {
    auto part = ParsePart(text);
    if (!part || !ColumnOnly(*part)) return std::nullopt;
    return ColumnsRect(*part->column, *part->column);
  }
  auto pair = ParsePair(text);
  if (!pair || !ColumnOnly(pair->first) || !ColumnOnly(pair->second)) return std::nullopt;
  return ColumnsRect(*pair->first.column, *pair->second.column);
}

std::optional<Rect> ParseRangeAddress(std::string_view text) {
  if (text.find(':') == std::string_view::npos) {
    auto part = ParsePart(text);
    if (!part || !Cell(*part)) return std::nullopt;
    return Rect{*part->row, *part->column, *part->row, *part->column};
  }
  if (auto rows = ParseRowAddress(text)) return rows;
  if (auto columns = ParseColumnAddress(text)) return columns;
  auto pair = ParsePair(text);
  if (!pair || !Cell(pair->first) || !Cell(pair->second)) return std::nullopt;
  const auto [a, b] = *pair;
  return Rect{std::min(*a.row, *b.row), std::min(*a.column, *b.column), std::max(*a.row, *b.row),
              std::max(*a.column, *b.column)};
}

std::string FormatAddress(const Rect& rect) {
  const auto row = [](std::int32_t r) { return "$" + std::to_string(r); };
  const auto column = [](std::int32_t c) { return "$" + ColumnLetters(c); };
  if (rect.WholeRows()) return row(rect.top) + ":" + row(rect.bottom);
  if (rect.WholeColumns()) return column(rect.left) + ":" + column(rect.right);
  std::string address = column(rect.left) + row(rect.top);
  if (rect.top != rect.bottom || rect.left != rect.right) {
    address += ":" + column(rect.right) + row(rect.bottom);
  }
  return address;
}

}  // namespace quarnel::standin
