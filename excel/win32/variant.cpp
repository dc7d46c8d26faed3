#include "excel/win32/variant.hpp"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>

#include "common/win32/utf16.hpp"
#include "excel/win32/com_failure.hpp"

namespace quarnel::win32 {
namespace {

// Excel's cell errors travel as VT_ERROR of the control facility: #N/A (2042) is 0x800A07FA.
constexpr std::uint32_t kControlFacility = 0x800A0000u;

// Through Double, and not VariantChangeType to VT_I4: Wine wraps a too large VT_UI4 around
// instead of reporting the overflow.
excel::Value AsNumber(const VARIANT& value, bool tryWhole) {
  Variant converted;
  const HRESULT hr = VariantChangeType(converted.Out(), const_cast<VARIANT*>(&value), 0, VT_R8);
  if (FAILED(hr)) throw FailureFromHresult(hr);
  const double number = V_R8(&converted.Get());
  if (tryWhole && number >= std::numeric_limits<std::int32_t>::min() &&
      number <= std::numeric_limits<std::int32_t>::max() && number == std::trunc(number)) {
    return static_cast<std::int32_t>(number);
  }
  return number;
}

excel::Value FromUnknown(IUnknown* unknown, const BusyRetry& retry,
                         const std::shared_ptr<CallContext>& context) {
  if (!unknown) return excel::Object();
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  if (FAILED(unknown->QueryInterface(IID_PPV_ARGS(&dispatch)))) throw errors::TypeMismatch();
  return WrapDispatch(dispatch.Get(), retry, context);
}

}  // namespace

void ToVariant(const excel::Value& value, VARIANT& out) {
  struct Visitor {
    VARIANT& out;
    void operator()(std::monostate) const { V_VT(&out) = VT_EMPTY; }
    void operator()(bool b) const {
      V_VT(&out) = VT_BOOL;
      V_BOOL(&out) = b ? VARIANT_TRUE : VARIANT_FALSE;
    }
    void operator()(std::int16_t i) const {
      V_VT(&out) = VT_I2;
      V_I2(&out) = i;
    }
    void operator()(std::int32_t i) const {
      V_VT(&out) = VT_I4;
      V_I4(&out) = i;
    }
    void operator()(double d) const {
      V_VT(&out) = VT_R8;
      V_R8(&out) = d;
    }
    void operator()(const std::string& s) const {
      BSTR text = Bstr::FromUtf8(s).Release();
      V_VT(&out) = VT_BSTR;
      V_BSTR(&out) = text;
    }
    void operator()(const excel::Object& object) const {
      IDispatch* target = nullptr;
      if (object) {
        const auto* client = dynamic_cast<const DispatchClient*>(object.Get());
        if (!client) throw errors::TypeMismatch();
        target = client->Raw();
        target->AddRef();
      }
      V_VT(&out) = VT_DISPATCH;
      V_DISPATCH(&out) = target;
    }
    void operator()(excel::ErrorValue error) const {
      V_VT(&out) = VT_ERROR;
      V_ERROR(&out) =
          static_cast<SCODE>(kControlFacility | (static_cast<std::uint32_t>(error.code) & 0xFFFFu));
    }
  };
  std::visit(Visitor{out}, value);
}

Variant ToVariant(const excel::Value& value) {
  Variant result;
  ToVariant(value, result.Get());
  return result;
}

excel::Value FromVariant(const VARIANT& value, const BusyRetry& retry,
                         const std::shared_ptr<CallContext>& context) {
  if (V_VT(&value) & VT_BYREF) {
    Variant target;
    const HRESULT hr = VariantCopyInd(target.Out(), const_cast<VARIANT*>(&value));
    if (FAILED(hr)) throw FailureFromHresult(hr);
    return FromVariant(target.Get(), retry, context);
  }
  switch (V_VT(&value)) {
    case VT_EMPTY:
    case VT_NULL: return std::monostate();
    case VT_BOOL: return V_BOOL(&value) != VARIANT_FALSE;
    case VT_I2: return std::int16_t{V_I2(&value)};
    case VT_I4: return std::int32_t{V_I4(&value)};
    case VT_R8: return V_R8(&value);
    case VT_BSTR: {
      const BSTR text = V_BSTR(&value);
      return ToUtf8(std::wstring_view(text ? text : L"", SysStringLen(text)));
    }
    case VT_DISPATCH: return WrapDispatch(V_DISPATCH(&value), retry, context);
    case VT_UNKNOWN: return FromUnknown(V_UNKNOWN(&value), retry, context);
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8: return AsNumber(value, true);
    case VT_R4:
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL: return AsNumber(value, false);
    case VT_ERROR: {
      // An omitted optional argument, not a failure.
      if (V_ERROR(&value) == DISP_E_PARAMNOTFOUND) return std::monostate();
      const auto bits = static_cast<std::uint32_t>(V_ERROR(&value));
      if ((bits & 0xFFFF0000u) == kControlFacility) {
        return excel::ErrorValue{static_cast<std::int32_t>(bits & 0xFFFFu)};
      }
      throw FailureFromHresult(V_ERROR(&value));
    }
    default: throw errors::TypeMismatch();
  }
}

}  // namespace quarnel::win32
