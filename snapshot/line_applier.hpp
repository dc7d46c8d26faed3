#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "excel/automation.hpp"
#include "snapshot/lines.hpp"

namespace quarnel::snapshot {

// Rows (or columns) first to last.
struct LineSpan {
  bool rows = true;
  std::int32_t first = 0;
  std::int32_t last = 0;
};

// What a target names for sure, whatever the sheet: "a:b" in plain digits with a not above b, or a
// whole column number up to the larger sheet's last; anything else only Excel can tell.
std::optional<LineSpan> PlainLines(std::string_view target);

// How a restore hands its lines to Excel. Each line alone is the plain way, kept to compare with.
enum class Lines { InRuns, EachAlone };

// Applies a file's lines to a sheet in file order. In runs, lines that follow each other, name
// neighbouring rows (or columns) and carry the same state go to Excel in one call; a line whose
// target Excel might refuse always goes alone, so that it fails as it would one by one.
class LineApplier {
 public:
  LineApplier(const excel::Object& sheet, Lines lines) : sheet_(sheet), lines_(lines) {}

  // May first apply the lines held back, so a failure here can belong to an earlier line.
  void Add(const Record& record, bool hidden);
  // Applies the lines held back.
  void Flush();

 private:
  struct Run : LineSpan {
    bool hidden = false;
  };

  static std::optional<Run> Plain(const Record& record, bool hidden);
  void Apply(const Run& run) const;
  void ApplyAlone(const Record& record, bool hidden);

  const excel::Object& sheet_;
  Lines lines_;
  std::optional<Run> held_;
  // Rows and columns every sheet has, until a line alone shows that this one has more.
  std::int32_t lastRow_ = 65536;
  std::int32_t lastColumn_ = 256;
};

}  // namespace quarnel::snapshot
