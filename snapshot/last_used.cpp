#include "snapshot/last_used.hpp"

#include <string>
#include <variant>

#include "common/text.hpp"
#include "excel/addresses.hpp"

namespace quarnel::snapshot {
namespace {

constexpr std::int16_t kXlUp = -4162;
constexpr std::int16_t kXlToLeft = -4159;

bool Filled(const excel::Object& cell) { return !std::holds_alternative<std::monostate>(cell.Get("Value")); }

std::string ColumnAAddress(std::int32_t first, std::int32_t last) {
  return "A" + 常用函数::ValueText(first) + ":A" + 常用函数::ValueText(last);
}

std::string RowOneAddress(std::int32_t first, std::int32_t last) {
  return ColumnLetters(first) + "1:" + ColumnLetters(last) + "1";
}

}  // namespace

// Column A down to row 65536, or row 1 across to column 256.
struct LastUsed::Line {
  std::int32_t length;
  std::string (*address)(std::int32_t first, std::int32_t last);
};

bool LastUsed::AnyFilled(const Line& line, std::int32_t first, std::int32_t last) {
  if (!functions_) functions_ = application_.GetObject("WorksheetFunction");
  const excel::Object part = sheet_.GetObject("Range", {line.address(first, last)});
  return excel::ToDouble(functions_.Call("CountA", {part})) > 0;
}

// Halves [first, last], where something is known to be filled, keeping the half with the last one.
std::int32_t LastUsed::LastFilledWithin(const Line& line, std::int32_t first, std::int32_t last) {
  while (first < last) {
    const std::int32_t middle = first + (last - first) / 2;
    if (AnyFilled(line, middle + 1, last)) {
      first = middle + 1;
    } else {
      last = middle;
    }
  }
  return first;
}

// `reached` is the cell at `at` that End reached from the line's far end. An End that moves over
// hidden cells may have left hidden filled ones beyond it, or, with nothing shown filled, stopped
// at the first cell shown with hidden filled ones before it.
std::int32_t LastUsed::LastFilled(const Line& line, const excel::Object& reached, std::int32_t at) {
  if (at < line.length && AnyFilled(line, at + 1, line.length))
    return LastFilledWithin(line, at + 1, line.length);
  if (at == 1 || Filled(reached)) return at;
  return AnyFilled(line, 1, at - 1) ? LastFilledWithin(line, 1, at - 1) : 1;
}

// A filled corner cell is itself the last one looked at: Excel's move from it would stop at the
// top (or left) of its block and drop every row (or column) after that from the snapshot.
std::int32_t LastUsed::Row() {
  const excel::Object corner = sheet_.GetObject("cells", {std::int32_t{kLastUsedRows}, std::int16_t{1}});
  if (Filled(corner)) return kLastUsedRows;
  const excel::Object reached = corner.GetObject("end", {kXlUp});
  return LastFilled(Line{kLastUsedRows, ColumnAAddress}, reached, excel::ToLong(reached.Get("Row")));
}

std::int32_t LastUsed::Column() {
  const excel::Object corner =
      sheet_.GetObject("cells", {std::int16_t{1}, static_cast<std::int16_t>(kLastUsedColumns)});
  if (Filled(corner)) return kLastUsedColumns;
  const excel::Object reached = corner.GetObject("end", {kXlToLeft});
  return LastFilled(Line{kLastUsedColumns, RowOneAddress}, reached, excel::ToLong(reached.Get("Column")));
}

}  // namespace quarnel::snapshot
