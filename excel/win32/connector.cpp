#include "excel/win32/connector.hpp"

#include <string>

#include "common/win32/utf16.hpp"
#include "excel/win32/com_failure.hpp"
#include "excel/win32/excel_windows.hpp"

namespace quarnel::win32 {
namespace {

CLSID ClassOf(std::string_view progId) {
  const std::wstring name = ToUtf16(progId);
  CLSID clsid{};
  const HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return clsid;
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

excel::Object ComConnector::GetRunning(std::string_view progId) {
  found_ = nullptr;
  const CLSID clsid = ClassOf(progId);
  if (excel::Object seen = FromExcelWindows(); seen) return seen;
  Microsoft::WRL::ComPtr<IUnknown> running;
  HRESULT hr = GetActiveObject(clsid, nullptr, &running);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  hr = running.As(&dispatch);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return WrapDispatch(dispatch.Get(), retry_, streak_);
}

// Excel enters the running object table only once its window first loses focus, and only the
// first instance is found there; the window in front is the Excel the user works in.
excel::Object ComConnector::FromExcelWindows() {
  for (HWND main : ExcelMainWindows()) {
    try {
      const Microsoft::WRL::ComPtr<IDispatch> window = NativeWindowObject(main);
      if (!window) continue;
      excel::Object application = WrapDispatch(window.Get(), retry_, streak_).GetObject("Application");
      if (!application) continue;
      found_ = main;
      return application;
    } catch (const Failure&) {
      // No oleacc, or a window that does not lead to its application: the next one may.
    }
  }
  return {};
}

excel::Object ComConnector::Start(std::string_view progId) {
  found_ = nullptr;
  const CLSID clsid = ClassOf(progId);
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&dispatch));
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return WrapDispatch(dispatch.Get(), retry_, streak_);
}

void ComConnector::ActivateWindow(std::string_view title) {
  const HWND window = FindExcelWindow(ToUtf16(title), found_);
  if (!window) throw errors::Catalogued(errors::kInvalidCall);
  BringToFront(window);
}

}  // namespace quarnel::win32
