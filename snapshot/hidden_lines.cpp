#include "snapshot/hidden_lines.hpp"

#include <algorithm>
#include <string>
#include <utility>
#include <variant>

#include "common/text.hpp"
#include "excel/addresses.hpp"
#include "snapshot/last_used.hpp"

namespace quarnel::snapshot {
namespace {

constexpr std::int32_t kVisibleCells = 12;  // xlCellTypeVisible
// How many lines are tried as the one to ask along before reading one by one.
constexpr std::int32_t kProbeTries = 8;

using 常用函数::ValueText;

bool IsFalse(const excel::Value& value) {
  const auto* flag = std::get_if<bool>(&value);
  return flag != nullptr && !*flag;
}

}  // namespace

bool HiddenLines::OneHidden(std::int32_t at) const {
  if (axis_ == Axis::Rows) {
    return excel::ToBool(sheet_.GetObject("Rows", {RowAddress(at)}).GetObject("EntireRow").Get("Hidden"));
  }
  return excel::ToBool(sheet_.GetObject("Columns", {at}).GetObject("EntireColumn").Get("Hidden"));
}

// The next shown column (for rows) or row (for columns) after `after` among the first few, if any.
std::optional<std::int32_t> HiddenLines::NextProbe(std::int32_t after) {
  for (std::int32_t at = after + 1; at <= kProbeTries; ++at) {
    if (probeHidden_.size() < static_cast<std::size_t>(at)) {
      const excel::Object line = axis_ == Axis::Rows ? sheet_.GetObject("Columns", {at})
                                                     : sheet_.GetObject("Rows", {RowAddress(at)});
      probeHidden_.push_back(excel::ToBool(line.Get("Hidden")));
    }
    if (!probeHidden_[static_cast<std::size_t>(at - 1)]) return at;
  }
  return std::nullopt;
}

// Height of rows first..last, or width of those columns: 0 when every one is hidden.
double HiddenLines::Extent(std::int32_t first, std::int32_t last) const {
  if (axis_ == Axis::Rows) {
    return excel::ToDouble(sheet_.GetObject("Rows", {RowsAddress(first, last)}).Get("Height"));
  }
  return excel::ToDouble(
      sheet_.GetObject("Range", {ColumnLetters(first) + ":" + ColumnLetters(last)}).Get("Width"));
}

// Anything but Read leaves `hidden` untouched.
HiddenLines::Answer HiddenLines::ReadByRuns(std::int32_t probe, std::int32_t first, std::int32_t last,
                                            std::vector<bool>& hidden) const {
  const bool rows = axis_ == Axis::Rows;
  const std::string address =
      rows ? ColumnLetters(probe) + ValueText(first) + ":" + ColumnLetters(probe) + ValueText(last)
           : ColumnLetters(first) + ValueText(probe) + ":" + ColumnLetters(last) + ValueText(probe);
  const excel::Object range = sheet_.GetObject("Range", {address});
  // Excel may answer a merged block whole, hidden rows in it too.
  if (!IsFalse(range.Get("MergeCells"))) return Answer::Merged;
  excel::Object visible;
  try {
    visible = range.GetObject("SpecialCells", {kVisibleCells});
  } catch (const Failure& failure) {
    if (failure.Number() != errors::kApplicationDefined) throw;
    // "No cells were found": all hidden, if their height says so too.
    if (Extent(first, last) != 0) return Answer::Untrusted;
    std::fill(hidden.begin(), hidden.end(), true);
    return Answer::Read;
  }
  const excel::Object areas = visible.GetObject("Areas");
  const std::int32_t count = excel::ToLong(areas.Get("Count"));
  std::vector<std::pair<std::int32_t, std::int32_t>> shown;
  std::int32_t next = first;
  for (std::int32_t i = 1; i <= count; ++i) {
    const excel::Object area = areas.GetObject("Item", {i});
    const std::int32_t start = excel::ToLong(area.Get(rows ? "Row" : "Column"));
    const std::int32_t length = excel::ToLong(area.GetObject(rows ? "Rows" : "Columns").Get("Count"));
    // In order, apart, inside the range asked.
    if (start < next || length < 1 || length > last - start + 1) return Answer::Untrusted;
    shown.emplace_back(start, start + length - 1);
    next = start + length;
  }
  if (shown.empty()) return Answer::Untrusted;
  next = first;
  shown.emplace_back(last + 1, last);
  for (const auto& [start, end] : shown) {
    if (start > next && Extent(next, start - 1) != 0) return Answer::Untrusted;
    next = end + 1;
  }
  shown.pop_back();
  std::fill(hidden.begin(), hidden.end(), true);
  for (const auto& [start, end] : shown) {
    std::fill(hidden.begin() + (start - first), hidden.begin() + (end - first + 1), false);
  }
  return Answer::Read;
}

std::vector<bool> HiddenLines::Read(std::int32_t first, std::int32_t last) {
  std::vector<bool> hidden(static_cast<std::size_t>(last - first + 1));
  if (last - first + 1 >= kLeastAsked) {
    try {
      for (auto probe = NextProbe(0); probe; probe = NextProbe(*probe)) {
        const Answer answer = ReadByRuns(*probe, first, last, hidden);
        if (answer == Answer::Read) return hidden;
        if (answer == Answer::Untrusted) break;
      }
    } catch (const Failure& failure) {
      // COM's own failures (Excel gone, a call given up) would meet the one-by-one reads too.
      if (failure.Number() < 0) throw;
    }
  }
  for (std::int32_t at = first; at <= last; ++at)
    hidden[static_cast<std::size_t>(at - first)] = OneHidden(at);
  return hidden;
}

}  // namespace quarnel::snapshot
