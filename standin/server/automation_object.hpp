#pragma once

#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
#include "excel/automation.hpp"
#include "excel/win32/com.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// Asked of an incoming IDispatch to learn whether it is one of ours, and so which model object it is.
inline constexpr IID kAutomationObjectIid = {
    0x8c9b43bb, 0x4da9, 0x4135, {0xa9, 0xcf, 0x2d, 0x46, 0x2a, 0x04, 0xe9, 0x21}};

// One model object as an IDispatch. Members are resolved by the model at Invoke time, so any name
// gets a DISPID and an unknown member fails there with 438, as the client expects. Calls other
// than the server's own are counted, held back as the session's pacing says, and refused in a
// locale the session does not take.
class AutomationObject : public win32::ComObject<IDispatch, win32::Lifetime::Counted, &kAutomationObjectIid> {
 public:
  AutomationObject(std::shared_ptr<Session> session, excel::Object target);
  // Also IExternalConnection, through which COM tells the session of every client's hold.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* info, UINT* badArgument) override;

  const excel::Object& Target() const noexcept { return target_; }

 protected:
  // Members of the server's own, outside the model: not counted, and answered while busy.
  virtual bool IsPrivate(const std::string& /*folded*/) const { return false; }
  // Throws Failure.
  virtual excel::Value Answer(const std::string& folded, excel::CallKind kind,
                              std::span<const excel::Value> args);

  Session& Shared() const noexcept { return *session_; }

 private:
  // Answers the call and tells the session, whatever the answer.
  HRESULT Run(const std::string& member, excel::CallKind kind, const DISPPARAMS& params, VARIANT* result,
              EXCEPINFO* info, UINT* badArgument);

  // The strong connections COM's stub manager reports, counted for the whole session: an Excel its
  // user closed stays until no client holds any of its objects.
  class Connections final : public IExternalConnection {
   public:
    explicit Connections(AutomationObject& outer) : outer_(outer) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      return outer_.QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_.Release(); }
    DWORD STDMETHODCALLTYPE AddConnection(DWORD type, DWORD) override;
    DWORD STDMETHODCALLTYPE ReleaseConnection(DWORD type, DWORD, BOOL) override;

   private:
    AutomationObject& outer_;
  };

  std::shared_ptr<Session> session_;
  excel::Object target_;
  Connections connections_{*this};
};

// A new reference to an object wrapping `target`.
Microsoft::WRL::ComPtr<IDispatch> Wrap(const std::shared_ptr<Session>& session, const excel::Object& target);

// What Invoke returns for a failure: busy and disconnected as COM itself reports them (and a bare
// VBA_E_IGNORE), everything else as Excel does, through EXCEPINFO (1004 becomes scode 0x800A03EC,
// the busy 50290 scode 0x800AC472).
HRESULT ReportFailure(const Failure& failure, EXCEPINFO* info);

// An argument as the model takes it: our own objects come back as the model objects they wrap.
excel::Value FromArgument(const VARIANT& argument);

}  // namespace quarnel::standin::server
