#include "excel/win32/com_failure.hpp"

#include <string_view>
#include <utility>

#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"
#include "excel/win32/com.hpp"

namespace quarnel::win32 {
namespace {

using errors::Worded;
using errors::Words;

// The numbers whose texts Excel's users know from a Chinese system.
std::string_view KnownDescription(std::int32_t number) {
  switch (number) {
    case errors::kInvalidCall:
    case errors::kOverflow:
    case errors::kSubscriptOutOfRange:
    case errors::kTypeMismatch:
    case errors::kNotSupported:
    case errors::kBadArgument:
    case errors::kApplicationDefined: return errors::Description(number);
    default: return {};
  }
}

std::wstring_view TrimTrailing(std::wstring_view text) {
  while (!text.empty() &&
         (text.back() == L' ' || text.back() == L'\r' || text.back() == L'\n' || text.back() == L'\t')) {
    text.remove_suffix(1);
  }
  return text;
}

std::int32_t NumberOf(HRESULT hr) {
  switch (hr) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND: return errors::kNotSupported;
    case DISP_E_TYPEMISMATCH: return errors::kTypeMismatch;
    case DISP_E_BADINDEX: return errors::kSubscriptOutOfRange;
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL: return errors::kBadArgument;
    case DISP_E_OVERFLOW: return errors::kOverflow;
    default: break;
  }
  const auto bits = static_cast<std::uint32_t>(hr);
  if ((bits & 0xFFFF0000u) == 0x800A0000u) return static_cast<std::int32_t>(bits & 0xFFFFu);
  return static_cast<std::int32_t>(hr);
}

void FillIn(EXCEPINFO& info) {
  if (!info.pfnDeferredFillIn) return;
  info.pfnDeferredFillIn(&info);
  info.pfnDeferredFillIn = nullptr;
}

}  // namespace

bool IsBusy(HRESULT hr) noexcept {
  return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER || hr == kVbaIgnore;
}

bool IsBusyException(EXCEPINFO& info) {
  FillIn(info);
  return IsBusy(info.scode);
}

HRESULT RetryableException(EXCEPINFO& info) {
  FillIn(info);
  return IsBusy(info.scode) || info.scode == TYPE_E_INVDATAREAD ? info.scode : S_OK;
}

std::string SystemMessage(HRESULT hr) {
  LocalMemory<wchar_t*> buffer;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(buffer.Put()), 0, nullptr);
  if (length == 0 || buffer.Get() == nullptr) return {};
  return ToUtf8(TrimTrailing(std::wstring_view(buffer.Get(), length)));
}

Failure FailureFromHresult(HRESULT hr) {
  const std::int32_t number = NumberOf(hr);
  if (IsBusy(hr)) return {number, Worded(Words::Busy)};
  // The user chose to stop waiting on an Excel that did not answer.
  if (hr == RPC_E_CALL_CANCELED) return {number, Worded(Words::Stopped)};
  if (const auto known = KnownDescription(number); !known.empty() && number != hr) {
    return {number, std::string(known)};
  }
  std::string text = SystemMessage(hr);
  // Windows' Chinese words for the codes a missing Excel gives, which Wine has none for.
  if (text.empty()) text = errors::Description(hr);
  if (text.empty()) text = Worded(Words::AutomationError);
  return {number, std::move(text)};
}

Failure FailureFromException(EXCEPINFO& info) {
  FillIn(info);
  const Bstr source = Bstr::Adopt(std::exchange(info.bstrSource, nullptr));
  const Bstr description = Bstr::Adopt(std::exchange(info.bstrDescription, nullptr));
  const Bstr helpFile = Bstr::Adopt(std::exchange(info.bstrHelpFile, nullptr));

  std::int32_t number = 0;
  std::string fallback;
  if (info.scode != 0) {
    Failure mapped = FailureFromHresult(info.scode);
    number = mapped.Number();
    fallback = mapped.Description();
  } else if (info.wCode != 0) {
    number = info.wCode;
    fallback = KnownDescription(number);
    if (fallback.empty()) fallback = Worded(Words::AutomationError);
  } else {
    Failure mapped = FailureFromHresult(DISP_E_EXCEPTION);
    number = mapped.Number();
    fallback = mapped.Description();
  }
  const std::wstring_view text = TrimTrailing(description.View());
  // Whatever Excel says of being busy, the user is told the same: what to do about it.
  if (text.empty() || IsBusy(info.scode)) return {number, std::move(fallback)};
  return {number, ToUtf8(text)};
}

}  // namespace quarnel::win32
