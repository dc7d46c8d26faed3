#include "snapshot/saved_view.hpp"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "common/text.hpp"
#include "excel/addresses.hpp"
#include "snapshot/hidden_lines.hpp"
#include "snapshot/lines.hpp"

namespace quarnel::snapshot {
namespace {

using Spans = TouchedLines::Spans;

std::vector<LineRun> ReadRuns(const excel::Object& sheet, HiddenLines::Axis axis, const Spans& spans) {
  HiddenLines lines(sheet, axis);
  std::vector<LineRun> runs;
  for (const auto& [from, to] : spans) {
    for (std::int32_t first = from; first <= to; first += HiddenLines::kMostAsked) {
      const std::int32_t last = std::min(to, first + HiddenLines::kMostAsked - 1);
      const std::vector<bool> hidden = lines.Read(first, last);
      for (std::int32_t at = first; at <= last; ++at) {
        const bool state = hidden[static_cast<std::size_t>(at - first)];
        if (!runs.empty() && runs.back().last + 1 == at && runs.back().hidden == state) {
          runs.back().last = at;
        } else {
          runs.push_back({at, at, state});
        }
      }
    }
  }
  return runs;
}

}  // namespace

void TouchedLines::Add(const LineSpan& span) {
  Spans& spans = span.rows ? rows_ : columns_;
  // A file's lines mostly follow each other: most join the span before.
  if (!spans.empty() && span.first <= spans.back().second + 1 && span.last + 1 >= spans.back().first) {
    spans.back() = {std::min(spans.back().first, span.first), std::max(spans.back().second, span.last)};
    return;
  }
  spans.emplace_back(span.first, span.last);
}

void TouchedLines::Join() {
  for (Spans* spans : {&rows_, &columns_}) {
    std::ranges::sort(*spans);
    Spans joined;
    for (const auto& [first, last] : *spans) {
      if (!joined.empty() && first <= joined.back().second + 1) {
        joined.back().second = std::max(joined.back().second, last);
      } else {
        joined.emplace_back(first, last);
      }
    }
    *spans = std::move(joined);
  }
}

bool TouchedLines::Covers(const LineSpan& span) const {
  const Spans& spans = span.rows ? rows_ : columns_;
  // The last span that begins at or before the first line.
  const auto after = std::ranges::upper_bound(spans, std::pair{span.first, INT32_MAX});
  return after != spans.begin() && std::prev(after)->second >= span.last;
}

SavedView ReadView(const excel::Object& ExcelBook, const excel::Object& ExcelSheet,
                   const TouchedLines& touched) {
  SavedView view;
  view.workbook = excel::ToText(ExcelBook.Get("Name"));
  view.sheet = excel::ToText(ExcelSheet.Get("Name"));
  view.rows = ReadRuns(ExcelSheet, HiddenLines::Axis::Rows, touched.Rows());
  view.columns = ReadRuns(ExcelSheet, HiddenLines::Axis::Columns, touched.Columns());
  return view;
}

void PutBack(const excel::Object& ExcelSheet, const SavedView& view) {
  LineApplier applier(ExcelSheet, Lines::InRuns);
  for (const LineRun& run : view.rows) {
    const std::string target = RowsAddress(run.first, run.last);
    applier.Add(Record{target, run.hidden}, run.hidden);
  }
  for (const LineRun& run : view.columns) {
    for (std::int32_t column = run.first; column <= run.last; ++column) {
      const std::string target = 常用函数::ValueText(column);
      applier.Add(Record{target, run.hidden}, run.hidden);
    }
  }
  applier.Flush();
}

}  // namespace quarnel::snapshot
