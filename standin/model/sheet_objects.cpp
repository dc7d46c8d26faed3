#include "standin/model/sheet_objects.hpp"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "excel/addresses.hpp"
#include "standin/model/address.hpp"
#include "standin/model/end_move.hpp"
#include "standin/model/failures.hpp"
#include "standin/model/visible_cells.hpp"

namespace quarnel::standin {
namespace {

using excel::Value;

constexpr std::int32_t kVisibleCells = 12;  // xlCellTypeVisible

// A range's Areas: Count, and Item (the default member) from 1.
class AreasObject : public PartOf<SheetState> {
 public:
  AreasObject(AppPtr app, std::weak_ptr<SheetState> sheet, std::vector<Rect> areas)
      : PartOf(std::move(app), std::move(sheet)), areas_(std::move(areas)) {}

 private:
  Value Answer(const Call& call) override;
  std::vector<Rect> areas_;
};

// What Count counts: a range's cells, or, as its Rows or Columns, its rows or columns.
enum class Counted { Cells, Rows, Columns };

class RangeObject : public PartOf<SheetState> {
 public:
  RangeObject(AppPtr app, std::weak_ptr<SheetState> sheet, Rect rect)
      : PartOf(std::move(app), std::move(sheet)), rect_(rect), areas_{rect} {}
  // A range of several areas answers Row, Column, Rows and Columns for its first one.
  RangeObject(AppPtr app, std::weak_ptr<SheetState> sheet, std::vector<Rect> areas, Counted counted)
      : PartOf(std::move(app), std::move(sheet)),
        rect_(areas.front()),
        areas_(std::move(areas)),
        counted_(counted) {}

  const Rect& Area() const { return rect_; }
  std::shared_ptr<SheetState> Sheet() const { return part_.lock(); }

 private:
  Value Answer(const Call& call) override {
    const auto sheet = Alive();
    if (call.Is("hidden")) return Hidden(*sheet, call);
    if (call.Is("value") || call.Is("value2") || call.Is("")) return CellValue(*sheet, call);
    call.ReadOnly();
    if (call.Is("end")) return End(*sheet, call);
    if (call.Is("specialcells")) return SpecialCells(*sheet, call);
    call.Arity(0, 0);
    if (call.Is("row")) return rect_.top;
    if (call.Is("rows")) return Make<RangeObject>(app_, part_, std::vector<Rect>{rect_}, Counted::Rows);
    if (call.Is("columns")) return Make<RangeObject>(app_, part_, std::vector<Rect>{rect_}, Counted::Columns);
    if (call.Is("areas")) return Make<AreasObject>(app_, part_, areas_);
    if (call.Is("height")) return standin::Height(*sheet, rect_);
    if (call.Is("width")) return standin::Width(*sheet, rect_);
    if (call.Is("mergecells")) return standin::MergeCells(*sheet, areas_);
    if (call.Is("column")) return rect_.left;
    if (call.Is("entirerow")) return Make<RangeObject>(app_, part_, RowsRect(rect_.top, rect_.bottom));
    if (call.Is("entirecolumn")) {
      return Make<RangeObject>(app_, part_, ColumnsRect(rect_.left, rect_.right));
    }
    if (call.Is("select") || call.Is("activate")) {
      sheet->Select(rect_);
      app_->Activate(sheet);
      return {};
    }
    if (call.Is("count")) {
      if (counted_ == Counted::Rows) return rect_.bottom - rect_.top + 1;
      if (counted_ == Counted::Columns) return rect_.right - rect_.left + 1;
      std::int64_t count = 0;
      for (const Rect& area : areas_)
        count += std::int64_t{area.bottom - area.top + 1} * (area.right - area.left + 1);
      if (count > std::numeric_limits<std::int32_t>::max()) throw Overflow();
      return static_cast<std::int32_t>(count);
    }
    if (call.Is("address")) return FormatAddress(rect_);
    throw errors::NotSupported();
  }

  Value CellValue(SheetState& sheet, const Call& call) const {
    call.Arity(0, 0);
    if (call.IsPut()) {
      sheet.Fill(rect_, *call.assigned);
      return {};
    }
    // Excel answers an array here, which no caller of ours can take as one value.
    if (rect_.top != rect_.bottom || rect_.left != rect_.right) throw errors::TypeMismatch();
    return sheet.ValueAt(rect_.top, rect_.left);
  }

  Value End(const SheetState& sheet, const Call& call) const {
    call.Arity(1, 1);
    const std::int32_t direction = Number(call.args[0]);
    if (direction != static_cast<std::int32_t>(Direction::Up) &&
        direction != static_cast<std::int32_t>(Direction::Down) &&
        direction != static_cast<std::int32_t>(Direction::ToLeft) &&
        direction != static_cast<std::int32_t>(Direction::ToRight)) {
      throw ApplicationDefined();
    }
    const auto to = EndMove(sheet, {rect_.top, rect_.left}, static_cast<Direction>(direction),
                            app_->endSeesHidden ? HiddenCells::Seen : HiddenCells::Skipped);
    return Make<RangeObject>(app_, part_, Rect{to.row, to.column, to.row, to.column});
  }

  // Only the visible cells (12) are known to the stand-in; it refuses any other kind.
  Value SpecialCells(const SheetState& sheet, const Call& call) const {
    call.Arity(1, 2);
    if (Number(call.args[0]) != kVisibleCells) throw ApplicationDefined();
    return Make<RangeObject>(app_, part_, VisibleAreas(*app_, sheet, areas_), Counted::Cells);
  }

  // Whole rows win over whole columns, so the whole sheet reads and writes its rows.
  Value Hidden(SheetState& sheet, const Call& call) const {
    call.Arity(0, 0);
    if (!rect_.WholeRows() && !rect_.WholeColumns()) throw ApplicationDefined();
    const bool rows = rect_.WholeRows();
    IntervalSet& flags = rows ? sheet.hiddenRows : sheet.hiddenColumns;
    const std::int32_t first = rows ? rect_.top : rect_.left;
    const std::int32_t last = rows ? rect_.bottom : rect_.right;
    if (!call.IsPut()) return flags.ContainsAll(first, last);
    if (sheet.protectedContents) throw HiddenRefused();
    flags.Assign(first, last, excel::ToBool(*call.assigned));
    return {};
  }

  Rect rect_;
  std::vector<Rect> areas_;
  Counted counted_ = Counted::Cells;
};

Value AreasObject::Answer(const Call& call) {
  Alive();
  call.ReadOnly();
  if (call.Is("count")) {
    call.Arity(0, 0);
    return static_cast<std::int32_t>(areas_.size());
  }
  if (!call.Is("item") && !call.Is("")) throw errors::NotSupported();
  call.Arity(1, 1);
  const std::int32_t index = Number(call.args[0]);
  if (index < 1 || static_cast<std::size_t>(index) > areas_.size()) throw ApplicationDefined();
  return Make<RangeObject>(app_, part_, areas_[static_cast<std::size_t>(index) - 1]);
}

Rect RangeArgument(const std::shared_ptr<SheetState>& sheet, const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (auto rect = ParseRangeAddress(*text)) return *rect;
    throw ApplicationDefined();
  }
  if (const auto* object = std::get_if<excel::Object>(&value)) {
    const auto* range = dynamic_cast<const RangeObject*>(object->Get());
    if (range != nullptr && range->Sheet() == sheet) return range->Area();
  }
  throw ApplicationDefined();
}

Rect RowsArgument(const Call& call) {
  call.Arity(0, 1);
  if (call.args.empty()) return RowsRect(1, kMaxRows);
  if (const auto* text = std::get_if<std::string>(&call.args[0])) {
    if (auto rect = ParseRowAddress(*text)) return *rect;
    throw ApplicationDefined();
  }
  const std::int32_t row = RowIn(call.args[0]);
  return RowsRect(row, row);
}

Rect ColumnsArgument(const Call& call) {
  call.Arity(0, 1);
  if (call.args.empty()) return ColumnsRect(1, kMaxColumns);
  if (const auto* text = std::get_if<std::string>(&call.args[0])) {
    if (auto rect = ParseColumnAddress(*text)) return *rect;
    const auto numeric = [](char c) { return (c >= '0' && c <= '9') || c == ' ' || c == '.'; };
    if (text->empty() || !std::ranges::all_of(*text, numeric)) throw ApplicationDefined();
  }
  const std::int32_t column = ColumnIn(call.args[0]);
  return ColumnsRect(column, column);
}

Rect CellsArgument(const Call& call) {
  call.Arity(0, 2);
  if (call.args.empty()) return Rect{1, 1, kMaxRows, kMaxColumns};
  if (call.args.size() == 1) {
    const std::int32_t index = Number(call.args[0]);
    if (index < 1) throw ApplicationDefined();
    const std::int32_t row = (index - 1) / kMaxColumns + 1;
    const std::int32_t column = (index - 1) % kMaxColumns + 1;
    return Rect{row, column, row, column};
  }
  const std::int32_t row = RowIn(call.args[0]);
  const std::int32_t column = ColumnIn(call.args[1]);
  return Rect{row, column, row, column};
}

// Range(a) or Range(a, b): the smallest block holding both.
Rect RangeOfCall(const std::shared_ptr<SheetState>& sheet, const Call& call) {
  call.Arity(1, 2);
  Rect rect = RangeArgument(sheet, call.args[0]);
  if (call.args.size() == 2) {
    const Rect other = RangeArgument(sheet, call.args[1]);
    rect = {std::min(rect.top, other.top), std::min(rect.left, other.left),
            std::max(rect.bottom, other.bottom), std::max(rect.right, other.right)};
  }
  return rect;
}

class WorksheetObject : public PartOf<SheetState> {
 public:
  using PartOf::PartOf;

 private:
  Value Answer(const Call& call) override { return AnswerSheet(app_, Alive(), call); }
};

// Walks the filled cells only, along whichever side of the block is shorter.
std::int64_t CountFilled(const SheetState& sheet, const Rect& rect) {
  std::int64_t count = 0;
  if (rect.right - rect.left <= rect.bottom - rect.top) {
    for (std::int32_t column = rect.left; column <= rect.right; ++column) {
      for (auto it = sheet.filledByColumn.lower_bound({column, rect.top});
           it != sheet.filledByColumn.end() && it->first == column && it->second <= rect.bottom; ++it) {
        ++count;
      }
    }
  } else {
    for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
      for (auto it = sheet.cells.lower_bound({row, rect.left});
           it != sheet.cells.end() && it->first.first == row && it->first.second <= rect.right; ++it) {
        ++count;
      }
    }
  }
  return count;
}

}  // namespace

std::optional<std::int64_t> FilledCells(const Value& value) {
  const auto* object = std::get_if<excel::Object>(&value);
  const auto* range = object == nullptr ? nullptr : dynamic_cast<const RangeObject*>(object->Get());
  if (range == nullptr) return std::nullopt;
  const auto sheet = range->Sheet();
  if (!sheet) throw ObjectDeleted();
  return CountFilled(*sheet, range->Area());
}

Value AnswerSheet(const AppPtr& app, const std::shared_ptr<SheetState>& sheet, const Call& call) {
  if (call.Is("name")) {
    call.Arity(0, 0);
    if (!call.IsPut()) return sheet->name;
    sheet->name = excel::ToText(*call.assigned);
    return {};
  }
  call.ReadOnly();
  if (sheet->chart && !call.Is("activate") && !call.Is("select")) throw errors::NotSupported();
  // As Excel's: Rows.Count counts the sheet's rows, not its cells.
  if (call.Is("rows"))
    return Make<RangeObject>(app, sheet, std::vector<Rect>{RowsArgument(call)}, Counted::Rows);
  if (call.Is("columns")) {
    return Make<RangeObject>(app, sheet, std::vector<Rect>{ColumnsArgument(call)}, Counted::Columns);
  }
  if (call.Is("cells")) return RangeValue(app, sheet, CellsArgument(call));
  if (call.Is("range")) return RangeValue(app, sheet, RangeOfCall(sheet, call));
  call.Arity(0, 0);
  if (call.Is("activate") || call.Is("select")) {
    app->Activate(sheet);
    return {};
  }
  throw errors::NotSupported();
}

Value SheetValue(const AppPtr& app, const std::shared_ptr<SheetState>& sheet) {
  if (!sheet) return {};
  return Make<WorksheetObject>(app, sheet);
}

Value RangeValue(const AppPtr& app, const std::shared_ptr<SheetState>& sheet, Rect rect) {
  return Make<RangeObject>(app, sheet, rect);
}

}  // namespace quarnel::standin
