#include "standin/server/automation_object.hpp"

#include <new>
#include <stdexcept>
#include <string_view>
#include <variant>

#include "common/win32/utf16.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/variant.hpp"
#include "standin/model/failures.hpp"
#include "standin/server/dispids.hpp"

namespace quarnel::standin::server {
namespace {

constexpr std::uint32_t kControlFacility = 0x800A0000u;

excel::CallKind KindOf(WORD flags) {
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return excel::CallKind::Put;
  if (flags & DISPATCH_PROPERTYGET) return excel::CallKind::Get;
  return excel::CallKind::Method;
}

// Excel answers "no workbook" and "no sheet" with Nothing, which a client may test with Is Nothing.
bool AnswersAnObject(const std::string& folded) {
  return folded == "activeworkbook" || folded == "activesheet" || folded == "selection";
}

// The model's application goes out as the session's one application object, which also answers
// the server's own members; every other object in a wrapper of its own.
IDispatch* DispatchOf(const std::shared_ptr<Session>& session, const excel::Object& object) {
  if (!object) return nullptr;
  if (session->application && object == session->model.Application()) {
    session->application->AddRef();
    return session->application;
  }
  return Wrap(session, object).Detach();
}

void ToResult(const std::shared_ptr<Session>& session, const std::string& folded, const excel::Value& value,
              VARIANT& out) {
  if (const auto* object = std::get_if<excel::Object>(&value)) {
    V_VT(&out) = VT_DISPATCH;
    V_DISPATCH(&out) = DispatchOf(session, *object);
    return;
  }
  if (std::holds_alternative<std::monostate>(value) && AnswersAnObject(folded)) {
    V_VT(&out) = VT_DISPATCH;
    V_DISPATCH(&out) = nullptr;
    return;
  }
  // A range partly merged: Excel's Null, which the model has no value for.
  if (std::holds_alternative<std::monostate>(value) && folded == "mergecells") {
    V_VT(&out) = VT_NULL;
    return;
  }
  win32::ToVariant(value, out);
}

// GetIDsOfNames has no EXCEPINFO, so what it can say of busy is its HRESULT. Excel answers a name
// from its type information without running anything, so while it turns Invoke away inside
// EXCEPINFO the look-up itself still succeeds.
HRESULT BusyNameAnswer(BusyKind busy) {
  switch (busy) {
    case BusyKind::Rejected: return RPC_E_CALL_REJECTED;
    case BusyKind::RetryLater: return RPC_E_SERVERCALL_RETRYLATER;
    case BusyKind::Ignored: return static_cast<HRESULT>(kIgnored);
    default: return S_OK;
  }
}

// An Excel without the language pack of the caller's locale refuses the call before it runs it;
// a busy Excel's message filter turns the call away before that.
bool LocaleRefused(const Session& session, LCID locale) {
  return session.onlyLocale != 0 && locale != session.onlyLocale &&
         SUCCEEDED(BusyNameAnswer(session.model.Busy()));
}

}  // namespace

AutomationObject::AutomationObject(std::shared_ptr<Session> session, excel::Object target)
    : session_(std::move(session)), target_(std::move(target)) {}

HRESULT AutomationObject::QueryInterface(REFIID iid, void** out) {
  if (out && iid == IID_IExternalConnection) {
    *out = static_cast<IExternalConnection*>(&connections_);
    AddRef();
    return S_OK;
  }
  return ComObject::QueryInterface(iid, out);
}

DWORD AutomationObject::Connections::AddConnection(DWORD type, DWORD) {
  Session& session = *outer_.session_;
  if (type & EXTCONN_STRONG) ++session.connections;
  return static_cast<DWORD>(session.connections);
}

DWORD AutomationObject::Connections::ReleaseConnection(DWORD type, DWORD, BOOL) {
  Session& session = *outer_.session_;
  if ((type & EXTCONN_STRONG) && session.connections > 0) --session.connections;
  return static_cast<DWORD>(session.connections);
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids || count == 0) return E_INVALIDARG;
  try {
    const std::string member = win32::ToUtf8(names[0] ? names[0] : L"");
    if (!IsPrivate(FoldCase(member))) {
      ++session_->get_ids_of_names;
      if (const HRESULT busy = BusyNameAnswer(session_->model.Busy()); FAILED(busy)) return busy;
      if (LocaleRefused(*session_, locale)) return TYPE_E_INVDATAREAD;
    }
    ids[0] = DispIdOf(member);
    // Excel's members take no named arguments from us.
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* info, UINT* badArgument) {
  // Even the member's name takes memory: nothing may leave a COM method.
  try {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    const std::optional<std::string> member = MemberOf(id);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    const excel::CallKind kind = KindOf(flags);
    if (params->cNamedArgs > 1 ||
        (params->cNamedArgs == 1 &&
         (kind != excel::CallKind::Put || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))) {
      return DISP_E_NONAMEDARGS;
    }
    if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;
    if (IsPrivate(*member)) return Run(*member, kind, *params, result, info, badArgument);

    ++session_->invokes;
    const auto wait = session_->pacing.Take();
    const HRESULT hr = LocaleRefused(*session_, locale)
                           ? TYPE_E_INVDATAREAD
                           : Run(*member, kind, *params, result, info, badArgument);
    // A plain sleep: a hung Excel takes no messages and answers no other call meanwhile.
    if (wait.count() > 0) Sleep(static_cast<DWORD>(wait.count()));
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT AutomationObject::Run(const std::string& member, excel::CallKind kind, const DISPPARAMS& params,
                              VARIANT* result, EXCEPINFO* info, UINT* badArgument) {
  HRESULT hr = S_OK;
  try {
    // DISPPARAMS holds the last argument first; a put's value is rgvarg[0], so it ends up last.
    std::vector<excel::Value> args;
    args.reserve(params.cArgs);
    for (UINT i = params.cArgs; i-- > 0;) {
      try {
        args.push_back(FromArgument(params.rgvarg[i]));
      } catch (const Failure&) {
        if (badArgument) *badArgument = i;
        throw;
      }
    }
    const excel::Value answer = Answer(member, kind, args);
    if (result) {
      VariantInit(result);
      ToResult(session_, member, answer, *result);
    }
  } catch (const Failure& failure) {
    hr = ReportFailure(failure, info);
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    // A set-up member used where the model cannot follow (no sheet): tell the test why.
    hr = ReportFailure(Failure(errors::kApplicationDefined, error.what()), info);
  } catch (...) {
    hr = E_UNEXPECTED;
  }
  try {
    session_->AfterCall();
  } catch (...) {
    // Drawing is a courtesy; the call's answer stands.
  }
  return hr;
}

excel::Value AutomationObject::Answer(const std::string& folded, excel::CallKind kind,
                                      std::span<const excel::Value> args) {
  return target_.Get()->Invoke(folded, kind, args);
}

Microsoft::WRL::ComPtr<IDispatch> Wrap(const std::shared_ptr<Session>& session, const excel::Object& target) {
  Microsoft::WRL::ComPtr<IDispatch> object;
  object.Attach(new AutomationObject(session, target));
  return object;
}

HRESULT ReportFailure(const Failure& failure, EXCEPINFO* info) {
  const std::int32_t number = failure.Number();
  if (number == kCallRejected || number == kRetryLater || number == kIgnored || number == kDisconnected) {
    return static_cast<HRESULT>(number);
  }
  HRESULT scode = E_FAIL;
  if (number >= 1 && number <= 0xFFFF) {
    scode = static_cast<HRESULT>(kControlFacility | static_cast<std::uint32_t>(number));
  } else if (number < 0) {
    scode = static_cast<HRESULT>(number);
  }
  if (!info) return scode;
  // Filled in at once, not deferred as Excel does: Wine's stub hands pfnDeferredFillIn across to the
  // client as a bare address without calling it, and the client would call into nowhere.
  *info = EXCEPINFO{};
  info->scode = scode;
  try {
    win32::Bstr source = win32::Bstr::FromUtf8("Microsoft Excel");
    win32::Bstr description = win32::Bstr::FromUtf8(failure.Description());
    info->bstrSource = source.Release();
    info->bstrDescription = description.Release();
  } catch (...) {
    // Without its texts the exception still carries its code.
  }
  return DISP_E_EXCEPTION;
}

excel::Value FromArgument(const VARIANT& argument) {
  const VARIANT* value = &argument;
  if (V_VT(value) == (VT_BYREF | VT_VARIANT)) value = V_VARIANTREF(value);
  if (!value) return std::monostate();
  const VARTYPE type = V_VT(value) & static_cast<VARTYPE>(~VT_BYREF);
  if (type == VT_DISPATCH || type == VT_UNKNOWN) {
    IUnknown* unknown = (V_VT(value) & VT_BYREF) ? *V_UNKNOWNREF(value) : V_UNKNOWN(value);
    if (!unknown) return excel::Object();
    Microsoft::WRL::ComPtr<IDispatch> ours;
    if (SUCCEEDED(
            unknown->QueryInterface(kAutomationObjectIid, reinterpret_cast<void**>(ours.GetAddressOf())))) {
      return static_cast<AutomationObject*>(ours.Get())->Target();
    }
  }
  return win32::FromVariant(*value);
}

}  // namespace quarnel::standin::server
