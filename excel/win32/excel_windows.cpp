#include "excel/win32/excel_windows.hpp"

#include <string>

#include "common/win32/window_text.hpp"
#include "excel/win32/com_failure.hpp"

namespace quarnel::win32 {
namespace {

// OBJID_NATIVEOM, from oleacc's header, which this file does not include: oleacc is no system DLL
// that Windows pins, so nothing here may import it.
constexpr LONG kNativeObjectModel = static_cast<LONG>(0xFFFFFFF0);

using AccessibleObjectFromWindowProc = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

// Loaded once, from System32 only: a DLL of that name planted beside the tool is never loaded.
AccessibleObjectFromWindowProc AccessibleObjectFromWindowFn() {
  static AccessibleObjectFromWindowProc found = nullptr;
  if (found) return found;
  const HMODULE library = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (library) {
    found = reinterpret_cast<AccessibleObjectFromWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "AccessibleObjectFromWindow")));
  }
  if (!found) throw errors::Catalogued(errors::kDllLoad, " (oleacc.dll)");
  return found;
}

}  // namespace

std::vector<HWND> ExcelMainWindows() {
  std::vector<HWND> found;
  // EnumWindows visits top-level windows from the top of the Z-order down.
  EnumWindows(
      [](HWND window, LPARAM context) {
        if (IsWindowVisible(window) && ClassName(window) == kExcelMainClass)
          reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

Microsoft::WRL::ComPtr<IDispatch> NativeWindowObject(HWND main) {
  const auto accessibleObjectFromWindow = AccessibleObjectFromWindowFn();
  const HWND desk = FindWindowExW(main, nullptr, kExcelDeskClass, nullptr);
  for (HWND book = desk ? FindWindowExW(desk, nullptr, kExcelBookClass, nullptr) : nullptr; book;
       book = FindWindowExW(desk, book, kExcelBookClass, nullptr)) {
    Microsoft::WRL::ComPtr<IDispatch> object;
    if (SUCCEEDED(accessibleObjectFromWindow(book, static_cast<DWORD>(kNativeObjectModel), IID_IDispatch,
                                             reinterpret_cast<void**>(object.GetAddressOf()))) &&
        object) {
      return object;
    }
  }
  return nullptr;
}

// Windows lets only the foreground thread hand the foreground on; sharing its input state for the
// moment of the switch lets a tool in the background do it too.
void BringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  const DWORD self = GetCurrentThreadId();
  const HWND front = GetForegroundWindow();
  const DWORD frontThread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
  const bool attached = frontThread != 0 && frontThread != self && AttachThreadInput(self, frontThread, TRUE);
  BringWindowToTop(window);
  SetForegroundWindow(window);
  if (attached) AttachThreadInput(self, frontThread, FALSE);
}

HWND FindExcelWindow(std::wstring_view title) {
  if (title.empty()) return nullptr;
  HWND exact = nullptr;
  HWND prefix = nullptr;
  for (HWND window : ExcelMainWindows()) {
    const std::wstring text = WindowText(window);
    if (!text.starts_with(title)) continue;
    if (!exact && text == title) exact = window;
    if (!prefix) prefix = window;
  }
  return exact ? exact : prefix;
}

}  // namespace quarnel::win32
