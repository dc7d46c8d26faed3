#include "standin/model/model.hpp"

#include <algorithm>
#include <stdexcept>

#include "standin/model/objects.hpp"
#include "standin/model/visible_cells.hpp"

namespace quarnel::standin {
namespace {

template <typename Items>
auto Named(const Items& items, std::string_view name) -> typename Items::value_type {
  const std::string wanted = FoldCase(name);
  auto it = std::find_if(items.begin(), items.end(),
                         [&](const auto& item) { return FoldCase(item->name) == wanted; });
  if (it == items.end()) throw std::logic_error("stand-in: nothing named " + std::string(name));
  return *it;
}

void RequireWithin(std::int32_t first, std::int32_t last, std::int32_t limit) {
  if (first < 1 || last < 1 || first > limit || last > limit) {
    throw std::logic_error("stand-in: outside the sheet");
  }
}

}  // namespace

Model::Model() : state_(std::make_shared<AppState>()), application_(MakeApplication(state_)) {}

void Model::AddWorkbook(std::string name) { state_->AddWorkbook(std::move(name)); }

void Model::AddSheet(std::string name) {
  auto book = state_->ActiveWorkbook();
  if (!book) throw std::logic_error("stand-in: no active workbook");
  state_->Activate(state_->AddSheet(book, std::move(name)));
}

void Model::ActivateWorkbook(std::string_view name) {
  state_->activeWorkbook = Named(state_->workbooks, name);
}

void Model::ActivateSheet(std::string_view name) {
  auto book = state_->ActiveWorkbook();
  if (!book) throw std::logic_error("stand-in: no active workbook");
  state_->Activate(Named(book->sheets, name));
}

std::shared_ptr<WorkbookState> Model::Workbook(std::string_view name) const {
  return Named(state_->workbooks, name);
}

void Model::CloseWorkbook(std::string_view name) { state_->CloseWorkbook(Named(state_->workbooks, name)); }

void Model::SetNoActiveWorkbook() { state_->activeWorkbook.reset(); }

void Model::AddHiddenWorkbook(std::string name) { state_->AddWorkbook(std::move(name), true); }

void Model::OpenProtectedView(std::string name) {
  if (name.empty()) {
    state_->protectedView.reset();
  } else {
    state_->protectedView = ProtectedViewState{std::move(name), true};
  }
}

void Model::SetProtectedViewActive(bool active) {
  if (state_->protectedView) state_->protectedView->active = active;
}

void Model::AddChartSheet(std::string name) {
  auto book = state_->ActiveWorkbook();
  if (!book) throw std::logic_error("stand-in: no active workbook");
  if (name.empty()) {
    const auto charts =
        std::count_if(book->sheets.begin(), book->sheets.end(), [](const auto& s) { return s->chart; });
    name = "Chart" + std::to_string(charts + 1);
  }
  auto sheet = state_->AddSheet(book, std::move(name));
  sheet->chart = true;
  state_->Activate(sheet);
}

void Model::ProtectSheet(bool on) { Sheet().protectedContents = on; }

void Model::SelectShape() { Sheet().shapeSelected = true; }

SheetState& Model::Sheet() const {
  auto sheet = state_->ActiveSheet();
  if (!sheet) throw std::logic_error("stand-in: no active sheet");
  return *sheet;
}

void Model::SetCell(std::int32_t row, std::int32_t column, excel::Value value) {
  RequireWithin(row, row, kMaxRows);
  RequireWithin(column, column, kMaxColumns);
  Sheet().SetValue(row, column, std::move(value));
}

void Model::SetCellError(std::int32_t row, std::int32_t column, std::int32_t code) {
  // CVErr takes any number a 16-bit word holds.
  if (code < 0 || code > 0xFFFF) throw std::logic_error("stand-in: no such error number");
  SetCell(row, column, excel::ErrorValue{code});
}

excel::Value Model::Cell(std::int32_t row, std::int32_t column) const { return Sheet().ValueAt(row, column); }

void Model::SetRowsHidden(std::int32_t first, std::int32_t last, bool hidden) {
  RequireWithin(first, last, kMaxRows);
  Sheet().hiddenRows.Assign(std::min(first, last), std::max(first, last), hidden);
}

void Model::SetColumnsHidden(std::int32_t first, std::int32_t last, bool hidden) {
  RequireWithin(first, last, kMaxColumns);
  Sheet().hiddenColumns.Assign(std::min(first, last), std::max(first, last), hidden);
}

bool Model::IsRowHidden(std::int32_t row) const { return Sheet().hiddenRows.Contains(row); }

bool Model::IsColumnHidden(std::int32_t column) const { return Sheet().hiddenColumns.Contains(column); }

void Model::Select(std::int32_t top, std::int32_t left, std::int32_t bottom, std::int32_t right) {
  RequireWithin(top, bottom, kMaxRows);
  RequireWithin(left, right, kMaxColumns);
  Sheet().Select(
      {std::min(top, bottom), std::min(left, right), std::max(top, bottom), std::max(left, right)});
}

void Model::Merge(std::int32_t top, std::int32_t left, std::int32_t bottom, std::int32_t right) {
  RequireWithin(top, bottom, kMaxRows);
  RequireWithin(left, right, kMaxColumns);
  const Rect block{std::min(top, bottom), std::min(left, right), std::max(top, bottom),
                   std::max(left, right)};
  SheetState& sheet = Sheet();
  if (std::ranges::any_of(sheet.merged, [&](const Rect& other) { return Overlap(block, other).has_value(); }))
    throw std::logic_error("stand-in: merged blocks overlap");
  sheet.merged.push_back(block);
}

excel::Object Model::WindowOf(const std::shared_ptr<WorkbookState>& book) const {
  return MakeWindow(state_, book, application_);
}

std::uint64_t Model::Calls(std::string_view member) const {
  auto it = state_->calls.find(FoldCase(member));
  return it == state_->calls.end() ? 0 : it->second;
}

void Model::ResetCounters() {
  state_->calls.clear();
  state_->totalCalls = 0;
}

void Model::FailCall(std::string_view member, std::uint64_t nth, const Failure& failure, bool lasting) {
  if (nth == 0) throw std::logic_error("stand-in: calls are counted from 1");
  state_->faults.push_back({FoldCase(member), nth, false, failure.Number(), failure.Description(), lasting});
}

void Model::QuitAtCall(std::string_view member, std::uint64_t nth) {
  if (nth == 0) throw std::logic_error("stand-in: calls are counted from 1");
  state_->faults.push_back({FoldCase(member), nth, true, 0, {}});
}

void Model::BusyAtCall(std::string_view member, std::uint64_t nth, BusyKind kind,
                       std::chrono::milliseconds time) {
  if (nth == 0) throw std::logic_error("stand-in: calls are counted from 1");
  Fault fault{FoldCase(member), nth, false, 0, {}};
  fault.busy = kind;
  fault.busyFor = time;
  state_->faults.push_back(std::move(fault));
}

}  // namespace quarnel::standin
