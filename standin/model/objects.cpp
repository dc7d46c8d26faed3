#include "standin/model/objects.hpp"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "standin/model/address.hpp"
#include "standin/model/end_move.hpp"
#include "standin/model/failures.hpp"

namespace quarnel::standin {
namespace {

using excel::CallKind;
using excel::Value;
using AppPtr = std::shared_ptr<AppState>;

// One call as the objects see it: for a write the assigned value is split off the arguments.
struct Call {
  std::string name;  // case-folded
  CallKind kind;
  std::span<const Value> args;
  const Value* assigned = nullptr;

  bool Is(std::string_view folded) const { return name == folded; }
  bool IsPut() const { return kind == CallKind::Put; }
  void Arity(std::size_t least, std::size_t most) const {
    if (args.size() < least) throw ArgumentNotOptional();
    if (args.size() > most) throw WrongArgumentCount();
  }
  // A read-only member written, or a method given a value, is a member the object does not have.
  void ReadOnly() const {
    if (IsPut()) throw errors::NotSupported();
  }
};

// Turns the call away when Excel is busy or a fault armed for it fires.
void Admit(AppState& app, const std::string& name) {
  if (app.quit) throw Disconnected();
  ++app.total_calls;
  ++app.calls[name];
  if (const BusyKind busy = app.BusyNow(); busy != BusyKind::None) throw BusyFailure(busy);
  std::optional<Fault> fired;
  for (Fault& fault : app.faults) {
    if (fault.member != name || --fault.calls_left != 0) continue;
    if (!fired) fired = fault;
    if (fault.lasting) fault.calls_left = 1;
  }
  std::erase_if(app.faults, [](const Fault& fault) { return fault.calls_left == 0; });
  if (!fired) return;
  if (fired->quit) {
    app.quit = true;
    throw Disconnected();
  }
  if (fired->busy != BusyKind::None) {
    app.busy = fired->busy;
    app.busy_until = std::chrono::steady_clock::now() + fired->busy_for;
    throw BusyFailure(fired->busy);
  }
  throw Failure(fired->number, fired->description);
}

class Member : public excel::Dispatch {
 public:
  explicit Member(AppPtr app) : app_(std::move(app)) {}

  Value Invoke(std::string_view member, CallKind kind, std::span<const Value> args) final {
    Call call{FoldCase(member), kind, args};
    Admit(*app_, call.name);
    if (kind == CallKind::Put) {
      if (args.empty()) throw ArgumentNotOptional();
      call.assigned = &args.back();
      call.args = args.first(args.size() - 1);
    }
    return Answer(call);
  }

 protected:
  virtual Value Answer(const Call& call) = 0;
  AppPtr app_;
};

template <typename T, typename... Rest>
Value Make(Rest&&... rest) {
  return excel::Object(std::make_shared<T>(std::forward<Rest>(rest)...));
}

std::int32_t Number(const Value& value) {
  try {
    return excel::ToLong(value);
  } catch (const Failure& failure) {
    // Too large for a Long is simply no row or column.
    if (failure.Number() == Overflow().Number()) throw ApplicationDefined();
    throw;
  }
}

std::int32_t RowIn(const Value& value) {
  const std::int32_t row = Number(value);
  if (row < 1 || row > kMaxRows) throw ApplicationDefined();
  return row;
}

std::int32_t ColumnIn(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (auto column = ColumnFromLetters(*text)) return *column;
  }
  const std::int32_t column = Number(value);
  if (column < 1 || column > kMaxColumns) throw ApplicationDefined();
  return column;
}

class RangeObject : public Member {
 public:
  RangeObject(AppPtr app, std::weak_ptr<SheetState> sheet, Rect rect)
      : Member(std::move(app)), sheet_(std::move(sheet)), rect_(rect) {}

  const Rect& Area() const { return rect_; }
  std::shared_ptr<SheetState> Sheet() const { return sheet_.lock(); }

 private:
  Value Answer(const Call& call) override {
    auto sheet = sheet_.lock();
    if (!sheet) throw ObjectDeleted();
    if (call.Is("hidden")) return Hidden(*sheet, call);
    if (call.Is("value") || call.Is("value2") || call.Is("")) {
      call.Arity(0, 0);
      if (call.IsPut()) {
        sheet->Fill(rect_, *call.assigned);
        return {};
      }
      // Excel answers an array here, which no caller of ours can take as one value.
      if (rect_.top != rect_.bottom || rect_.left != rect_.right) throw errors::TypeMismatch();
      return sheet->ValueAt(rect_.top, rect_.left);
    }
    call.ReadOnly();
    if (call.Is("end")) {
      call.Arity(1, 1);
      const std::int32_t direction = Number(call.args[0]);
      if (direction != static_cast<std::int32_t>(Direction::Up) &&
          direction != static_cast<std::int32_t>(Direction::Down) &&
          direction != static_cast<std::int32_t>(Direction::ToLeft) &&
          direction != static_cast<std::int32_t>(Direction::ToRight)) {
        throw ApplicationDefined();
      }
      const auto to = EndMove(*sheet, {rect_.top, rect_.left}, static_cast<Direction>(direction));
      return Make<RangeObject>(app_, sheet_, Rect{to.row, to.column, to.row, to.column});
    }
    call.Arity(0, 0);
    if (call.Is("row")) return rect_.top;
    if (call.Is("column")) return rect_.left;
    if (call.Is("entirerow")) return Make<RangeObject>(app_, sheet_, RowsRect(rect_.top, rect_.bottom));
    if (call.Is("entirecolumn")) {
      return Make<RangeObject>(app_, sheet_, ColumnsRect(rect_.left, rect_.right));
    }
    if (call.Is("select") || call.Is("activate")) {
      sheet->selection = rect_;
      sheet->shape_selected = false;
      app_->Activate(sheet);
      return {};
    }
    if (call.Is("count")) {
      const std::int64_t count = std::int64_t{rect_.bottom - rect_.top + 1} * (rect_.right - rect_.left + 1);
      if (count > std::numeric_limits<std::int32_t>::max()) throw Overflow();
      return static_cast<std::int32_t>(count);
    }
    if (call.Is("address")) return FormatAddress(rect_);
    throw errors::NotSupported();
  }

  // Whole rows win over whole columns, so the whole sheet reads and writes its rows.
  Value Hidden(SheetState& sheet, const Call& call) const {
    call.Arity(0, 0);
    if (!rect_.WholeRows() && !rect_.WholeColumns()) throw ApplicationDefined();
    const bool rows = rect_.WholeRows();
    IntervalSet& flags = rows ? sheet.hidden_rows : sheet.hidden_columns;
    const std::int32_t first = rows ? rect_.top : rect_.left;
    const std::int32_t last = rows ? rect_.bottom : rect_.right;
    if (!call.IsPut()) return flags.ContainsAll(first, last);
    if (sheet.protected_contents) throw HiddenRefused();
    flags.Assign(first, last, excel::ToBool(*call.assigned));
    return {};
  }

  std::weak_ptr<SheetState> sheet_;
  Rect rect_;
};

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

// Shared by the worksheet and by the application, which answers for its active sheet.
Value AnswerSheet(const AppPtr& app, const std::shared_ptr<SheetState>& sheet, const Call& call) {
  const auto range = [&](Rect rect) { return Make<RangeObject>(app, sheet, rect); };
  if (call.Is("name")) {
    call.Arity(0, 0);
    if (!call.IsPut()) return sheet->name;
    sheet->name = excel::ToText(*call.assigned);
    return {};
  }
  call.ReadOnly();
  if (sheet->chart && !call.Is("activate") && !call.Is("select")) throw errors::NotSupported();
  if (call.Is("rows")) {
    call.Arity(0, 1);
    if (call.args.empty()) return range(RowsRect(1, kMaxRows));
    if (const auto* text = std::get_if<std::string>(&call.args[0])) {
      if (auto rect = ParseRowAddress(*text)) return range(*rect);
      throw ApplicationDefined();
    }
    const std::int32_t row = RowIn(call.args[0]);
    return range(RowsRect(row, row));
  }
  if (call.Is("columns")) {
    call.Arity(0, 1);
    if (call.args.empty()) return range(ColumnsRect(1, kMaxColumns));
    if (const auto* text = std::get_if<std::string>(&call.args[0])) {
      if (auto rect = ParseColumnAddress(*text)) return range(*rect);
      const auto numeric = [](char c) { return (c >= '0' && c <= '9') || c == ' ' || c == '.'; };
      if (text->empty() || !std::ranges::all_of(*text, numeric)) {
        throw ApplicationDefined();
      }
    }
    const std::int32_t column = ColumnIn(call.args[0]);
    return range(ColumnsRect(column, column));
  }
  if (call.Is("cells")) {
    call.Arity(0, 2);
    if (call.args.empty()) return range(Rect{1, 1, kMaxRows, kMaxColumns});
    if (call.args.size() == 1) {
      const std::int32_t index = Number(call.args[0]);
      if (index < 1) throw ApplicationDefined();
      const std::int32_t row = (index - 1) / kMaxColumns + 1;
      const std::int32_t column = (index - 1) % kMaxColumns + 1;
      return range(Rect{row, column, row, column});
    }
    const std::int32_t row = RowIn(call.args[0]);
    const std::int32_t column = ColumnIn(call.args[1]);
    return range(Rect{row, column, row, column});
  }
  if (call.Is("range")) {
    call.Arity(1, 2);
    Rect rect = RangeArgument(sheet, call.args[0]);
    if (call.args.size() == 2) {
      const Rect other = RangeArgument(sheet, call.args[1]);
      rect = {std::min(rect.top, other.top), std::min(rect.left, other.left),
              std::max(rect.bottom, other.bottom), std::max(rect.right, other.right)};
    }
    return range(rect);
  }
  call.Arity(0, 0);
  if (call.Is("activate") || call.Is("select")) {
    app->Activate(sheet);
    return {};
  }
  throw errors::NotSupported();
}

class WorksheetObject : public Member {
 public:
  WorksheetObject(AppPtr app, std::weak_ptr<SheetState> sheet)
      : Member(std::move(app)), sheet_(std::move(sheet)) {}

 private:
  Value Answer(const Call& call) override {
    auto sheet = sheet_.lock();
    if (!sheet) throw ObjectDeleted();
    return AnswerSheet(app_, sheet, call);
  }
  std::weak_ptr<SheetState> sheet_;
};

Value SheetValue(const AppPtr& app, const std::shared_ptr<SheetState>& sheet) {
  if (!sheet) return {};
  return Make<WorksheetObject>(app, sheet);
}

// Collections take a 1-based position or a name, names compared without regard to case.
template <typename Items>
auto ItemOf(const Items& items, const Value& key) -> typename Items::value_type {
  if (const auto* text = std::get_if<std::string>(&key)) {
    const std::string wanted = FoldCase(*text);
    for (const auto& item : items) {
      if (FoldCase(item->name) == wanted) return item;
    }
    throw errors::SubscriptOutOfRange();
  }
  const std::int32_t index = excel::ToLong(key);
  if (index < 1 || static_cast<std::size_t>(index) > items.size()) throw errors::SubscriptOutOfRange();
  return items[static_cast<std::size_t>(index) - 1];
}

class SheetsObject : public Member {
 public:
  SheetsObject(AppPtr app, std::weak_ptr<WorkbookState> book)
      : Member(std::move(app)), book_(std::move(book)) {}

 private:
  Value Answer(const Call& call) override {
    auto book = book_.lock();
    if (!book) throw ObjectDeleted();
    call.ReadOnly();
    if (call.Is("count")) {
      call.Arity(0, 0);
      return static_cast<std::int32_t>(book->sheets.size());
    }
    if (call.Is("add")) {
      // Before, After, Count and Type are taken and left at their defaults.
      call.Arity(0, 4);
      auto sheet = app_->AddSheet(book, {});
      app_->Activate(sheet);
      return SheetValue(app_, sheet);
    }
    if (call.Is("item") || call.Is("")) {
      call.Arity(1, 1);
      return SheetValue(app_, ItemOf(book->sheets, call.args[0]));
    }
    throw errors::NotSupported();
  }
  std::weak_ptr<WorkbookState> book_;
};

class WorkbookObject : public Member {
 public:
  WorkbookObject(AppPtr app, std::weak_ptr<WorkbookState> book)
      : Member(std::move(app)), book_(std::move(book)) {}

 private:
  Value Answer(const Call& call) override {
    auto book = book_.lock();
    if (!book) throw ObjectDeleted();
    call.ReadOnly();
    if (call.Is("close")) {
      call.Arity(0, 3);  // SaveChanges, Filename, RouteWorkbook: the stand-in saves nothing
      app_->CloseWorkbook(book);
      return {};
    }
    call.Arity(0, 0);
    if (call.Is("name")) return book->name;
    if (call.Is("sheets") || call.Is("worksheets")) return Make<SheetsObject>(app_, book_);
    if (call.Is("activesheet")) {
      return SheetValue(app_, book->sheets.empty() ? nullptr : book->sheets[book->active_sheet]);
    }
    if (call.Is("activate")) {
      app_->active_workbook = book;
      return {};
    }
    throw errors::NotSupported();
  }
  std::weak_ptr<WorkbookState> book_;
};

Value BookValue(const AppPtr& app, const std::shared_ptr<WorkbookState>& book) {
  if (!book) return {};
  return Make<WorkbookObject>(app, book);
}

class WorkbooksObject : public Member {
 public:
  using Member::Member;

 private:
  Value Answer(const Call& call) override {
    call.ReadOnly();
    if (call.Is("count")) {
      call.Arity(0, 0);
      return static_cast<std::int32_t>(app_->workbooks.size());
    }
    if (call.Is("add")) {
      call.Arity(0, 1);  // a template is taken and not used
      return BookValue(app_, app_->AddWorkbook({}));
    }
    if (call.Is("item") || call.Is("")) {
      call.Arity(1, 1);
      return BookValue(app_, ItemOf(app_->workbooks, call.args[0]));
    }
    throw errors::NotSupported();
  }
};

// What Selection answers for a selected shape, or a chart sheet's chart area: not cells.
class DrawingObject : public Member {
 public:
  using Member::Member;

 private:
  Value Answer(const Call& call) override {
    call.ReadOnly();
    call.Arity(0, 0);
    if (call.Is("name")) return std::string("Rectangle 1");
    throw errors::NotSupported();
  }
};

class ApplicationObject : public Member {
 public:
  using Member::Member;

 private:
  Value Answer(const Call& call) override {
    AppState& app = *app_;
    if (call.Is("visible")) return Flag(call, app.visible);
    if (call.Is("screenupdating")) return Flag(call, app.screen_updating);
    if (call.Is("caption")) {
      call.Arity(0, 0);
      if (!call.IsPut()) return app.caption;
      app.caption = excel::ToText(*call.assigned);
      return {};
    }
    if (call.Is("range") || call.Is("cells") || call.Is("rows") || call.Is("columns")) {
      auto sheet = app.ActiveSheet();
      if (!sheet) throw ApplicationDefined();
      return AnswerSheet(app_, sheet, call);
    }
    call.ReadOnly();
    call.Arity(0, 0);
    if (call.Is("name")) return std::string("Microsoft Excel");
    if (call.Is("workbooks")) return Make<WorkbooksObject>(app_);
    if (call.Is("activeworkbook")) return BookValue(app_, app.ActiveWorkbook());
    if (call.Is("activesheet")) return SheetValue(app_, app.ActiveSheet());
    if (call.Is("selection")) {
      auto sheet = app.ActiveSheet();
      if (!sheet) return {};
      if (sheet->chart || sheet->shape_selected) return Make<DrawingObject>(app_);
      return Make<RangeObject>(app_, sheet, sheet->selection);
    }
    if (call.Is("quit")) {
      app.quit = true;
      return {};
    }
    throw errors::NotSupported();
  }

  static Value Flag(const Call& call, bool& flag) {
    call.Arity(0, 0);
    if (!call.IsPut()) return flag;
    flag = excel::ToBool(*call.assigned);
    return {};
  }
};

}  // namespace

excel::Object MakeApplication(std::shared_ptr<AppState> state) {
  return excel::Object(std::make_shared<ApplicationObject>(std::move(state)));
}

}  // namespace quarnel::standin
