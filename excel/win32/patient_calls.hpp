#pragma once

#include <chrono>
#include <functional>

#include "common/win32/owned.hpp"
#include "common/win32/win_headers.hpp"
#include "excel/win32/com.hpp"

namespace quarnel::win32 {

// When the last call into Excel ended, as GetTickCount and a message's time count.
DWORD LastCallEnded() noexcept;

// Marks a call into Excel as under way on this thread, so that a PatientCalls keeps count of it.
class CallUnderWay {
 public:
  CallUnderWay() noexcept;
  ~CallUnderWay();
  CallUnderWay(const CallUnderWay&) = delete;
  CallUnderWay& operator=(const CallUnderWay&) = delete;
};

// The thread's patience with an Excel that neither answers nor refuses (a long recalculation, a
// macro, a stuck add-in). During a call COM asks the thread's message filter, whenever a message
// arrives, whether to go on waiting; Wine asks only then, so while a call is under way `window` is
// sent a message every half second. Once one call has waited `patience`, `keepWaiting` is asked,
// and again `patience` after each yes; a no cancels the call, which then fails with
// RPC_E_CALL_CANCELED. For a thread in a single-threaded apartment, whose filter it replaces.
class PatientCalls {
 public:
  using Ask = std::function<bool(std::chrono::seconds waited)>;

  PatientCalls(HWND window, std::chrono::milliseconds patience, Ask keepWaiting);
  ~PatientCalls();
  PatientCalls(const PatientCalls&) = delete;
  PatientCalls& operator=(const PatientCalls&) = delete;

  class Filter;

 private:
  Microsoft::WRL::ComPtr<Filter> filter_;
  MessageFilterRegistration registration_;
  // Goes first: closing it waits for a nudge under way, which may still use the window.
  OwnedQueueTimer timer_;
};

}  // namespace quarnel::win32
