#include "excel/win32/com.hpp"

#include <limits>
#include <new>
#include <stdexcept>

#include "common/win32/utf16.hpp"
#include "excel/win32/com_failure.hpp"

namespace quarnel::win32 {

Bstr::Bstr(std::wstring_view text) {
  if (text.size() > std::numeric_limits<UINT>::max()) throw std::length_error("text too long");
  *Put() = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!*this) throw std::bad_alloc();
}

Bstr Bstr::FromUtf8(std::string_view text) { return Bstr(ToUtf16(text)); }

Bstr Bstr::Adopt(BSTR text) noexcept {
  Bstr owner;
  *owner.Put() = text;
  return owner;
}

ComInit::ComInit() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (hr == RPC_E_CHANGED_MODE) return;
  if (FAILED(hr)) throw FailureFromHresult(hr);
  *Put() = true;
}

MessageFilterRegistration RegisterMessageFilter(IMessageFilter* filter) {
  FilterRegistration registration{true, nullptr};
  const HRESULT hr = CoRegisterMessageFilter(filter, &registration.previous);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return MessageFilterRegistration(registration);
}

}  // namespace quarnel::win32
