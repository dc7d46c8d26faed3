#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "excel/automation.hpp"
#include "snapshot/line_applier.hpp"

namespace quarnel::snapshot {

// Rows (or columns) first to last, all hidden or all shown.
struct LineRun {
  std::int32_t first = 0;
  std::int32_t last = 0;
  bool hidden = false;
  bool operator==(const LineRun&) const = default;
};

// Which of some rows and columns of one sheet were hidden: what a change is about to replace, kept
// to be put back.
struct SavedView {
  std::string workbook;
  std::string sheet;
  std::vector<LineRun> rows;
  std::vector<LineRun> columns;
};

// The rows and columns a change is about to set, gathered as it names them.
class TouchedLines {
 public:
  using Spans = std::vector<std::pair<std::int32_t, std::int32_t>>;

  void Add(const LineSpan& span);
  bool Empty() const noexcept { return rows_.empty() && columns_.empty(); }
  // Puts the spans in order and apart, neighbours joined.
  void Join();
  // Once joined: whether every row (or column) of `span` is among them.
  bool Covers(const LineSpan& span) const;
  const Spans& Rows() const noexcept { return rows_; }
  const Spans& Columns() const noexcept { return columns_; }

 private:
  Spans rows_;
  Spans columns_;
};

// The state of the touched rows and columns of `sheet`, asked of Excel by runs as a record asks,
// with the names of the workbook and sheet. Failures reach the caller.
SavedView ReadView(const excel::Object& ExcelBook, const excel::Object& ExcelSheet,
                   const TouchedLines& touched);

// Sets each saved row and column of `sheet` as it was, neighbours of one state in one call.
void PutBack(const excel::Object& ExcelSheet, const SavedView& view);

}  // namespace quarnel::snapshot
