// How the IDispatch client meets a busy Excel: which answers mean busy, how long it waits them
// out, and that the thread's windows keep answering meanwhile.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "excel/win32/com_failure.hpp"
#include "excel/win32/dispatch.hpp"
#include "excel/win32/message_wait.hpp"
#include "excel/win32/variant.hpp"
#include "excel_fake_dispatch.hpp"
#include "failure_of.hpp"
#include "test_window.hpp"

namespace quarnel::win32 {
namespace {

using excel::Object;
using excel::Value;
using test_support::FakeDispatch;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr BusyRetry kQuickRetry{300ms, 5ms};
using test_support::FillIgnored;
using test_support::kBusyText;

// Answers "ok", after `ignored` answers of VBA_E_IGNORE inside a deferred EXCEPINFO, as Excel does.
FakeDispatch::Answer IgnoredThenOk(int& ignored) {
  return [&ignored](const test_support::RecordedCall&, VARIANT* result, EXCEPINFO* info) {
    if (ignored > 0) {
      --ignored;
      info->pfnDeferredFillIn = FillIgnored;
      return DISP_E_EXCEPTION;
    }
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocString(L"ok");
    return S_OK;
  };
}

class DispatchBusyTest : public ::testing::Test {
 protected:
  ComInit com;
  FakeDispatch fake;
};

TEST_F(DispatchBusyTest, EveryBusyAnswerIsWaitedOutForNamesAndInvokesAlike) {
  int ignored = 0;
  const struct {
    HRESULT busy;
    int names;
    int invokes;
  } cases[] = {{RPC_E_CALL_REJECTED, 2, 2},
               {RPC_E_SERVERCALL_RETRYLATER, 2, 2},
               {kVbaIgnore, 2, 2},
               {RPC_E_SERVERCALL_RETRYLATER, 2, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.busy));
    FakeDispatch target;
    target.answer = IgnoredThenOk(ignored);
    target.rejection = c.busy;
    target.rejectNames = c.names;
    target.rejectInvokes = c.invokes;
    EXPECT_EQ(WrapDispatch(&target, kQuickRetry).Get("Value"), Value(std::string("ok")));
    EXPECT_EQ(target.nameCalls, c.names + 1);
    EXPECT_EQ(target.invokeCalls, c.invokes + 1);
    EXPECT_EQ(target.calls.size(), 1u);
  }

  // VBA_E_IGNORE as the scode of an exception, filled in late.
  ignored = 3;
  fake.answer = IgnoredThenOk(ignored);
  EXPECT_EQ(WrapDispatch(&fake, kQuickRetry).Get("Value"), Value(std::string("ok")));
  EXPECT_EQ(fake.calls.size(), 4u);
}

// Turned away for good, or answered VBA_E_IGNORE for good: given up clearly after the limit.
TEST_F(DispatchBusyTest, AnExcelThatStaysBusyIsReportedAsBusyWhicheverWayItSaysSo) {
  for (const bool rejects : {true, false}) {
    SCOPED_TRACE(rejects);
    FakeDispatch target;
    int ignored = 1'000'000;
    target.answer = IgnoredThenOk(ignored);
    target.rejectInvokes = rejects ? 1'000'000 : 0;
    const auto start = Clock::now();
    const Failure failure =
        test_support::FailureOf([&] { WrapDispatch(&target, kQuickRetry).Put("Value", true); });
    EXPECT_EQ(failure.Number(), rejects ? static_cast<std::int32_t>(RPC_E_CALL_REJECTED) : 50290);
    EXPECT_EQ(failure.Description(), kBusyText);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, kQuickRetry.limit);
    EXPECT_LT(elapsed, kQuickRetry.limit + 1s);
    EXPECT_GT(target.invokeCalls, 3);
    EXPECT_EQ(target.calls.empty(), rejects);
  }
}

int pauses = 0;
void CountPause(std::chrono::milliseconds) { ++pauses; }

TEST_F(DispatchBusyTest, TriesArePacedByTheWaitThatKeepsWindowsAnswering) {
  EXPECT_EQ(BusyRetry{}.wait, &WaitTakingMessages);
  pauses = 0;
  fake.rejectInvokes = 4;
  WrapDispatch(&fake, BusyRetry{300ms, 5ms, &CountPause}).Get("Value");
  EXPECT_EQ(pauses, 4);
}

TEST_F(DispatchBusyTest, AWaitAfreshIsAFullWaitRightAfterAGiveUp) {
  fake.rejectInvokes = 1'000'000;
  const auto context = std::make_shared<CallContext>();
  const Object object = WrapDispatch(&fake, kQuickRetry, context);
  EXPECT_THROW(object.Get("Value"), Failure);
  EXPECT_LT(test_support::TimeToFail([&] { object.Get("Value"); }), kQuickRetry.limit / 2);

  WaitAfresh(*context);
  EXPECT_GE(test_support::TimeToFail([&] { object.Get("Value"); }), kQuickRetry.limit);

  // Excel that becomes free during the fresh wait answers it.
  WaitAfresh(*context);
  const int triesSoFar = fake.invokeCalls;
  fake.rejectInvokes = 5;
  EXPECT_NO_THROW(object.Get("Value"));
  EXPECT_EQ(fake.invokeCalls, triesSoFar + 6);
}

// An object that comes back inside a VARIANT, as an IUnknown or by reference, belongs to the same
// command: it gives up at once on an Excel its parent just waited out.
TEST_F(DispatchBusyTest, ObjectsInsideAVariantShareTheBusyStreak) {
  fake.rejectInvokes = 1'000'000;
  const auto context = std::make_shared<CallContext>();
  EXPECT_THROW(WrapDispatch(&fake, kQuickRetry, context).Get("Value"), Failure);
  Variant v;
  fake.AddRef();
  V_VT(v.Out()) = VT_UNKNOWN;
  V_UNKNOWN(&v.Get()) = &fake;
  const Object child = excel::ToObject(FromVariant(v.Get(), kQuickRetry, context));
  EXPECT_LT(test_support::TimeToFail([&] { child.Get("Value"); }), kQuickRetry.limit / 2);
}

TEST_F(DispatchBusyTest, NamesLookedUpWhileInvokeIsTurnedAwayDoNotRestartTheWait) {
  // As Excel does while it answers VBA_E_IGNORE: names resolve, calls do not.
  fake.AddMember(L"Caption", 2);
  fake.AddMember(L"Name", 3);
  fake.rejection = kVbaIgnore;
  fake.rejectInvokes = 1'000'000;
  const Object object = WrapDispatch(&fake, kQuickRetry);
  EXPECT_THROW(object.Get("Value"), Failure);
  EXPECT_LT(test_support::TimeToFail([&] {
              EXPECT_THROW(object.Get("Caption"), Failure);
              object.Get("Name");
            }),
            kQuickRetry.limit / 2);
  EXPECT_EQ(fake.lookedUp.size(), 3u);
}

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WaitTakingMessages, AnswersSentAndPostedMessagesAndLeavesTheQuitForTheLoop) {
  const test_support::TestWindow owned(L"QuarnelWaitTest", 0, CountingProcedure, L"", HWND_MESSAGE);
  const HWND window = owned.Get();
  ASSERT_NE(window, nullptr);
  int posted = 0;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&posted));

  // Another thread sends while this one waits: as a "Not Responding" check does.
  Clock::duration answeredIn{};
  bool answered = false;
  std::thread sender([&] {
    std::this_thread::sleep_for(100ms);
    const auto sent = Clock::now();
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 250, &result) != 0;
    answeredIn = Clock::now() - sent;
  });
  PostMessageW(window, WM_APP, 0, 0);
  const auto start = Clock::now();
  WaitTakingMessages(400ms);
  EXPECT_GE(Clock::now() - start, 400ms);
  sender.join();
  EXPECT_TRUE(answered);
  EXPECT_LT(answeredIn, 250ms);
  EXPECT_EQ(posted, 1);

  // A quit ends no wait early and is there for the loop afterwards, after what came before it.
  PostMessageW(window, WM_APP, 0, 0);
  PostQuitMessage(7);
  WaitTakingMessages(50ms);
  EXPECT_EQ(posted, 2);
  MSG message{};
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
}  // namespace quarnel::win32
