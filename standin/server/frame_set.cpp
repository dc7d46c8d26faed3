#include "standin/server/frame_set.hpp"

#include <algorithm>
#include <iterator>
#include <utility>

#include "common/win32/utf16.hpp"

namespace quarnel::standin::server {
namespace {

// Holds a flag up for as long as it lives, and puts it back as it was.
class FlagUp {
 public:
  explicit FlagUp(bool& flag) : flag_(flag), was_(std::exchange(flag, true)) {}
  ~FlagUp() { flag_ = was_; }
  FlagUp(const FlagUp&) = delete;
  FlagUp& operator=(const FlagUp&) = delete;

 private:
  bool& flag_;
  bool was_;
};

}  // namespace

FrameSet::FrameSet(Session& session) : session_(session) {}

FrameSet::~FrameSet() {
  const FlagUp arranging(arranging_);
  // Out of the list first: a frame going tells the set where the focus went.
  std::vector<Frame> gone = std::move(frames_);
  frames_.clear();
}

void FrameSet::Refresh() {
  const FlagUp arranging(arranging_);
  const bool created = Arrange();
  const bool visible = session_.model.Visible();
  const HWND front = Top();
  for (Frame& frame : frames_) {
    frame.window->SetTitle(TitleOf(frame));
    // When the application first shows, its front frame comes forward with the focus, as Excel's.
    frame.window->Show(visible, !shown_ && frame.window->Main() == front);
    frame.window->Redraw();
  }
  if (visible && front) {
    // Raised without the focus: a call through automation does not take it from another program.
    if (front != raised_ || created) {
      SetWindowPos(front, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Within Excel the focus follows the active workbook, so a click on another frame activates it.
    const HWND focus = GetForegroundWindow();
    if (focus && focus != front && FrameFor(focus)) SetForegroundWindow(front);
  }
  raised_ = visible ? front : nullptr;
  shown_ = visible;
}

std::vector<FrameSet::Role> FrameSet::Roles() const {
  if (session_.classicFrames) return {{Kind::Classic, nullptr}};
  const AppState& app = session_.model.State();
  std::vector<Role> roles;
  for (const auto& book : app.workbooks) {
    if (!book->hidden) roles.push_back({Kind::Workbook, book});
  }
  const auto active = app.ActiveWorkbook();
  std::stable_partition(roles.begin(), roles.end(), [&](const Role& role) { return role.book == active; });
  if (roles.empty() && !app.protectedView) roles.push_back({Kind::Empty, nullptr});
  if (app.protectedView) roles.insert(roles.begin(), {Kind::ProtectedView, nullptr});
  return roles;
}

bool FrameSet::Arrange() {
  std::vector<Role> roles = Roles();
  // A switch between one frame and a frame per workbook builds every window anew.
  const bool recast = classic_ == session_.classicFrames;
  classic_ = session_.classicFrames;
  std::vector<Frame> old = std::move(frames_);
  frames_.clear();
  std::vector<Frame> spare;
  for (Frame& frame : old) {
    const auto same = std::find_if(roles.begin(), roles.end(), [&](const Role& role) {
      return role.kind == frame.kind && role.book == frame.book.lock();
    });
    if (recast && same != roles.end()) {
      roles.erase(same);
      frames_.push_back(std::move(frame));
    } else {
      spare.push_back(std::move(frame));
    }
  }
  bool created = false;
  for (const Role& role : roles) {
    // Excel's empty window takes the first workbook opened, and its last closed leaves it empty.
    if (recast && !spare.empty()) {
      frames_.push_back(std::move(spare.front()));
      spare.erase(spare.begin());
    } else {
      FrameEvents& events = *this;
      const int place = static_cast<int>(frames_.size());
      frames_.push_back({role.kind, {}, std::make_unique<ExcelFrame>(session_, events, place)});
      created = true;
    }
    Cast(frames_.back(), role);
  }
  // Gone only once the new frames stand, so the focus they held can stay with Excel.
  spare.clear();
  return created;
}

void FrameSet::Cast(Frame& frame, const Role& role) {
  frame.kind = role.kind;
  frame.book = role.book;
  BookSource source;
  if (role.kind == Kind::Workbook) source = [weak = frame.book] { return weak.lock(); };
  if (role.kind == Kind::Classic) source = [this] { return session_.model.State().ActiveWorkbook(); };
  if (role.kind == Kind::ProtectedView) source = [] { return std::shared_ptr<WorkbookState>(); };
  frame.window->Hold(std::move(source));
}

std::wstring FrameSet::TitleOf(const Frame& frame) const {
  const AppState& app = session_.model.State();
  switch (frame.kind) {
    case Kind::Workbook: {
      const auto book = frame.book.lock();
      return win32::ToUtf16((book ? book->name : std::string()) + " - Excel");
    }
    case Kind::Empty: return L"Excel";
    case Kind::ProtectedView:
      return win32::ToUtf16((app.protectedView ? app.protectedView->name : std::string()) +
                            " [Protected View] - Excel");
    case Kind::Classic: {
      std::string title = app.caption;
      if (const auto book = app.ActiveWorkbook()) title += " - " + book->name;
      return win32::ToUtf16(title);
    }
  }
  return {};
}

HWND FrameSet::Front() const {
  if (classic_) return frames_.empty() ? nullptr : frames_.front().window->Main();
  if (const auto active = session_.model.State().ActiveWorkbook()) return FrameOf(*active);
  for (const Frame& frame : frames_) {
    if (frame.kind == Kind::Empty) return frame.window->Main();
  }
  return nullptr;
}

HWND FrameSet::FrameOf(const WorkbookState& book) const {
  if (book.hidden) return nullptr;
  if (classic_) return frames_.empty() ? nullptr : frames_.front().window->Main();
  for (const Frame& frame : frames_) {
    if (frame.kind == Kind::Workbook && frame.book.lock().get() == &book) return frame.window->Main();
  }
  return nullptr;
}

HWND FrameSet::Top() const {
  const auto& view = session_.model.State().protectedView;
  if (view && view->active) {
    for (const Frame& frame : frames_) {
      if (frame.kind == Kind::ProtectedView) return frame.window->Main();
    }
  }
  return Front();
}

const FrameSet::Frame* FrameSet::FrameFor(HWND main) const {
  for (const Frame& frame : frames_) {
    if (frame.window->Main() == main) return &frame;
  }
  return nullptr;
}

void FrameSet::Activated(HWND main) {
  if (arranging_) return;
  const Frame* frame = FrameFor(main);
  if (!frame) return;
  const auto& view = session_.model.State().protectedView;
  if (view && view->active != (frame->kind == Kind::ProtectedView)) {
    session_.model.SetProtectedViewActive(frame->kind == Kind::ProtectedView);
    Refresh();
  }
  if (frame->kind != Kind::Workbook) return;
  const auto book = frame->book.lock();
  if (!book || book == session_.model.State().ActiveWorkbook()) return;
  session_.model.ActivateWorkbook(book);
  Refresh();
}

void FrameSet::Deactivated(HWND next) {
  // From one frame of ours to another the focus stays with Excel.
  if (next && FrameFor(next)) return;
  if (session_.deactivated) session_.deactivated();
}

void FrameSet::CloseRequested() {
  if (session_.closedByPerson) {
    session_.closedByPerson();
    return;
  }
  session_.model.Quit();
  session_.AfterCall();
}

}  // namespace quarnel::standin::server
