#include "excel/addresses.hpp"

#include "common/text.hpp"

namespace quarnel {

std::string RowAddress(std::int64_t row) { return RowsAddress(row, row); }

std::string RowsAddress(std::int64_t first, std::int64_t last) {
  return 常用函数::ValueText(first) + ":" + 常用函数::ValueText(last);
}

std::string ColumnLetters(std::int32_t column) {
  std::string letters;
  for (; column > 0; column = (column - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
  }
  return letters;
}

}  // namespace quarnel
