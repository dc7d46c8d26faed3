#include "standin/server/window_object.hpp"

#include <oleacc.h>

#include <atomic>
#include <string>

#include "common/win32/utf16.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin::server {
namespace {

constexpr DISPID kApplication = 1;
constexpr DISPID kCaption = 2;

// Excel's Window object, as far as a client finding Excel through its window needs it.
class WindowObject final : public IDispatch {
 public:
  WindowObject(Microsoft::WRL::ComPtr<IDispatch> application, std::wstring caption)
      : application_(std::move(application)), caption_(std::move(caption)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    const std::string name = FoldCase(win32::ToUtf8(names[0]));
    ids[0] = name == "application" ? kApplication : name == "caption" ? kCaption : DISPID_UNKNOWN;
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (id != kApplication && id != kCaption) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    if (!result) return S_OK;
    VariantInit(result);
    if (id == kApplication) {
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = application_.Get();
      application_->AddRef();
    } else {
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = SysAllocStringLen(caption_.data(), static_cast<UINT>(caption_.size()));
    }
    return S_OK;
  }

 private:
  Microsoft::WRL::ComPtr<IDispatch> application_;
  std::wstring caption_;
  std::atomic<ULONG> references_{1};
};

}  // namespace

std::optional<LRESULT> NativeObjectAnswer(Session& session, WPARAM wParam, LPARAM lParam) {
  if (static_cast<LONG>(lParam) != OBJID_NATIVEOM || !session.application) return std::nullopt;
  const auto book = session.model.State().ActiveWorkbook();
  if (!book) return std::nullopt;
  Microsoft::WRL::ComPtr<IDispatch> window;
  window.Attach(new WindowObject(session.application, win32::ToUtf16(book->name)));
  return LresultFromObject(IID_IDispatch, wParam, window.Get());
}

}  // namespace quarnel::standin::server
