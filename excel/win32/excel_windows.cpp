#include "excel/win32/excel_windows.hpp"

#include <algorithm>
#include <string>

#include "common/win32/enumeration.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/window_text.hpp"
#include "excel/win32/com_failure.hpp"

namespace quarnel::win32 {
namespace {

// OBJID_NATIVEOM, from oleacc's header, which this file does not include: oleacc is no system DLL
// that Windows pins, so nothing here may import it. Sent as the DWORD oleacc sends.
constexpr LPARAM kNativeObjectModel = static_cast<LPARAM>(static_cast<DWORD>(0xFFFFFFF0));

using ObjectFromLresultProc = HRESULT(WINAPI*)(LRESULT, REFIID, WPARAM, void**);

// From System32 only: a DLL of that name planted beside the tool is never loaded. Kept once loaded;
// a load that failed is tried again at the next search, a module without the function is not.
ObjectFromLresultProc ObjectFromLresultFn() {
  static OwnedModule library;
  if (!library) library = OwnedModule(LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  const auto found = library ? reinterpret_cast<ObjectFromLresultProc>(reinterpret_cast<void*>(
                                   GetProcAddress(library.Get(), "ObjectFromLresult")))
                             : nullptr;
  if (!found) throw errors::Catalogued(errors::kDllLoad, " (oleacc.dll)");
  return found;
}

}  // namespace

std::vector<HWND> ExcelMainWindows() {
  Enumerated<HWND> found;
  // EnumWindows visits top-level windows from the top of the Z-order down.
  EnumWindows(
      [](HWND window, LPARAM context) {
        return Enumerated<HWND>::Of(context).Visit([window](std::vector<HWND>& windows) {
          if (IsWindowVisible(window) && ClassName(window) == kExcelMainClass) windows.push_back(window);
        });
      },
      found.Context());
  return found.Take();
}

// What AccessibleObjectFromWindow does, less its wait without end: the message goes out with a
// limit, and an Excel whose thread has taken no message for a while is not waited on at all.
NativeAnswer NativeWindowObject(HWND main, std::chrono::milliseconds limit) {
  const auto objectFromLresult = ObjectFromLresultFn();
  // A zero limit would make SMTO_ABORTIFHUNG wait without end.
  const auto wait = static_cast<UINT>(std::max<std::chrono::milliseconds::rep>(limit.count(), 1));
  constexpr WPARAM kNoFlags = 0;
  const HWND desk = FindWindowExW(main, nullptr, kExcelDeskClass, nullptr);
  for (HWND book = desk ? FindWindowExW(desk, nullptr, kExcelBookClass, nullptr) : nullptr; book;
       book = FindWindowExW(desk, book, kExcelBookClass, nullptr)) {
    DWORD_PTR reference = 0;
    SetLastError(ERROR_SUCCESS);
    if (!SendMessageTimeoutW(book, WM_GETOBJECT, kNoFlags, kNativeObjectModel, SMTO_ABORTIFHUNG, wait,
                             &reference)) {
      // A window closed meanwhile, or one of a program that messages may not reach, leads nowhere;
      // any other silence is Excel's thread not answering.
      const DWORD error = GetLastError();
      if (!IsWindow(book) || error == ERROR_ACCESS_DENIED) continue;
      return {nullptr, true};
    }
    // LresultFromObject's references are positive; zero is a window with no object model.
    const auto result = static_cast<LRESULT>(reference);
    if (result <= 0) continue;
    Microsoft::WRL::ComPtr<IDispatch> object;
    if (SUCCEEDED(objectFromLresult(result, IID_IDispatch, kNoFlags,
                                    reinterpret_cast<void**>(object.GetAddressOf()))) &&
        object) {
      return {object, false};
    }
  }
  return {};
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
