#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "common/win32/win_headers.hpp"
#include "excel/automation.hpp"
#include "excel/win32/excel_windows.hpp"
#include "excel/win32/message_wait.hpp"

namespace quarnel::win32 {

// How long a call that busy Excel refuses is tried again. Wine never asks a message filter to
// retry, so the client retries itself; the limit covers one member call, look-up included.
// Between tries the thread's windows keep taking their messages.
struct BusyRetry {
  std::chrono::milliseconds limit{10'000};
  std::chrono::milliseconds pause{50};
  void (*wait)(std::chrono::milliseconds) = &WaitTakingMessages;
  // Each look at Excel's window in the search for it.
  std::chrono::milliseconds windowAnswer = kWindowAnswerLimit;
};

// What Excel's objects share with all they lead to: after Excel stayed busy through one whole
// wait, calls that follow straight after give up at once, so a command meets one wait, not one per
// call; and the locale Excel takes, the user's until Excel turns it away for want of its language
// pack (as Excel without a Chinese language pack does on Chinese Windows), then 1033 as VBA uses.
struct CallContext {
  std::chrono::steady_clock::time_point gaveUpAt{};
  LCID locale = LOCALE_USER_DEFAULT;
};

// The next call waits out a busy Excel in full, even right after a call gave up on it.
void WaitAfresh(CallContext& context) noexcept;

// Makes `attempt` until it is not turned away as busy, as every call to Excel is made: one wait
// shared through `context` with the calls of the same command. An answer here proves nothing of
// Excel's calls, so it leaves a give-up standing.
HRESULT WaitOutBusy(const BusyRetry& retry, CallContext& context, const std::function<HRESULT()>& attempt);

// The DISPIDs known for the objects that one call site reaches: all results of "member M of
// object X" share one cache, a child of X's.
class NameCache;
std::shared_ptr<NameCache> MakeNameCache();

// A late-bound object over an IDispatch. A member's DISPID is asked for the first time and then
// reused. Objects it returns retry as it does and share its look-ups.
class DispatchClient final : public excel::Dispatch {
 public:
  explicit DispatchClient(Microsoft::WRL::ComPtr<IDispatch> target, BusyRetry retry = {},
                          std::shared_ptr<NameCache> names = nullptr,
                          std::shared_ptr<CallContext> context = nullptr);

  excel::Value Invoke(std::string_view member, excel::CallKind kind,
                      std::span<const excel::Value> args) override;

  IDispatch* Raw() const noexcept { return target_.Get(); }

 private:
  using Deadline = std::chrono::steady_clock::time_point;
  // Makes `attempt(locale)` until Excel answers it or the wait is over.
  template <typename Attempt>
  HRESULT Persist(Deadline deadline, bool answerShowsExcelFree, Attempt&& attempt);
  // The one place names become DISPIDs.
  DISPID Resolve(std::string_view member, Deadline deadline);
  // What Invoke returns for the answer to `folded`: objects share this one's context and look-ups.
  excel::Value Answer(const VARIANT& answer, const std::string& folded) const;

  Microsoft::WRL::ComPtr<IDispatch> target_;
  BusyRetry retry_;
  std::shared_ptr<NameCache> names_;
  std::shared_ptr<CallContext> context_;
};

// An object calling `target`, with a cache of its own unless `names` is given; empty when `target`
// is null.
excel::Object WrapDispatch(IDispatch* target, BusyRetry retry = {},
                           std::shared_ptr<CallContext> context = nullptr,
                           std::shared_ptr<NameCache> names = nullptr);

}  // namespace quarnel::win32
