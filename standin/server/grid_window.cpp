#include "standin/server/grid_window.hpp"

#include <algorithm>
#include <string>
#include <variant>

#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/window_text.hpp"
#include "excel/win32/excel_windows.hpp"
#include "standin/model/address.hpp"
#include "standin/model/state.hpp"
#include "standin/server/window_object.hpp"

namespace quarnel::standin::server {
namespace {

constexpr int kHeaderWidth = 48;
constexpr int kHeaderHeight = 22;
constexpr int kColumnWidth = 80;
constexpr int kRowHeight = 22;
constexpr int kStatusHeight = 24;
constexpr UINT_PTR kRepaintTimer = 1;
constexpr UINT kRepaintDelayMs = 40;

constexpr COLORREF kGridLine = RGB(212, 212, 212);
constexpr COLORREF kHeaderFill = RGB(240, 240, 240);
constexpr COLORREF kHeaderPicked = RGB(210, 226, 214);
constexpr COLORREF kPickedFill = RGB(220, 235, 252);
constexpr COLORREF kExcelGreen = RGB(33, 115, 70);
constexpr COLORREF kHiddenMark = RGB(90, 90, 90);
constexpr COLORREF kEmptyApp = RGB(225, 225, 225);

// Fonts with Chinese glyphs, Windows' own names first; Wine maps those to an installed family
// when the prefix says so, else the installed ones are asked for by name.
const wchar_t* const kFontFamilies[] = {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun",
                                        L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"};

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

HFONT MakeFont() {
  const HDC screen = GetDC(nullptr);
  const wchar_t* family = kFontFamilies[0];
  for (const wchar_t* candidate : kFontFamilies) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, candidate, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(screen, &query, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      family = candidate;
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  return CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, family);
}

// The first row (or column) from n on that is not hidden; 0 past the sheet's end.
std::int32_t NextShown(const IntervalSet& hidden, std::int32_t n, std::int32_t limit) {
  const auto& runs = hidden.Runs();
  for (;;) {
    auto it = runs.upper_bound(n);
    if (it == runs.begin()) break;
    --it;
    if (it->second < n) break;
    n = it->second + 1;
  }
  return n <= limit ? n : 0;
}

std::vector<std::pair<std::int32_t, int>> Lines(const IntervalSet* hidden, std::int32_t first,
                                                std::int32_t limit, int origin, int step, int extent) {
  std::vector<std::pair<std::int32_t, int>> lines;
  std::int32_t n = hidden ? NextShown(*hidden, first, limit) : first;
  for (int at = origin; at < extent && n != 0 && n <= limit; at += step) {
    lines.emplace_back(n, at);
    n = hidden ? NextShown(*hidden, n + 1, limit) : n + 1;
  }
  return lines;
}

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Text(HDC dc, const std::wstring& text, RECT rect, UINT format) {
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

std::wstring CellText(const excel::Value& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? L"TRUE" : L"FALSE";
  if (const auto* error = std::get_if<excel::ErrorValue>(&value))
    return win32::ToUtf16(ErrorText(error->code));
  return win32::ToUtf16(常用函数::ValueText(value));
}

bool IsNumber(const excel::Value& value) {
  return std::holds_alternative<double>(value) || std::holds_alternative<std::int32_t>(value) ||
         std::holds_alternative<std::int16_t>(value);
}

}  // namespace

GridWindow::GridWindow(Session& session)
    : session_(session), frame_(CreateExcelFrame(session)), font_(MakeFont()) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = win32::kExcelBookClass;
  RegisterClassExW(&windowClass);  // a second window of the same process finds it registered
  if (!frame_.desk) return;
  RECT desk;
  GetClientRect(frame_.desk, &desk);
  window_ = CreateWindowExW(0, win32::kExcelBookClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                            desk.right, desk.bottom, frame_.desk, nullptr, instance, this);
}

GridWindow::~GridWindow() {
  if (frame_.main) DestroyWindow(frame_.main);
  if (font_) DeleteObject(font_);
}

void GridWindow::Refresh() {
  if (!window_) return;
  const HWND main = frame_.main;
  const Model& model = session_.model;
  const AppState& app = model.State();
  std::string title = app.caption;
  if (auto book = app.ActiveWorkbook()) title += " - " + book->name;
  const std::wstring wanted = win32::ToUtf16(title);
  if (wanted != win32::WindowText(main)) SetWindowTextW(main, wanted.c_str());

  const bool shown = IsWindowVisible(main) != FALSE;
  if (model.Visible() != shown) ShowWindow(main, model.Visible() ? SW_SHOWNORMAL : SW_HIDE);
  // Redrawn at most every few hundredths of a second: a paint between every two calls of a long
  // command would slow the command down more than the drawing is worth.
  if (model.ScreenUpdating() && !repaintPending_) {
    repaintPending_ = SetTimer(window_, kRepaintTimer, kRepaintDelayMs, nullptr) != 0;
    if (!repaintPending_) InvalidateRect(window_, nullptr, FALSE);
  }
}

LRESULT CALLBACK GridWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<GridWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<GridWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->Receive(message, wParam, lParam);
  } catch (...) {
    // No exception may leave a window procedure; the model refuses only impossible selections.
    return 0;
  }
}

LRESULT GridWindow::Receive(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window_, &paint);
      RECT client;
      GetClientRect(window_, &client);
      {
        // Drawn off screen first, so a repaint after every call does not flicker.
        const win32::MemoryDc memory(dc);
        const win32::OwnedBitmap bitmap(
            CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
        const win32::Selection selected(memory.Get(), bitmap.Get());
        Paint(memory.Get(), client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
      }
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
      if (wParam == kRepaintTimer) {
        KillTimer(window_, kRepaintTimer);
        repaintPending_ = false;
        InvalidateRect(window_, nullptr, FALSE);
      }
      return 0;
    case WM_SIZE: InvalidateRect(window_, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN: {
      if (!session_.model.State().ActiveSheet()) return 0;
      anchor_ = HitAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      if (anchor_.row == 0 && anchor_.column == 0) return 0;
      dragging_ = true;
      SetCapture(window_);
      SelectTo(anchor_);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_)
        SelectTo(HitAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}));
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
    case WM_GETOBJECT:
      if (const auto answer = NativeObjectAnswer(session_, wParam, lParam)) return *answer;
      return DefWindowProcW(window_, message, wParam, lParam);
    default: return DefWindowProcW(window_, message, wParam, lParam);
  }
}

std::vector<GridWindow::Line> GridWindow::RowLines(int height) const {
  std::vector<Line> lines;
  auto sheet = session_.model.State().ActiveSheet();
  if (!sheet) return lines;
  for (auto [index, at] :
       Lines(&sheet->hidden_rows, firstRow_, kMaxRows, kHeaderHeight, kRowHeight, height - kStatusHeight)) {
    lines.push_back({index, at});
  }
  return lines;
}

std::vector<GridWindow::Line> GridWindow::ColumnLines(int width) const {
  std::vector<Line> lines;
  auto sheet = session_.model.State().ActiveSheet();
  if (!sheet) return lines;
  for (auto [index, at] :
       Lines(&sheet->hidden_columns, firstColumn_, kMaxColumns, kHeaderWidth, kColumnWidth, width)) {
    lines.push_back({index, at});
  }
  return lines;
}

GridWindow::Hit GridWindow::HitAt(POINT point) const {
  RECT client;
  GetClientRect(window_, &client);
  const auto rows = RowLines(client.bottom);
  const auto columns = ColumnLines(client.right);
  // Outside the cells a drag keeps to the nearest row or column on screen.
  const auto find = [](const std::vector<Line>& lines, int at, int step) -> std::int32_t {
    if (lines.empty()) return 0;
    for (const Line& line : lines) {
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

void GridWindow::SelectTo(const Hit& hit) {
  if (hit.row == 0 || hit.column == 0) return;
  Model& model = session_.model;
  const std::int32_t top = std::min(anchor_.row, hit.row);
  const std::int32_t bottom = std::max(anchor_.row, hit.row);
  const std::int32_t left = std::min(anchor_.column, hit.column);
  const std::int32_t right = std::max(anchor_.column, hit.column);
  switch (anchor_.pick) {
    case Pick::Cells: model.Select(top, left, bottom, right); break;
    case Pick::Rows: model.Select(top, 1, bottom, kMaxColumns); break;
    case Pick::Columns: model.Select(1, left, kMaxRows, right); break;
    case Pick::All: model.Select(1, 1, kMaxRows, kMaxColumns); break;
  }
  InvalidateRect(window_, nullptr, FALSE);
}

void GridWindow::Scroll(int rows, int columns) {
  firstRow_ = std::clamp(firstRow_ + rows, 1, kMaxRows);
  firstColumn_ = std::clamp(firstColumn_ + columns, 1, kMaxColumns);
  InvalidateRect(window_, nullptr, FALSE);
}

void GridWindow::Paint(HDC dc, const RECT& client) const {
  const AppState& app = session_.model.State();
  const auto sheet = app.ActiveSheet();
  const HGDIOBJ oldFont = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);

  const RECT status{0, client.bottom - kStatusHeight, client.right, client.bottom};
  if (!sheet) {
    Fill(dc, client, kEmptyApp);
    Fill(dc, status, kExcelGreen);
    SetTextColor(dc, RGB(255, 255, 255));
    Text(dc, app.BusyNow() != BusyKind::None ? L"  编辑" : L"  就绪", status, DT_LEFT);
    SelectObject(dc, oldFont);
    return;
  }

  Fill(dc, client, RGB(255, 255, 255));
  const auto rows = RowLines(client.bottom);
  const auto columns = ColumnLines(client.right);
  const Rect& picked = sheet->selection;
  const auto inRows = [&](std::int32_t r) { return r >= picked.top && r <= picked.bottom; };
  const auto inColumns = [&](std::int32_t c) { return c >= picked.left && c <= picked.right; };
  const int gridBottom = rows.empty() ? kHeaderHeight : rows.back().start + kRowHeight;
  const int gridRight = columns.empty() ? kHeaderWidth : columns.back().start + kColumnWidth;

  // Cells.
  for (const Line& row : rows) {
    for (const Line& column : columns) {
      const RECT cell{column.start, row.start, column.start + kColumnWidth, row.start + kRowHeight};
      const bool active = row.index == picked.top && column.index == picked.left;
      if (inRows(row.index) && inColumns(column.index) && !active) Fill(dc, cell, kPickedFill);
      const excel::Value value = sheet->ValueAt(row.index, column.index);
      if (std::holds_alternative<std::monostate>(value)) continue;
      SetTextColor(dc, RGB(0, 0, 0));
      const RECT inner{cell.left + 3, cell.top, cell.right - 3, cell.bottom};
      Text(dc, CellText(value), inner, IsNumber(value) ? DT_RIGHT : DT_LEFT);
    }
  }

  // Grid lines.
  SetDCPenColor(dc, kGridLine);
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  for (const Line& row : rows) {
    MoveToEx(dc, 0, row.start + kRowHeight - 1, nullptr);
    LineTo(dc, gridRight, row.start + kRowHeight - 1);
  }
  for (const Line& column : columns) {
    MoveToEx(dc, column.start + kColumnWidth - 1, 0, nullptr);
    LineTo(dc, column.start + kColumnWidth - 1, gridBottom);
  }

  // Headers: letters and numbers, the picked ones marked, a dark bar where hidden ones were left out.
  Fill(dc, {0, 0, client.right, kHeaderHeight}, kHeaderFill);
  Fill(dc, {0, kHeaderHeight, kHeaderWidth, gridBottom}, kHeaderFill);
  std::int32_t expected = firstColumn_;
  for (const Line& column : columns) {
    const RECT cell{column.start, 0, column.start + kColumnWidth, kHeaderHeight};
    if (inColumns(column.index))
      Fill(dc, {cell.left, cell.top, cell.right - 1, cell.bottom - 1}, kHeaderPicked);
    SetTextColor(dc, inColumns(column.index) ? kExcelGreen : RGB(60, 60, 60));
    Text(dc, win32::ToUtf16(ColumnLetters(column.index)), cell, DT_CENTER);
    SetDCPenColor(dc, kGridLine);
    MoveToEx(dc, cell.right - 1, 0, nullptr);
    LineTo(dc, cell.right - 1, kHeaderHeight);
    if (column.index != expected) Fill(dc, {cell.left - 2, 0, cell.left + 1, kHeaderHeight}, kHiddenMark);
    expected = column.index + 1;
  }
  expected = firstRow_;
  for (const Line& row : rows) {
    const RECT cell{0, row.start, kHeaderWidth, row.start + kRowHeight};
    if (inRows(row.index)) Fill(dc, {cell.left, cell.top, cell.right - 1, cell.bottom - 1}, kHeaderPicked);
    SetTextColor(dc, inRows(row.index) ? kExcelGreen : RGB(60, 60, 60));
    Text(dc, std::to_wstring(row.index), cell, DT_CENTER);
    SetDCPenColor(dc, kGridLine);
    MoveToEx(dc, 0, cell.bottom - 1, nullptr);
    LineTo(dc, kHeaderWidth, cell.bottom - 1);
    if (row.index != expected) Fill(dc, {0, cell.top - 2, kHeaderWidth, cell.top + 1}, kHiddenMark);
    expected = row.index + 1;
  }
  SetDCPenColor(dc, RGB(180, 180, 180));
  MoveToEx(dc, kHeaderWidth - 1, 0, nullptr);
  LineTo(dc, kHeaderWidth - 1, gridBottom);
  MoveToEx(dc, 0, kHeaderHeight - 1, nullptr);
  LineTo(dc, gridRight, kHeaderHeight - 1);

  // The selection's frame around the part of it on screen.
  int frameLeft = -1, frameRight = -1, frameTop = -1, frameBottom = -1;
  for (const Line& column : columns) {
    if (!inColumns(column.index)) continue;
    if (frameLeft < 0) frameLeft = column.start;
    frameRight = column.start + kColumnWidth;
  }
  for (const Line& row : rows) {
    if (!inRows(row.index)) continue;
    if (frameTop < 0) frameTop = row.start;
    frameBottom = row.start + kRowHeight;
  }
  if (frameLeft >= 0 && frameTop >= 0) {
    const RECT edges[] = {{frameLeft - 1, frameTop - 1, frameRight + 1, frameTop + 1},
                          {frameLeft - 1, frameBottom - 2, frameRight + 1, frameBottom},
                          {frameLeft - 1, frameTop - 1, frameLeft + 1, frameBottom},
                          {frameRight - 2, frameTop - 1, frameRight, frameBottom}};
    for (const RECT& edge : edges) Fill(dc, edge, kExcelGreen);
  }
  SelectObject(dc, oldPen);

  // Status bar: the sheet's tab, the selection's address, ready or editing.
  Fill(dc, status, kExcelGreen);
  SetTextColor(dc, RGB(255, 255, 255));
  const std::wstring line = L"  " + win32::ToUtf16(sheet->name) + L"    " +
                            win32::ToUtf16(FormatAddress(picked)) +
                            (app.BusyNow() != BusyKind::None ? L"    编辑" : L"    就绪");
  Text(dc, line, status, DT_LEFT);
  SelectObject(dc, oldFont);
}

}  // namespace quarnel::standin::server
