#pragma once

// The stand-in spreadsheet's state as plain data: the application, its workbooks and sheets, sparse
// cells, hidden rows and columns, selections, call counters and armed faults. One thread only.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "excel/automation.hpp"

namespace quarnel::standin {

inline constexpr std::int32_t kMaxRows = 1048576;
inline constexpr std::int32_t kMaxColumns = 16384;

// A block of cells, bounds included, top <= bottom and left <= right.
struct Rect {
  std::int32_t top = 1;
  std::int32_t left = 1;
  std::int32_t bottom = 1;
  std::int32_t right = 1;

  bool WholeRows() const { return left == 1 && right == kMaxColumns; }
  bool WholeColumns() const { return top == 1 && bottom == kMaxRows; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

Rect RowsRect(std::int32_t first, std::int32_t last);
Rect ColumnsRect(std::int32_t first, std::int32_t last);

// Disjoint runs of numbers, so hiding a million rows costs one entry.
class IntervalSet {
 public:
  void Assign(std::int32_t first, std::int32_t last, bool present);
  bool Contains(std::int32_t n) const { return ContainsAll(n, n); }
  bool ContainsAll(std::int32_t first, std::int32_t last) const;
  // First of each run mapped to its last.
  const std::map<std::int32_t, std::int32_t>& Runs() const { return runs_; }

 private:
  std::map<std::int32_t, std::int32_t> runs_;
};

struct WorkbookState;

struct SheetState {
  using Key = std::pair<std::int32_t, std::int32_t>;

  std::string name;
  std::weak_ptr<WorkbookState> workbook;
  std::map<Key, excel::Value> cells;  // (row, column): only filled cells
  std::set<Key> filledByColumn;       // (column, row): the same cells, for moves along a column
  IntervalSet hiddenRows;
  IntervalSet hiddenColumns;
  Rect selection;
  bool chart = false;              // a chart sheet: no cells, rows or columns
  bool protectedContents = false;  // Hidden can be read but not written
  bool shapeSelected = false;      // Selection is a drawing, not this sheet's cells
  std::vector<Rect> merged;        // merged blocks, apart from one another

  // Cells picked again: whatever shape was selected is no longer.
  void Select(const Rect& rect) {
    selection = rect;
    shapeSelected = false;
  }
  // An empty value or empty text empties the cell, as assigning "" does in Excel.
  void SetValue(std::int32_t row, std::int32_t column, excel::Value value);
  excel::Value ValueAt(std::int32_t row, std::int32_t column) const;
  void Fill(const Rect& rect, const excel::Value& value);
};

struct WorkbookState {
  std::string name;
  std::vector<std::shared_ptr<SheetState>> sheets;
  std::size_t activeSheet = 0;
  int sheetsMade = 0;   // Excel names new sheets by a counter that never goes back
  bool hidden = false;  // its window hidden (the personal macro workbook): counted, never in front
};

// How a busy Excel turns a call away: as COM's message filter does (rejected, retry later), or as
// Excel's own VBA_E_IGNORE, bare or inside EXCEPINFO.
enum class BusyKind { None, Rejected, RetryLater, Ignored, IgnoredInException };

struct Fault {
  std::string member;  // case-folded
  std::uint64_t callsLeft = 0;
  bool quit = false;
  std::int32_t number = 0;
  std::string description;
  bool lasting = false;            // fires on every call from the nth on
  BusyKind busy = BusyKind::None;  // turns Excel busy for `busyFor` instead of failing
  std::chrono::milliseconds busyFor{};
};

// A workbook opened in Protected View: not one of Workbooks, in a window of its own.
struct ProtectedViewState {
  std::string name;
  bool active = true;  // its window on top of Excel's
};

struct AppState {
  bool visible = false;
  bool screenUpdating = true;
  bool quit = false;
  BusyKind busy = BusyKind::None;
  std::optional<std::chrono::steady_clock::time_point> busyUntil;  // none: until switched off
  std::string caption = "Microsoft Excel";
  std::vector<std::shared_ptr<WorkbookState>> workbooks;
  std::weak_ptr<WorkbookState> activeWorkbook;  // empty: none in front
  int workbooksMade = 0;
  std::optional<ProtectedViewState> protectedView;
  // Set by whatever draws Excel's windows: the frame Hwnd answers. The model itself has none.
  std::function<std::int32_t()> frameHandle;

  // Whether Range.End stops on hidden rows and columns; by default it passes over them.
  bool endSeesHidden = false;
  // Beyond this many areas SpecialCells answers the whole range, as Excel up to 2007 did; 0: none.
  std::int32_t areasLimit = 0;

  std::map<std::string, std::uint64_t, std::less<>> calls;  // case-folded member -> count
  std::uint64_t totalCalls = 0;
  std::vector<Fault> faults;

  // How calls are turned away now: a spell with an end is over once it has passed.
  BusyKind BusyNow() const {
    if (busyUntil && std::chrono::steady_clock::now() >= *busyUntil) return BusyKind::None;
    return busy;
  }
  std::shared_ptr<WorkbookState> ActiveWorkbook() const { return activeWorkbook.lock(); }
  std::shared_ptr<SheetState> ActiveSheet() const;

  // A hidden workbook does not come to the front.
  std::shared_ptr<WorkbookState> AddWorkbook(std::string name, bool hidden = false);
  // Inserted before the active sheet, as Sheets.Add does.
  std::shared_ptr<SheetState> AddSheet(const std::shared_ptr<WorkbookState>& book, std::string name);
  void Activate(const std::shared_ptr<SheetState>& sheet);
  void CloseWorkbook(const std::shared_ptr<WorkbookState>& book);
};

std::string FoldCase(std::string_view text);
// How a cell shows an error value: #N/A for 2042; a number Excel has no text for as #2042.
std::string ErrorText(std::int32_t code);

}  // namespace quarnel::standin
