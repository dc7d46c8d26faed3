#include "excel/win32/dispatch.hpp"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/text.hpp"
#include "common/trace.hpp"
#include "common/win32/utf16.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/com_failure.hpp"
#include "excel/win32/patient_calls.hpp"
#include "excel/win32/variant.hpp"

namespace quarnel::win32 {
namespace {

using Clock = std::chrono::steady_clock;

// Calls refused that close after an earlier give-up belong to the same command.
constexpr auto kStreakGap = std::chrono::seconds(1);

constexpr LCID kEnglish = 1033;

struct VariantSlots {
  using Type = std::vector<VARIANT>;
  static Type Empty() noexcept { return {}; }
  static bool IsValid(const Type& slots) noexcept { return !slots.empty(); }
  static bool Close(const Type& slots) noexcept {
    bool cleared = true;
    for (const VARIANT& slot : slots) cleared = VariantValue::Close(slot) && cleared;
    return cleared;
  }
};

// The arguments as IDispatch wants them: last first.
class Arguments : public Owner<VariantSlots> {
 public:
  // Each slot starts as VT_EMPTY; those filled before a conversion that throws go with the owner.
  explicit Arguments(std::span<const excel::Value> args) : Owner(std::vector<VARIANT>(args.size())) {
    for (std::size_t i = 0; i < args.size(); ++i) ToVariant(args[i], Held()[args.size() - 1 - i]);
  }

  VARIANTARG* Data() noexcept { return Held().empty() ? nullptr : Held().data(); }
  UINT Count() const noexcept { return static_cast<UINT>(Get().size()); }
};

// What a cached DISPID answers when the object behind it no longer has that member under it.
bool StaleId(HRESULT hr) { return hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_UNKNOWNNAME; }

// Makes `attempt(locale)` until Excel answers it or the wait is over. A busy answer, or a locale
// turned away, means Excel ran nothing, so trying again is safe.
template <typename Attempt>
HRESULT PersistIn(const BusyRetry& retry, CallContext& context, Clock::time_point deadline,
                  bool answerShowsExcelFree, Attempt&& attempt) {
  for (;;) {
    const HRESULT hr = attempt(context.locale);
    // Excel without the language pack of the caller's locale: this call and every later one go
    // in English.
    if (hr == TYPE_E_INVDATAREAD && context.locale != kEnglish) {
      trace::PassedOver("the user's locale, now English", FailureFromHresult(hr));
      context.locale = kEnglish;
      continue;
    }
    if (!IsBusy(hr)) {
      if (answerShowsExcelFree) context.gaveUpAt = {};
      return hr;
    }
    const auto now = Clock::now();
    const bool stillBusy = context.gaveUpAt != Clock::time_point{} && now - context.gaveUpAt < kStreakGap;
    if (now >= deadline || stillBusy) {
      context.gaveUpAt = now;
      return hr;
    }
    retry.wait(
        std::chrono::ceil<std::chrono::milliseconds>(std::min<Clock::duration>(retry.pause, deadline - now)));
  }
}

}  // namespace

class NameCache {
 public:
  std::optional<DISPID> Find(const std::string& folded) const {
    const auto found = ids_.find(folded);
    if (found == ids_.end()) return std::nullopt;
    return found->second;
  }
  void Store(const std::string& folded, DISPID id) { ids_[folded] = id; }
  void Forget(const std::string& folded) { ids_.erase(folded); }

  // Held here, so the results of one call site share it however briefly each of them lives.
  std::shared_ptr<NameCache> Child(const std::string& folded) {
    auto& child = children_[folded];
    if (!child) child = std::make_shared<NameCache>();
    return child;
  }

 private:
  std::unordered_map<std::string, DISPID> ids_;
  std::unordered_map<std::string, std::shared_ptr<NameCache>> children_;
};

std::shared_ptr<NameCache> MakeNameCache() { return std::make_shared<NameCache>(); }

DispatchClient::DispatchClient(Microsoft::WRL::ComPtr<IDispatch> target, BusyRetry retry,
                               std::shared_ptr<NameCache> names, std::shared_ptr<CallContext> context)
    : target_(std::move(target)), retry_(retry), names_(std::move(names)), context_(std::move(context)) {
  if (!names_) names_ = MakeNameCache();
  if (!context_) context_ = std::make_shared<CallContext>();
}

void WaitAfresh(CallContext& context) noexcept { context.gaveUpAt = {}; }

HRESULT WaitOutBusy(const BusyRetry& retry, CallContext& context, const std::function<HRESULT()>& attempt) {
  return PersistIn(retry, context, Clock::now() + retry.limit, false, [&](LCID) { return attempt(); });
}

template <typename Attempt>
HRESULT DispatchClient::Persist(Deadline deadline, bool answerShowsExcelFree, Attempt&& attempt) {
  return PersistIn(retry_, *context_, deadline, answerShowsExcelFree, attempt);
}

DISPID DispatchClient::Resolve(std::string_view member, Deadline deadline) {
  std::wstring name = ToUtf16(member);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  // A name look-up proves nothing: Excel answers names from its type information even while it
  // turns every Invoke away.
  const HRESULT hr = Persist(
      deadline, false, [&](LCID locale) { return target_->GetIDsOfNames(IID_NULL, names, 1, locale, &id); });
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return id;
}

excel::Value DispatchClient::Invoke(std::string_view member, excel::CallKind kind,
                                    std::span<const excel::Value> args) {
  const CallUnderWay underWay;
  const Deadline deadline = Clock::now() + retry_.limit;
  // Excel's member names are ASCII; folding only A to Z keeps any other text as it is.
  const std::string folded = AsciiLower(member);
  const std::optional<DISPID> known = names_->Find(folded);
  DISPID id = known ? *known : Resolve(member, deadline);
  if (!known) names_->Store(folded, id);

  Arguments arguments(args);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{arguments.Data(), nullptr, arguments.Count(), 0};
  const bool put = kind == excel::CallKind::Put;
  if (put && params.cArgs > 0) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  // Excel answers some members only as a method ("Add") and others only as a property.
  const WORD flags = put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  Variant result;
  ExcepInfo exception;
  EXCEPINFO& info = exception.Get();
  UINT badArgument = 0;
  const auto attempt = [&](LCID locale) {
    exception.Reset();
    const HRESULT hr = target_->Invoke(id, IID_NULL, locale, flags, &params, put ? nullptr : result.Out(),
                                       &info, &badArgument);
    // VBA_E_IGNORE, or a locale turned away, may come as the exception's scode: the same answer.
    if (hr != DISP_E_EXCEPTION) return hr;
    const HRESULT inside = RetryableException(info);
    return inside != S_OK ? inside : hr;
  };
  HRESULT hr = Persist(deadline, true, attempt);
  // An object reached the same way as its siblings may still number its members differently.
  if (known && StaleId(hr)) {
    names_->Forget(folded);
    id = Resolve(member, deadline);
    names_->Store(folded, id);
    hr = Persist(deadline, true, attempt);
  }
  // Not kept when even a fresh look-up fails: the next call would only pay for the refresh again.
  if (StaleId(hr)) names_->Forget(folded);
  // The last answer's own words, whether it came bare or inside the exception.
  if (hr == DISP_E_EXCEPTION || (FAILED(hr) && hr == info.scode)) throw FailureFromException(info);
  exception.Reset();
  if (FAILED(hr)) throw FailureFromHresult(hr);
  return Answer(result.Get(), folded);
}

excel::Value DispatchClient::Answer(const VARIANT& answer, const std::string& folded) const {
  if (V_VT(&answer) == VT_DISPATCH && V_DISPATCH(&answer)) {
    return excel::Object(std::make_shared<DispatchClient>(
        Microsoft::WRL::ComPtr<IDispatch>(V_DISPATCH(&answer)), retry_, names_->Child(folded), context_));
  }
  return FromVariant(answer, retry_, context_);
}

excel::Object WrapDispatch(IDispatch* target, BusyRetry retry, std::shared_ptr<CallContext> context,
                           std::shared_ptr<NameCache> names) {
  if (!target) return {};
  return excel::Object(std::make_shared<DispatchClient>(Microsoft::WRL::ComPtr<IDispatch>(target), retry,
                                                        std::move(names), std::move(context)));
}

}  // namespace quarnel::win32
