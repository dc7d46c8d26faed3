#pragma once

// An in-process IDispatch that records what the client sends and answers as a test scripts it.

#include <cwctype>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/com_failure.hpp"

namespace quarnel::test_support {

inline constexpr char kBusyText[] = "Excel 正忙（可能正在编辑单元格），请完成编辑后再试。";

// Fills an exception in late, as Excel does when it is busy: VBA_E_IGNORE with Excel's own words.
inline HRESULT STDAPICALLTYPE FillIgnored(EXCEPINFO* info) {
  info->scode = win32::kVbaIgnore;
  info->bstrDescription = SysAllocString(L"Microsoft Excel 正忙。");
  return S_OK;
}

struct RecordedCall {
  DISPID id = 0;
  LCID locale = 0;
  WORD flags = 0;
  std::vector<win32::Variant> args;  // as sent: last argument first
  std::vector<DISPID> named;
  bool wantsResult = false;
};

class FakeDispatch final : public win32::ComObject<IDispatch, win32::Lifetime::Owned> {
 public:
  // Answers an Invoke: fill `result` (may be null) or `info`, return the HRESULT.
  using Answer = std::function<HRESULT(const RecordedCall&, VARIANT* result, EXCEPINFO* info)>;

  FakeDispatch() { AddMember(L"Value", 1); }

  void AddMember(const std::wstring& name, DISPID id) { members_[Lower(name)] = id; }

  Answer answer = [](const RecordedCall&, VARIANT*, EXCEPINFO*) { return S_OK; };
  // Calls refused as busy Excel refuses them, before they are answered.
  int rejectNames = 0;
  int rejectInvokes = 0;
  HRESULT rejection = RPC_E_CALL_REJECTED;
  // Refuses every call made in another locale, as Excel without that language pack does.
  LCID onlyLocale = 0;
  // ...and says so inside EXCEPINFO (DISP_E_EXCEPTION) rather than as Invoke's own result.
  bool refuseInException = false;

  std::vector<std::wstring> lookedUp;
  std::vector<LCID> lookupLocales;
  int nameCalls = 0;
  int invokeCalls = 0;
  std::vector<RecordedCall> calls;
  ULONG references() const { return References(); }

  // Lives on the test's stack: counts references but never deletes itself.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    ++nameCalls;
    if (rejectNames > 0) {
      --rejectNames;
      return rejection;
    }
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      lookedUp.emplace_back(names[i]);
      lookupLocales.push_back(locale);
      const auto found = members_.find(Lower(names[i]));
      ids[i] = found == members_.end() ? DISPID_UNKNOWN : found->second;
      if (found == members_.end()) hr = DISP_E_UNKNOWNNAME;
    }
    return Refuses(locale) ? TYPE_E_INVDATAREAD : hr;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* info, UINT*) override {
    ++invokeCalls;
    if (rejectInvokes > 0) {
      --rejectInvokes;
      return rejection;
    }
    RecordedCall call;
    call.id = id;
    call.locale = locale;
    call.flags = flags;
    call.wantsResult = result != nullptr;
    for (UINT i = 0; i < params->cArgs; ++i) {
      win32::Variant copy;
      VariantCopy(copy.Out(), &params->rgvarg[i]);
      call.args.push_back(std::move(copy));
    }
    call.named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
    calls.push_back(std::move(call));
    if (Refuses(locale)) {
      if (!refuseInException || !info) return TYPE_E_INVDATAREAD;
      info->scode = TYPE_E_INVDATAREAD;
      info->bstrDescription = SysAllocString(L"语言不受支持");
      return DISP_E_EXCEPTION;
    }
    return answer(calls.back(), result, info);
  }

 private:
  bool Refuses(LCID locale) const { return onlyLocale != 0 && locale != onlyLocale; }
  static std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
  }
  std::map<std::wstring, DISPID> members_;
};

// Puts `object` into `result`, with the reference the caller will release.
inline HRESULT HandOut(FakeDispatch& object, VARIANT* result) {
  V_VT(result) = VT_DISPATCH;
  V_DISPATCH(result) = &object;
  object.AddRef();
  return S_OK;
}

// An answer that gives `value` back to every call.
inline FakeDispatch::Answer Answering(std::int32_t value) {
  return [value](const RecordedCall&, VARIANT* result, EXCEPINFO*) {
    V_VT(result) = VT_I4;
    V_I4(result) = value;
    return S_OK;
  };
}

// An answer that hands out `child` for every call.
inline FakeDispatch::Answer HandingOut(FakeDispatch& child) {
  return [&child](const RecordedCall&, VARIANT* result, EXCEPINFO*) { return HandOut(child, result); };
}

}  // namespace quarnel::test_support
