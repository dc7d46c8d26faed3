#include "standin/model/state.hpp"

#include <algorithm>
#include <iterator>

#include "common/failure.hpp"
#include "common/text.hpp"

namespace quarnel::standin {

Rect RowsRect(std::int32_t first, std::int32_t last) {
  return {std::min(first, last), 1, std::max(first, last), kMaxColumns};
}

Rect ColumnsRect(std::int32_t first, std::int32_t last) {
  return {1, std::min(first, last), kMaxRows, std::max(first, last)};
}

void IntervalSet::Assign(std::int32_t first, std::int32_t last, bool present) {
  // Cut [first, last] out of every run that touches it, keeping the parts outside.
  auto it = runs_.upper_bound(first);
  if (it != runs_.begin()) {
    auto before = std::prev(it);
    if (before->second >= first) {
      const std::int32_t end = before->second;
      before->second = first - 1;
      if (end > last) runs_.emplace(last + 1, end);
      if (before->second < before->first) runs_.erase(before);
    }
  }
  it = runs_.lower_bound(first);
  while (it != runs_.end() && it->first <= last) {
    const std::int32_t end = it->second;
    it = runs_.erase(it);
    if (end > last) it = runs_.emplace(last + 1, end).first;
  }
  if (!present) return;

  std::int32_t lo = first;
  std::int32_t hi = last;
  if (auto next = runs_.find(last + 1); next != runs_.end()) {
    hi = next->second;
    runs_.erase(next);
  }
  if (auto after = runs_.lower_bound(first); after != runs_.begin()) {
    auto before = std::prev(after);
    if (before->second == first - 1) {
      before->second = hi;
      return;
    }
  }
  runs_.emplace(lo, hi);
}

bool IntervalSet::ContainsAll(std::int32_t first, std::int32_t last) const {
  auto it = runs_.upper_bound(first);
  if (it == runs_.begin()) return false;
  --it;
  return it->first <= first && it->second >= last;
}

namespace {
bool IsEmptyValue(const excel::Value& value) {
  if (std::holds_alternative<std::monostate>(value)) return true;
  const auto* text = std::get_if<std::string>(&value);
  return text != nullptr && text->empty();
}
}  // namespace

void SheetState::SetValue(std::int32_t row, std::int32_t column, excel::Value value) {
  if (std::holds_alternative<excel::Object>(value)) throw errors::TypeMismatch();
  if (IsEmptyValue(value)) {
    cells.erase({row, column});
    filledByColumn.erase({column, row});
    return;
  }
  // Excel keeps every number as a Double.
  if (const auto* small = std::get_if<std::int16_t>(&value)) value = static_cast<double>(*small);
  if (const auto* whole = std::get_if<std::int32_t>(&value)) value = static_cast<double>(*whole);
  cells.insert_or_assign(Key{row, column}, std::move(value));
  filledByColumn.insert({column, row});
}

excel::Value SheetState::ValueAt(std::int32_t row, std::int32_t column) const {
  auto it = cells.find({row, column});
  return it == cells.end() ? excel::Value{} : it->second;
}

void SheetState::Fill(const Rect& rect, const excel::Value& value) {
  if (std::holds_alternative<excel::Object>(value)) throw errors::TypeMismatch();
  if (IsEmptyValue(value)) {
    // Visit only the filled cells: clearing a whole column must not walk a million rows.
    for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
      auto it = cells.lower_bound({row, rect.left});
      if (it == cells.end()) break;
      row = it->first.first;
      if (row > rect.bottom) break;
      while (it != cells.end() && it->first.first == row && it->first.second <= rect.right) {
        filledByColumn.erase({it->first.second, row});
        it = cells.erase(it);
      }
    }
    return;
  }
  for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
    for (std::int32_t column = rect.left; column <= rect.right; ++column) SetValue(row, column, value);
  }
}

std::shared_ptr<SheetState> AppState::ActiveSheet() const {
  auto book = ActiveWorkbook();
  if (!book || book->sheets.empty()) return nullptr;
  return book->sheets[book->activeSheet];
}

std::shared_ptr<WorkbookState> AppState::AddWorkbook(std::string name, bool hidden) {
  auto book = std::make_shared<WorkbookState>();
  ++workbooksMade;
  book->name = name.empty() ? "Book" + std::to_string(workbooksMade) : std::move(name);
  book->hidden = hidden;
  workbooks.push_back(book);
  if (!hidden) activeWorkbook = book;
  AddSheet(book, {});
  return book;
}

std::shared_ptr<SheetState> AppState::AddSheet(const std::shared_ptr<WorkbookState>& book, std::string name) {
  auto sheet = std::make_shared<SheetState>();
  ++book->sheetsMade;
  sheet->name = name.empty() ? "Sheet" + std::to_string(book->sheetsMade) : std::move(name);
  sheet->workbook = book;
  const std::size_t at = book->sheets.empty() ? 0 : book->activeSheet;
  book->sheets.insert(book->sheets.begin() + static_cast<std::ptrdiff_t>(at), sheet);
  book->activeSheet = at;
  return sheet;
}

void AppState::Activate(const std::shared_ptr<SheetState>& sheet) {
  auto book = sheet->workbook.lock();
  if (!book) return;
  auto at = std::find(book->sheets.begin(), book->sheets.end(), sheet);
  if (at == book->sheets.end()) return;
  book->activeSheet = static_cast<std::size_t>(at - book->sheets.begin());
  activeWorkbook = book;
}

void AppState::CloseWorkbook(const std::shared_ptr<WorkbookState>& book) {
  std::erase(workbooks, book);
  if (ActiveWorkbook() == book) {
    activeWorkbook.reset();
    const auto shown =
        std::find_if(workbooks.rbegin(), workbooks.rend(), [](const auto& b) { return !b->hidden; });
    if (shown != workbooks.rend()) activeWorkbook = *shown;
  }
}

std::string FoldCase(std::string_view text) { return AsciiLower(text); }

std::string ErrorText(std::int32_t code) {
  switch (code) {
    case 2000: return "#NULL!";
    case 2007: return "#DIV/0!";
    case 2015: return "#VALUE!";
    case 2023: return "#REF!";
    case 2029: return "#NAME?";
    case 2036: return "#NUM!";
    case 2042: return "#N/A";
    default: return "#" + std::to_string(code);
  }
}

}  // namespace quarnel::standin
