#include "snapshot/saved_view.hpp"

#include <algorithm>

#include "common/text.hpp"
#include "snapshot/hidden_lines.hpp"
#include "snapshot/lines.hpp"

namespace quarnel::snapshot {
namespace {

using Spans = std::vector<std::pair<std::int32_t, std::int32_t>>;

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

Spans TouchedLines::Joined(Spans spans) {
  std::ranges::sort(spans);
  Spans joined;
  for (const auto& [first, last] : spans) {
    if (!joined.empty() && first <= joined.back().second + 1) {
      joined.back().second = std::max(joined.back().second, last);
    } else {
      joined.emplace_back(first, last);
    }
  }
  return joined;
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
