#include "excel/win32/patient_calls.hpp"

#include <atomic>
#include <utility>

#include "common/trace.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/com_failure.hpp"

namespace quarnel::win32 {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr DWORD kNudgeEveryMs = 500;

std::atomic<int> callsUnderWay{0};
std::atomic<DWORD> lastCallEnded{0};

// Runs on the thread pool: wakes the window's thread only while it waits on a call.
VOID CALLBACK Nudge(PVOID window, BOOLEAN) {
  if (callsUnderWay.load() > 0) SendNotifyMessageW(static_cast<HWND>(window), WM_NULL, 0, 0);
}

}  // namespace

DWORD LastCallEnded() noexcept { return lastCallEnded.load(); }

CallUnderWay::CallUnderWay() noexcept { ++callsUnderWay; }
CallUnderWay::~CallUnderWay() {
  lastCallEnded = GetTickCount();
  --callsUnderWay;
}

class PatientCalls::Filter final : public ComObject<IMessageFilter, Lifetime::Counted> {
 public:
  Filter(milliseconds patience, Ask keepWaiting)
      : patience_(patience), keepWaiting_(std::move(keepWaiting)) {}

  // The tool serves no calls of its own.
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  // A busy Excel is waited out by the client's own loop, which Wine needs anyway.
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }

  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD tickCount, DWORD) override {
    if (asking_) return PENDINGMSG_WAITDEFPROCESS;
    const milliseconds waited(tickCount);
    // Each call counts from its own start.
    if (waited < lastWaited_) {
      askAt_ = patience_;
      stopped_ = false;
    }
    lastWaited_ = waited;
    // Wine goes on waiting for a cancelled call, and asking: the answer stands for the whole call.
    if (stopped_) return PENDINGMSG_CANCELCALL;
    if (waited < askAt_) return PENDINGMSG_WAITDEFPROCESS;
    asking_ = true;
    const auto asked = Clock::now();
    bool keep = true;
    try {
      keep = keepWaiting_(std::chrono::duration_cast<std::chrono::seconds>(waited));
    } catch (...) {
      // The question could not be shown: waiting on is what happens without one.
      trace::PassedOverCurrent("asking whether to keep waiting");
    }
    asking_ = false;
    stopped_ = !keep;
    if (stopped_) return PENDINGMSG_CANCELCALL;
    askAt_ = waited + std::chrono::duration_cast<milliseconds>(Clock::now() - asked) + patience_;
    return PENDINGMSG_WAITDEFPROCESS;
  }

 private:
  milliseconds patience_;
  Ask keepWaiting_;
  milliseconds askAt_{patience_};
  milliseconds lastWaited_{0};
  bool asking_ = false;
  bool stopped_ = false;
};

PatientCalls::PatientCalls(HWND window, milliseconds patience, Ask keepWaiting) {
  filter_.Attach(new Filter(patience, std::move(keepWaiting)));
  registration_ = RegisterMessageFilter(filter_.Get());
  if (!CreateTimerQueueTimer(timer_.Put(), nullptr, Nudge, window, kNudgeEveryMs, kNudgeEveryMs,
                             WT_EXECUTEDEFAULT)) {
    // Read before the registration's undo, on the way out, calls into COM.
    const DWORD error = GetLastError();
    timer_.Release();
    throw FailureFromHresult(HRESULT_FROM_WIN32(error));
  }
}

// Where Filter is complete.
PatientCalls::~PatientCalls() = default;

}  // namespace quarnel::win32
