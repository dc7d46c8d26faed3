#pragma once

// Raw IDispatch calls on the stand-in, for what the late-bound client hides: HRESULTs, EXCEPINFO,
// DISPPARAMS; shared by the in-process and the cross-process tests of the server.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win32/utf16.hpp"
#include "excel/automation.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/dispatch.hpp"

namespace quarnel::standin::server {

inline constexpr HRESULT kExcel1004 = static_cast<HRESULT>(0x800A03EC);
inline constexpr char kApplicationDefinedText[] = "应用程序定义或对象定义错误。";

// One raw IDispatch call, for what the late-bound client hides: HRESULTs, EXCEPINFO, DISPPARAMS.
struct RawAnswer {
  HRESULT hr = S_OK;
  win32::Variant result;
  win32::ExcepInfo info;
  std::string Source() { return Text(info.Get().bstrSource); }
  std::string Description() { return Text(info.Get().bstrDescription); }
  static std::string Text(BSTR text) { return win32::ToUtf8(text ? text : L""); }
};

// What GetIDsOfNames answers for `name` in `locale`, the number it gives in `id`.
inline HRESULT NameAnswer(IDispatch* target, const wchar_t* name, LCID locale = LOCALE_USER_DEFAULT,
                          DISPID* id = nullptr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID unused = DISPID_UNKNOWN;
  return target->GetIDsOfNames(IID_NULL, names, 1, locale, id ? id : &unused);
}

inline DISPID IdOf(IDispatch* target, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(NameAnswer(target, name, LOCALE_USER_DEFAULT, &id), S_OK) << win32::ToUtf8(name);
  return id;
}

// `args` in DISPPARAMS order: last argument first.
inline std::unique_ptr<RawAnswer> RawCall(IDispatch* target, DISPID id, WORD flags,
                                          std::vector<VARIANT> args = {}, std::vector<DISPID> named = {},
                                          bool withInfo = true) {
  auto answer = std::make_unique<RawAnswer>();
  DISPPARAMS params{args.empty() ? nullptr : args.data(), named.empty() ? nullptr : named.data(),
                    static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
  UINT bad = 0;
  answer->hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, answer->result.Out(),
                              withInfo ? &answer->info.Get() : nullptr, &bad);
  for (VARIANT& arg : args) VariantClear(&arg);
  return answer;
}

inline VARIANT Long(std::int32_t value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

inline IDispatch* RawOf(const excel::Object& object) {
  return dynamic_cast<win32::DispatchClient&>(*object.Get()).Raw();
}

}  // namespace quarnel::standin::server
