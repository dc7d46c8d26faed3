#include "standin/server/excel_frame.hpp"

#include "excel/win32/excel_windows.hpp"

namespace quarnel::standin::server {
namespace {

void FillWithChildren(HWND parent) {
  RECT client;
  GetClientRect(parent, &client);
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT CALLBACK DeskProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    FillWithChildren(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* session = reinterpret_cast<Session*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!session) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_SIZE: FillWithChildren(window); return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && session->deactivated) session->deactivated();
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_CLOSE:
      // A person closing Excel's window quits it, whoever else holds a reference.
      session->model.Quit();
      session->AfterCall();
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
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

ExcelFrame CreateExcelFrame(Session& session) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterFrameClass(win32::kExcelMainClass, MainProcedure, true);
  RegisterFrameClass(win32::kExcelDeskClass, DeskProcedure, false);
  ExcelFrame frame;
  frame.main = CreateWindowExW(0, win32::kExcelMainClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20,
                               920, 620, nullptr, nullptr, instance, &session);
  if (!frame.main) return frame;
  RECT client;
  GetClientRect(frame.main, &client);
  frame.desk = CreateWindowExW(0, win32::kExcelDeskClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               client.right, client.bottom, frame.main, nullptr, instance, nullptr);
  return frame;
}

}  // namespace quarnel::standin::server
