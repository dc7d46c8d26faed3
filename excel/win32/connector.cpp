#include "excel/win32/connector.hpp"

#include <string>

#include "excel/win32/com_failure.hpp"
#include "excel/win32/utf16.hpp"

namespace quarnel::win32 {
namespace {

CLSID ClassOf(std::string_view progId) {
  const std::wstring name = ToUtf16(progId);
  CLSID clsid{};
  const HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return clsid;
}

struct Search {
  std::wstring_view title;
  HWND exact = nullptr;
  HWND prefix = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  if (!IsWindowVisible(window)) return TRUE;
  const int length = GetWindowTextLengthW(window);
  if (length < static_cast<int>(search.title.size())) return TRUE;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  if (text == search.title) {
    search.exact = window;
    return FALSE;
  }
  if (!search.prefix && text.starts_with(search.title)) search.prefix = window;
  return TRUE;
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

}  // namespace

HWND FindTopLevelWindow(std::wstring_view title) {
  if (title.empty()) return nullptr;
  Search search{title};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.exact ? search.exact : search.prefix;
}

excel::Object ComConnector::GetRunning(std::string_view progId) {
  const CLSID clsid = ClassOf(progId);
  Microsoft::WRL::ComPtr<IUnknown> running;
  HRESULT hr = GetActiveObject(clsid, nullptr, &running);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  hr = running.As(&dispatch);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return WrapDispatch(dispatch.Get(), retry_, NameLookup::Once, streak_);
}

excel::Object ComConnector::Start(std::string_view progId) {
  const CLSID clsid = ClassOf(progId);
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&dispatch));
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return WrapDispatch(dispatch.Get(), retry_, NameLookup::Once, streak_);
}

void ComConnector::ActivateWindow(std::string_view title) {
  const HWND window = FindTopLevelWindow(ToUtf16(title));
  if (!window) throw Failure(5, "无效的过程调用或参数");
  BringToFront(window);
}

}  // namespace quarnel::win32
