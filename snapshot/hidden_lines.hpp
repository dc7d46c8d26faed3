#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "excel/automation.hpp"

namespace quarnel::snapshot {

// Which rows (or columns) of a sheet are hidden, asked of Excel by runs: the visible cells of one
// shown column (or row) give the shown runs, and the rows between them are hidden when their
// height is 0. A column with merged cells in the stretch gives way to the next shown one. Wherever
// the answer cannot be trusted (a failure, areas that do not add up, no shown column to ask along,
// too short a stretch to be worth it) that stretch is read one by one, as Hidden of EntireRow of
// each row. Failures of COM itself reach the caller.
class HiddenLines {
 public:
  enum class Axis { Rows, Columns };

  // At most 8,191 areas fit in this many: Excel up to 2007 answers the whole range beyond 8,192.
  static constexpr std::int32_t kMostAsked = 16382;
  // Fewer than this cost fewer calls one by one.
  static constexpr std::int32_t kLeastAsked = 16;

  HiddenLines(excel::Object sheet, Axis axis) : sheet_(std::move(sheet)), axis_(axis) {}

  // Whether each of first..last (at most kMostAsked of them) is hidden, in order.
  std::vector<bool> Read(std::int32_t first, std::int32_t last);

 private:
  enum class Answer { Read, Merged, Untrusted };

  bool OneHidden(std::int32_t at) const;
  std::optional<std::int32_t> NextProbe(std::int32_t after);
  Answer ReadByRuns(std::int32_t probe, std::int32_t first, std::int32_t last,
                    std::vector<bool>& hidden) const;
  double Extent(std::int32_t first, std::int32_t last) const;

  excel::Object sheet_;
  Axis axis_;
  std::vector<bool> probeHidden_;  // of the lines that may be asked along, from 1: each asked once
};

}  // namespace quarnel::snapshot
