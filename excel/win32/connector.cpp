#include "excel/win32/connector.hpp"

#include <string>

#include "common/trace.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/window_text.hpp"
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

// Excel went away after its window was listed: the window leads to no Excel.
bool Gone(const Failure& failure) {
  switch (static_cast<HRESULT>(failure.Number())) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE): return true;
    default: return false;
  }
}

// What a window that does not answer in time says: busy, as Excel's message filter says it.
constexpr HRESULT kWindowLate = RPC_E_SERVERCALL_RETRYLATER;

bool IsExcelMainWindow(HWND window) {
  return window && IsWindow(window) && IsWindowVisible(window) && ClassName(window) == kExcelMainClass;
}

}  // namespace

excel::Object ComConnector::Wrap(IDispatch* target, const std::shared_ptr<NameCache>& names) const {
  return WrapDispatch(target, retry_, context_, names);
}

excel::Object ComConnector::GetRunning(std::string_view progId) {
  found_ = nullptr;
  if (excel::Object seen = FromExcelWindows(); seen) return seen;
  const CLSID clsid = ClassOf(progId);
  Microsoft::WRL::ComPtr<IUnknown> running;
  HRESULT hr = GetActiveObject(clsid, nullptr, &running);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  hr = running.As(&dispatch);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return Wrap(dispatch.Get(), applicationNames_);
}

// Excel enters the running object table only once its window first loses focus, and only the
// first instance is found there; the window in front is the Excel the user works in. Only a
// window that leads to no Excel lets the search go on: a busy Excel in front is not a missing one,
// nor is one whose window does not answer, which is waited out as a busy Excel is.
excel::Object ComConnector::FromExcelWindows() {
  for (HWND main : ExcelMainWindows()) {
    NativeAnswer answer;
    HRESULT hr = S_OK;
    try {
      hr = WaitOutBusy(retry_, *context_, [&] {
        answer = NativeWindowObject(main, retry_.windowAnswer);
        return answer.late ? kWindowLate : S_OK;
      });
    } catch (const Failure& failure) {
      trace::PassedOver("window search, oleacc", failure);
      return {};  // without oleacc no window leads anywhere
    }
    if (answer.late) throw excel::UnreachableExcel(FailureFromHresult(hr));
    if (!answer.object) {
      trace::PassedOver("window search, a window without a workbook's object", errors::ObjectNotSet());
      continue;
    }
    excel::Object application;
    try {
      application = Wrap(answer.object.Get(), windowNames_).GetObject("Application");
    } catch (const Failure& failure) {
      if (Gone(failure)) {
        trace::PassedOver("window search, Excel gone", failure);
        continue;
      }
      throw excel::UnreachableExcel(failure);
    }
    if (!application) {
      trace::PassedOver("window search, a window without its application", errors::ObjectNotSet());
      continue;
    }
    found_ = main;
    return application;
  }
  return {};
}

excel::Object ComConnector::Start(std::string_view progId) {
  found_ = nullptr;
  const CLSID clsid = ClassOf(progId);
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&dispatch));
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return Wrap(dispatch.Get(), applicationNames_);
}

bool ComConnector::ActivateFoundWindow() {
  // Found in this very click, a moment ago.
  if (!found_) return false;
  BringToFront(found_);
  return true;
}

bool ComConnector::ActivateWindowHandle(std::int32_t handle) {
  // Window handles keep to 32 bits, widened with their sign as Windows does.
  const auto window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
  if (!IsExcelMainWindow(window)) return false;
  BringToFront(window);
  return true;
}

void ComConnector::ActivateWindow(std::string_view title) {
  const HWND window = FindExcelWindow(ToUtf16(title));
  if (!window) throw errors::Catalogued(errors::kInvalidCall);
  BringToFront(window);
}

}  // namespace quarnel::win32
