#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <thread>
#include <vector>

#include "excel/win32/com.hpp"
#include "excel/win32/patient_calls.hpp"
#include "test_window.hpp"

namespace quarnel::win32 {
namespace {

using namespace std::chrono_literals;
using Microsoft::WRL::ComPtr;

// The filter that the thread has registered, as COM would ask it.
ComPtr<IMessageFilter> RegisteredFilter() {
  ComPtr<IMessageFilter> filter;
  CoRegisterMessageFilter(nullptr, filter.GetAddressOf());
  CoRegisterMessageFilter(filter.Get(), nullptr);
  return filter;
}

int nulls = 0;
LRESULT CALLBACK CountNulls(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NULL) ++nulls;
  return DefWindowProcW(window, message, wParam, lParam);
}

class PatientCallsTest : public ::testing::Test {
 protected:
  ComInit com;
  const test_support::TestWindow counting{L"QuarnelPatienceTest", 0, CountNulls};
  HWND window = counting.Get();
  std::vector<std::chrono::seconds> asked;
  std::deque<bool> answers;
  PatientCalls patience{window, 15s, [this](std::chrono::seconds waited) {
                          asked.push_back(waited);
                          const bool keep = answers.front();
                          answers.pop_front();
                          return keep;
                        }};
};

// COM tells the filter how long the call has waited each time a message arrives.
TEST_F(PatientCallsTest, AsksAfterFifteenSecondsOfOneCallAgainAfterAYesAndCancelsOnANo) {
  const ComPtr<IMessageFilter> filter = RegisteredFilter();
  ASSERT_TRUE(filter);
  answers = {true, false, true};
  struct Step {
    DWORD waitedMs;
    DWORD expected;
  };
  const Step steps[] = {
      {0, PENDINGMSG_WAITDEFPROCESS},
      {14'999, PENDINGMSG_WAITDEFPROCESS},
      {15'000, PENDINGMSG_WAITDEFPROCESS},  // asked: yes
      {29'000, PENDINGMSG_WAITDEFPROCESS},
      {30'100, PENDINGMSG_CANCELCALL},  // asked: no
      // The next call counts from its own start.
      {200, PENDINGMSG_WAITDEFPROCESS},
      {15'500, PENDINGMSG_WAITDEFPROCESS},  // asked: yes
  };
  for (const Step& step : steps) {
    EXPECT_EQ(filter->MessagePending(nullptr, step.waitedMs, PENDINGTYPE_TOPLEVEL), step.expected)
        << step.waitedMs << " ms";
  }
  EXPECT_EQ(asked, (std::vector<std::chrono::seconds>{15s, 30s, 15s}));
  EXPECT_TRUE(answers.empty());
  // Rejected calls are the client's own to retry.
  EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), static_cast<DWORD>(-1));
}

// Closed, a registration puts back the filter that was there before and lets go of both.
TEST(MessageFilterRegistrationTest, PutsBackTheFilterThatWasThere) {
  struct Quiet final : ComObject<IMessageFilter, Lifetime::Owned> {
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override { return 0; }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
  } before, ours;
  const ComInit com;
  ASSERT_EQ(CoRegisterMessageFilter(&before, nullptr), S_OK);
  MessageFilterRegistration registration = RegisterMessageFilter(&ours);
  EXPECT_EQ(RegisteredFilter().Get(), &ours);
  EXPECT_TRUE(registration.Close());
  ComPtr<IMessageFilter> now;
  CoRegisterMessageFilter(nullptr, now.GetAddressOf());
  EXPECT_EQ(now.Get(), &before);
  now.Reset();
  EXPECT_EQ(before.References(), 0u);
  EXPECT_EQ(ours.References(), 0u);
}

// Wine asks the filter only when a message arrives: the window is nudged while a call is under way.
TEST_F(PatientCallsTest, TheWindowIsNudgedOnlyWhileACallIsUnderWay) {
  const auto pumpFor = [](std::chrono::milliseconds time) {
    const auto until = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < until) {
      test_support::PumpMessages();
      std::this_thread::sleep_for(10ms);
    }
  };
  nulls = 0;
  pumpFor(700ms);
  EXPECT_EQ(nulls, 0);
  {
    const CallUnderWay call;
    pumpFor(1300ms);
  }
  pumpFor(100ms);  // a nudge sent as the call ended
  EXPECT_GE(nulls, 2);
  const int during = nulls;
  pumpFor(700ms);
  EXPECT_EQ(nulls, during);
}

}  // namespace
}  // namespace quarnel::win32
