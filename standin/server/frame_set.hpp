#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
#include "standin/server/excel_frame.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// Excel's top-level windows as a person sees them. As Excel 2013 and later: one frame per workbook
// whose window is not hidden, titled "<workbook> - Excel", and with none, one empty frame titled
// "Excel". In the session's classic mode, as Excel 2010: one frame for the application titled
// "<Caption> - <active workbook>", showing the active workbook. A file in Protected View has a
// frame of its own, titled "<file> [Protected View] - Excel", whose workbook window hands out no
// Window object (its workbook is not one of Workbooks). A frame a person activates brings its
// workbook, or the Protected View window, to the front of the model; closing any frame closes the
// application.
class FrameSet final : private FrameEvents {
 public:
  explicit FrameSet(Session& session);
  ~FrameSet();
  FrameSet(const FrameSet&) = delete;
  FrameSet& operator=(const FrameSet&) = delete;

  // Follows the model and the session: frames come and go with the workbooks, are retitled, shown
  // while the application is Visible, the active workbook's above the others, redrawn.
  void Refresh();
  // The frame Application.Hwnd answers: the active workbook's, the empty one with no workbook
  // shown, the one frame in classic mode; null when none stands for the active workbook.
  HWND Front() const;
  // The frame that shows `book`; null for a hidden workbook.
  HWND FrameOf(const WorkbookState& book) const;

 private:
  enum class Kind { Workbook, Empty, Classic, ProtectedView };
  // What a frame stands for.
  struct Role {
    Kind kind;
    std::shared_ptr<WorkbookState> book;  // only for Kind::Workbook
  };
  struct Frame {
    Kind kind;
    std::weak_ptr<WorkbookState> book;
    std::unique_ptr<ExcelFrame> window;
  };

  // The frames the model calls for, the active workbook's first.
  std::vector<Role> Roles() const;
  // Keeps the frames that still stand for something, gives the others a new role where one is
  // wanted, creates the rest and destroys what is left; true when a frame was created.
  bool Arrange();
  void Cast(Frame& frame, const Role& role);
  std::wstring TitleOf(const Frame& frame) const;
  const Frame* FrameFor(HWND main) const;
  // The frame on top of Excel's: the Protected View window's while it is active, else Front().
  HWND Top() const;

  void Activated(HWND frame) override;
  void Deactivated(HWND next) override;
  void CloseRequested() override;

  Session& session_;
  std::vector<Frame> frames_;
  bool classic_ = false;
  bool shown_ = false;
  // Set while the set changes its own windows: the activation they move is no person's doing.
  bool arranging_ = false;
  HWND raised_ = nullptr;
};

}  // namespace quarnel::standin::server
