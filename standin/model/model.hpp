#pragma once

// The stand-in spreadsheet: its automation face (Application) for the code under test, and a set-up
// face for tests, the demo and the server. Set-up calls are not counted and ignore faults; they work
// on the active sheet of the active workbook and throw std::logic_error when it is missing.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/failure.hpp"
#include "excel/automation.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin {

class Model {
 public:
  // Invisible and without workbooks, as Excel starts under automation.
  Model();

  // Always the same object.
  excel::Object Application() const { return application_; }

  // Names default to Excel's own (Book1, Sheet2, ...). The new one becomes active.
  void AddWorkbook(std::string name = {});
  void AddSheet(std::string name = {});
  void ActivateWorkbook(std::string_view name);
  void ActivateWorkbook(const std::shared_ptr<WorkbookState>& book) { state_->activeWorkbook = book; }
  // The open workbook of that name, in any case; throws std::logic_error when none is open.
  std::shared_ptr<WorkbookState> Workbook(std::string_view name) const;
  void ActivateSheet(std::string_view name);
  // Objects still held for the workbook or its sheets then fail instead of answering.
  void CloseWorkbook(std::string_view name);
  // Workbooks stay open but none is in front: ActiveWorkbook answers Empty.
  void SetNoActiveWorkbook();
  // Opened with its window hidden, as the personal macro workbook: Workbooks.Count counts it, and
  // it never comes to the front, so ActiveWorkbook is Nothing while it is the only one open.
  void AddHiddenWorkbook(std::string name = "PERSONAL.XLSB");
  // A chart sheet, in front: it has no Rows, Columns or cells, and Selection no Row or Column.
  void AddChartSheet(std::string name = {});
  // A file opened in Protected View, its window in front: not in Workbooks, and ActiveWorkbook
  // still answers the workbook that was in front before. Nothing is opened with an empty name.
  void OpenProtectedView(std::string name);
  // Its window on top (ActiveProtectedViewWindow answers it) or behind a workbook's window.
  void SetProtectedViewActive(bool active);
  // The active sheet protected: its rows' and columns' Hidden reads, but writing it fails with 1004.
  void ProtectSheet(bool on);
  // A shape selected on the active sheet: Selection has no Row or Column until cells are selected.
  void SelectShape();

  void SetCell(std::int32_t row, std::int32_t column, excel::Value value);
  // A cell error by Excel's number: 2042 is #N/A, 2007 #DIV/0!.
  void SetCellError(std::int32_t row, std::int32_t column, std::int32_t code);
  excel::Value Cell(std::int32_t row, std::int32_t column) const;
  void SetRowsHidden(std::int32_t first, std::int32_t last, bool hidden);
  void SetColumnsHidden(std::int32_t first, std::int32_t last, bool hidden);
  bool IsRowHidden(std::int32_t row) const;
  bool IsColumnHidden(std::int32_t column) const;
  void Select(std::int32_t top, std::int32_t left, std::int32_t bottom, std::int32_t right);
  // Merges the block; throws std::logic_error when it overlaps a block merged before.
  void Merge(std::int32_t top, std::int32_t left, std::int32_t bottom, std::int32_t right);
  void SetAreasLimit(std::int32_t limit) { state_->areasLimit = limit; }

  // Range.End stops on hidden rows and columns as on shown ones; off, it moves as if they were not
  // there.
  void SetEndSeesHidden(bool seen) { state_->endSeesHidden = seen; }

  bool Visible() const { return state_->visible; }
  void SetVisible(bool visible) { state_->visible = visible; }
  bool ScreenUpdating() const { return state_->screenUpdating; }
  void SetCaption(std::string caption) { state_->caption = std::move(caption); }
  void Quit() { state_->quit = true; }
  bool HasQuit() const { return state_->quit; }

  // The Window object that `book`'s window hands out; its Application is Application().
  excel::Object WindowOf(const std::shared_ptr<WorkbookState>& book) const;
  // Whatever draws Excel's windows says which frame Hwnd answers; without it Hwnd answers 0.
  void SetFrameHook(std::function<std::int32_t()> hook) { state_->frameHandle = std::move(hook); }
  std::int32_t FrameHandle() const { return state_->frameHandle ? state_->frameHandle() : 0; }

  // Calls per member (any case) and in all, rejected and failed calls included.
  std::uint64_t Calls(std::string_view member) const;
  std::uint64_t TotalCalls() const { return state_->totalCalls; }
  void ResetCounters();

  // The nth call of `member` from now fails with `failure`: once, or with `lasting` on every call
  // from then on. Rejected calls while busy do not count towards n.
  void FailCall(std::string_view member, std::uint64_t nth, const Failure& failure, bool lasting = false);
  // The nth call of `member` from now finds the application quit and fails as disconnected, and so
  // does every call after it.
  void QuitAtCall(std::string_view member, std::uint64_t nth);
  // The nth call of `member` from now finds Excel busy in `kind`'s way, and it stays so for `time`.
  void BusyAtCall(std::string_view member, std::uint64_t nth, BusyKind kind, std::chrono::milliseconds time);
  void ClearFaults() { state_->faults.clear(); }
  // While busy every call is turned away, as Excel does during cell editing or a modal dialog.
  void SetBusy(bool busy) { SetBusy(busy ? BusyKind::Rejected : BusyKind::None); }
  void SetBusy(BusyKind kind) {
    state_->busy = kind;
    state_->busyUntil.reset();
  }
  void SetBusyFor(BusyKind kind, std::chrono::milliseconds time) {
    state_->busy = kind;
    state_->busyUntil = std::chrono::steady_clock::now() + time;
  }
  BusyKind Busy() const { return state_->BusyNow(); }

  // Read-only view for drawing and for checks the set-up face does not cover.
  const AppState& State() const { return *state_; }

 private:
  SheetState& Sheet() const;

  std::shared_ptr<AppState> state_;
  excel::Object application_;
};

}  // namespace quarnel::standin
