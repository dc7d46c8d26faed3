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

ExcelFrame::ExcelFrame(Session& session, FrameEvents& events, int place)
    : session_(session), events_(events) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterFrameClass(win32::kExcelMainClass, win32::ProcedureOf<ExcelFrame, &ExcelFrame::Receive>, true);
  RegisterFrameClass(win32::kExcelDeskClass, win32::ProcedureOf<ExcelFrame, ReceiveAtDesk>, false);
  const int offset = 20 + 28 * (place % 8);
  // Owned from WM_NCCREATE on.
  CreateWindowExW(0, win32::kExcelMainClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, offset, offset, 920,
                  620, nullptr, nullptr, instance, this);
  if (!main_) return;
  RECT client;
  GetClientRect(main_.Get(), &client);
  desk_ = CreateWindowExW(0, win32::kExcelDeskClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                          client.right, client.bottom, main_.Get(), nullptr, instance, this);
}

LRESULT ExcelFrame::Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: *main_.Put() = window; break;
    case WM_NCDESTROY:
      main_.Release();
      desk_ = nullptr;
      break;
    case WM_SIZE: FillWithChildren(window); return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        events_.Deactivated(reinterpret_cast<HWND>(lParam));
      } else {
        events_.Activated(window);
      }
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_CLOSE:
      // A person closing Excel's window quits it, whoever else holds a reference.
      events_.CloseRequested();
      return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void ExcelFrame::Hold(BookSource book) {
  grid_.reset();
  if (desk_ && book) grid_ = std::make_unique<GridWindow>(session_, desk_, std::move(book));
}

void ExcelFrame::SetTitle(const std::wstring& title) {
  if (main_ && title != win32::WindowText(main_.Get())) SetWindowTextW(main_.Get(), title.c_str());
}

void ExcelFrame::Show(bool shown, bool activate) {
  if (!main_ || (IsWindowVisible(main_.Get()) != FALSE) == shown) return;
  ShowWindow(main_.Get(), !shown ? SW_HIDE : activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
}

void ExcelFrame::Redraw() {
  if (grid_) grid_->Refresh();
}

}  // namespace quarnel::standin::server
