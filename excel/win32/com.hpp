#pragma once

// Small owners for the COM types that mingw-w64 has no wrappers for (no comutil, no WIL).

#include <atomic>
#include <string_view>

#include "common/win32/owned.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

namespace give_back {
inline bool FreeBstr(BSTR text) noexcept {
  SysFreeString(text);
  return true;
}
}  // namespace give_back

// A VARIANT held as a value, empty when VT_EMPTY. VariantClear gives back what a VARIANT refers to
// (a string, an object, an array), not the VARIANT's own memory, so clearing the copy that Close()
// is handed frees it once; the owner's own has already been reset to VT_EMPTY by Release().
struct VariantValue {
  using Type = VARIANT;
  static Type Empty() noexcept { return VARIANT{}; }
  static bool IsValid(const VARIANT& value) noexcept { return V_VT(&value) != VT_EMPTY; }
  static bool Close(VARIANT value) noexcept { return SUCCEEDED(VariantClear(&value)); }
};

// The three strings of an EXCEPINFO, the caller's to free whoever fills them in.
struct ExceptionStrings {
  using Type = EXCEPINFO;
  static Type Empty() noexcept { return EXCEPINFO{}; }
  static bool IsValid(const EXCEPINFO& info) noexcept {
    return info.bstrSource || info.bstrDescription || info.bstrHelpFile;
  }
  static bool Close(const EXCEPINFO& info) noexcept {
    for (const BSTR text : {info.bstrSource, info.bstrDescription, info.bstrHelpFile}) SysFreeString(text);
    return true;
  }
};

class Bstr : public Owner<PlainValue<BSTR, give_back::FreeBstr>> {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view text);
  static Bstr FromUtf8(std::string_view text);
  // Takes ownership of a string that a callee allocated.
  static Bstr Adopt(BSTR text) noexcept;

  // For out-parameters: frees what it held first.
  BSTR* Out() noexcept { return Put(); }
  std::wstring_view View() const noexcept { return {Get() ? Get() : L"", SysStringLen(Get())}; }
};

class Variant : public Owner<VariantValue> {
 public:
  VARIANT& Get() noexcept { return Held(); }
  const VARIANT& Get() const noexcept { return Owner::Get(); }
  // For out-parameters: clears what it held first.
  VARIANT* Out() noexcept { return Put(); }
};

// The exception an Invoke reports.
class ExcepInfo : public Owner<ExceptionStrings> {
 public:
  EXCEPINFO& Get() noexcept { return Held(); }
  // Frees what a previous call left, ready for the next.
  void Reset() noexcept { Close(); }
};

// IUnknown written once, for a class that implements the one COM interface `I`, and answers to
// `also` as I when given (a private marker). A counted object deletes itself at its last
// Release; one that lives on a stack, or in its owner, only counts.
enum class Lifetime { Counted, Owned };

template <typename I, Lifetime lifetime, const IID* also = nullptr>
class ComObject : public I {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(I) || (also && iid == *also)) {
      *out = static_cast<I*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (lifetime == Lifetime::Counted && left == 0) delete this;
    return left;
  }
  ULONG References() const noexcept { return references_; }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

 private:
  // A counted object starts with its creator's reference.
  std::atomic<ULONG> references_{lifetime == Lifetime::Counted ? 1u : 0u};
};

struct ComApartment {
  using Type = bool;
  static constexpr bool Empty() noexcept { return false; }
  static bool IsValid(bool entered) noexcept { return entered; }
  static bool Close(bool) noexcept {
    CoUninitialize();
    return true;
  }
};

// Enters a single-threaded apartment for the calling thread and leaves it again. A thread that is
// already in the multithreaded apartment stays there: COM still works, only differently scheduled.
class ComInit : public Owner<ComApartment> {
 public:
  ComInit();
};

namespace give_back {
inline bool RevokeActive(DWORD cookie) noexcept { return SUCCEEDED(RevokeActiveObject(cookie, nullptr)); }
inline bool RevokeClass(DWORD cookie) noexcept { return SUCCEEDED(CoRevokeClassObject(cookie)); }
}  // namespace give_back

// An object's entry in the running object table, by its cookie.
using RunningObjectEntry = Owner<PlainValue<DWORD, give_back::RevokeActive>>;
// A class object registered for other processes to create from, by its cookie.
using ClassObjectEntry = Owner<PlainValue<DWORD, give_back::RevokeClass>>;

struct FilterRegistration {
  bool registered = false;
  // The filter registered before, null when there was none; this owner holds its reference.
  IMessageFilter* previous = nullptr;
};
struct RestoreFilter {
  using Type = FilterRegistration;
  static constexpr Type Empty() noexcept { return {}; }
  static bool IsValid(const Type& registration) noexcept { return registration.registered; }
  static bool Close(const Type& registration) noexcept {
    const HRESULT hr = CoRegisterMessageFilter(registration.previous, nullptr);
    if (registration.previous) registration.previous->Release();
    return SUCCEEDED(hr);
  }
};
// A message filter registered for the thread; closed, it puts back the one that was there before.
using MessageFilterRegistration = Owner<RestoreFilter>;
// For a thread in a single-threaded apartment; throws what COM answered.
MessageFilterRegistration RegisterMessageFilter(IMessageFilter* filter);

}  // namespace quarnel::win32
