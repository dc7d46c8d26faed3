#include "standin/server/grid_window.hpp"

#include <algorithm>

#include "common/win32/owned.hpp"
#include "common/win32/window_procedure.hpp"
#include "excel/win32/excel_windows.hpp"
#include "standin/model/state.hpp"
#include "standin/server/grid_layout.hpp"
#include "standin/server/grid_painting.hpp"
#include "standin/server/window_object.hpp"

namespace quarnel::standin::server {
namespace {

constexpr UINT_PTR kRepaintTimer = 1;
constexpr UINT kRepaintDelayMs = 40;

// Fonts with Chinese glyphs, Windows' own names first; Wine maps those to an installed family
// when the prefix says so, else the installed ones are asked for by name.
const wchar_t* const kFontFamilies[] = {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun",
                                        L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"};

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

win32::OwnedFont MakeFont() {
  const win32::ScreenDc screen;
  const wchar_t* family = kFontFamilies[0];
  for (const wchar_t* candidate : kFontFamilies) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, candidate, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(screen.Get(), &query, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      family = candidate;
      break;
    }
  }
  return win32::OwnedFont(CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                      DEFAULT_PITCH, family));
}

}  // namespace

GridWindow::GridWindow(Session& session, HWND desk, BookSource book)
    : session_(session), book_(std::move(book)), font_(MakeFont()) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = win32::ProcedureOf<GridWindow, &GridWindow::Receive>;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = win32::kExcelBookClass;
  RegisterClassExW(&windowClass);  // a second window of the same process finds it registered
  RECT client;
  GetClientRect(desk, &client);
  // Owned from WM_NCCREATE on.
  CreateWindowExW(0, win32::kExcelBookClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, client.right,
                  client.bottom, desk, nullptr, instance, this);
}

void GridWindow::Refresh() {
  // Redrawn at most every few hundredths of a second: a paint between every two calls of a long
  // command would slow the command down more than the drawing is worth.
  if (!window_ || !session_.model.ScreenUpdating() || repaintPending_) return;
  repaintPending_ = SetTimer(window_.Get(), kRepaintTimer, kRepaintDelayMs, nullptr) != 0;
  if (!repaintPending_) InvalidateRect(window_.Get(), nullptr, FALSE);
}

std::shared_ptr<SheetState> GridWindow::Sheet() const {
  const auto book = book_();
  if (!book || book->sheets.empty()) return nullptr;
  return book->sheets[book->activeSheet];
}

LRESULT GridWindow::Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: *window_.Put() = window; break;
    case WM_NCDESTROY: window_.Release(); break;
    case WM_PAINT: PaintBuffered(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
      if (wParam == kRepaintTimer) {
        KillTimer(window, kRepaintTimer);
        repaintPending_ = false;
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_SIZE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_GETOBJECT:
      if (const auto answer = NativeObjectAnswer(session_, book_(), wParam, lParam)) return *answer;
      return DefWindowProcW(window, message, wParam, lParam);
    default: break;
  }
  return ReceiveMouse(window, message, wParam, lParam);
}

LRESULT GridWindow::ReceiveMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_LBUTTONDOWN:
      if (!Sheet()) return 0;
      anchor_ = HitAt(at);
      if (anchor_.row == 0 && anchor_.column == 0) return 0;
      dragging_ = true;
      SetCapture(window);
      SelectTo(anchor_);
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) SelectTo(HitAt(at));
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        if (message == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    case WM_MOUSEWHEEL: {
      const int steps = -GET_WHEEL_DELTA_WPARAM(wParam) / 40;
      if (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) {
        Scroll(0, steps);
      } else {
        Scroll(steps, 0);
      }
      return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

GridWindow::Hit GridWindow::HitAt(POINT point) const {
  RECT client;
  GetClientRect(window_.Get(), &client);
  const auto sheet = Sheet();
  const auto rows = RowLines(sheet.get(), firstRow_, client.bottom);
  const auto columns = ColumnLines(sheet.get(), firstColumn_, client.right);
  // Outside the cells a drag keeps to the nearest row or column on screen.
  const auto find = [](const std::vector<GridLine>& lines, int at, int step) -> std::int32_t {
    if (lines.empty()) return 0;
    for (const GridLine& line : lines) {
      if (at < line.start + step) return line.index;
    }
    return lines.back().index;
  };
  const bool inColumnHeader = point.y < kHeaderHeight;
  const bool inRowHeader = point.x < kHeaderWidth;
  Hit hit{Pick::Cells, find(rows, point.y, kRowHeight), find(columns, point.x, kColumnWidth)};
  if (inColumnHeader && inRowHeader) {
    hit.pick = Pick::All;
  } else if (inColumnHeader) {
    hit.pick = Pick::Columns;
  } else if (inRowHeader) {
    hit.pick = Pick::Rows;
  }
  return hit;
}

// On this window's workbook, whichever is active.
void GridWindow::SelectTo(const Hit& hit) {
  const auto sheet = Sheet();
  if (!sheet || hit.row == 0 || hit.column == 0) return;
  const std::int32_t top = std::min(anchor_.row, hit.row);
  const std::int32_t bottom = std::max(anchor_.row, hit.row);
  const std::int32_t left = std::min(anchor_.column, hit.column);
  const std::int32_t right = std::max(anchor_.column, hit.column);
  switch (anchor_.pick) {
    case Pick::Cells: sheet->Select({top, left, bottom, right}); break;
    case Pick::Rows: sheet->Select(RowsRect(top, bottom)); break;
    case Pick::Columns: sheet->Select(ColumnsRect(left, right)); break;
    case Pick::All: sheet->Select({1, 1, kMaxRows, kMaxColumns}); break;
  }
  InvalidateRect(window_.Get(), nullptr, FALSE);
}

void GridWindow::PaintBuffered() {
  const win32::PaintDc dc(window_.Get());
  RECT client;
  GetClientRect(window_.Get(), &client);
  // Drawn off screen first, so a repaint after every call does not flicker.
  const win32::MemoryDc memory(dc.Get());
  const win32::OwnedBitmap bitmap(
      CreateCompatibleBitmap(dc.Get(), std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
  const win32::Selection selected(memory.Get(), bitmap.Get());
  const auto sheet = Sheet();
  const bool busy = session_.model.Busy() != BusyKind::None;
  PaintGrid(memory.Get(), client, {sheet.get(), busy, firstRow_, firstColumn_, font_.Get()});
  BitBlt(dc.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

void GridWindow::Scroll(int rows, int columns) {
  firstRow_ = std::clamp(firstRow_ + rows, 1, kMaxRows);
  firstColumn_ = std::clamp(firstColumn_ + columns, 1, kMaxColumns);
  InvalidateRect(window_.Get(), nullptr, FALSE);
}

}  // namespace quarnel::standin::server
