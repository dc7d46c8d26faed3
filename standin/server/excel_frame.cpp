#include "standin/server/excel_frame.hpp"

#include "common/win32/window_procedure.hpp"
#include "common/win32/window_text.hpp"
#include "excel/win32/excel_windows.hpp"

namespace quarnel::standin::server {
namespace {

void FillWithChildren(HWND parent) {
  RECT client;
  GetClientRect(parent, &client);
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT ReceiveAtDesk(ExcelFrame&, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    FillWithChildren(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Receive(FrameEvents& events, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: FillWithChildren(window); return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        events.Deactivated(reinterpret_cast<HWND>(lParam));
      } else {
        events.Activated(window);
      }
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_CLOSE:
      // A person closing Excel's window quits it, whoever else holds a reference.
      events.CloseRequested();
      return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFrameClass(const wchar_t* name, WNDPROC procedure, bool main) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  if (main) windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);  // a second frame of the same process finds it registered
}

}  // namespace

ExcelFrame::ExcelFrame(Session& session, FrameEvents& events, int place) : session_(session) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterFrameClass(win32::kExcelMainClass, win32::ProcedureOf<FrameEvents, Receive>, true);
  RegisterFrameClass(win32::kExcelDeskClass, win32::ProcedureOf<ExcelFrame, ReceiveAtDesk>, false);
  const int offset = 20 + 28 * (place % 8);
  main_ = CreateWindowExW(0, win32::kExcelMainClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, offset,
                          offset, 920, 620, nullptr, nullptr, instance, &events);
  if (!main_) return;
  RECT client;
  GetClientRect(main_, &client);
  desk_ = CreateWindowExW(0, win32::kExcelDeskClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                          client.right, client.bottom, main_, nullptr, instance, this);
}

ExcelFrame::~ExcelFrame() {
  // The workbook window goes with the frame, while its object still stands.
  if (main_) DestroyWindow(main_);
}

void ExcelFrame::Hold(BookSource book) {
  grid_.reset();
  if (desk_ && book) grid_ = std::make_unique<GridWindow>(session_, desk_, std::move(book));
}

void ExcelFrame::SetTitle(const std::wstring& title) {
  if (main_ && title != win32::WindowText(main_)) SetWindowTextW(main_, title.c_str());
}

void ExcelFrame::Show(bool shown, bool activate) {
  if (!main_ || (IsWindowVisible(main_) != FALSE) == shown) return;
  ShowWindow(main_, !shown ? SW_HIDE : activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
}

void ExcelFrame::Redraw() {
  if (grid_) grid_->Refresh();
}

}  // namespace quarnel::standin::server
