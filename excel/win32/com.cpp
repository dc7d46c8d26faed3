#include "excel/win32/com.hpp"

#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "common/win32/utf16.hpp"
#include "excel/win32/com_failure.hpp"

namespace quarnel::win32 {

Bstr::Bstr(std::wstring_view text) {
  if (text.size() > std::numeric_limits<UINT>::max()) throw std::length_error("text too long");
  text_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!text_) throw std::bad_alloc();
}

Bstr Bstr::FromUtf8(std::string_view text) { return Bstr(ToUtf16(text)); }

Bstr Bstr::Adopt(BSTR text) noexcept {
  Bstr owner;
  owner.text_ = text;
  return owner;
}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
  if (this != &other) {
    SysFreeString(text_);
    text_ = other.Release();
  }
  return *this;
}

BSTR* Bstr::Out() noexcept {
  SysFreeString(text_);
  text_ = nullptr;
  return &text_;
}

BSTR Bstr::Release() noexcept { return std::exchange(text_, nullptr); }

Variant::Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

VARIANT* Variant::Out() noexcept {
  VariantClear(&value_);
  return &value_;
}

void ExcepInfo::Reset() noexcept {
  SysFreeString(info_.bstrSource);
  SysFreeString(info_.bstrDescription);
  SysFreeString(info_.bstrHelpFile);
  info_ = EXCEPINFO{};
}

ComInit::ComInit() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (hr == RPC_E_CHANGED_MODE) return;
  if (FAILED(hr)) throw FailureFromHresult(hr);
  *Put() = true;
}

}  // namespace quarnel::win32
