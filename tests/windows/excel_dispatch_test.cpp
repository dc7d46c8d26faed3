#include <gtest/gtest.h>

#include <chrono>
#include <string_view>

#include "excel/win32/dispatch.hpp"
#include "excel_fake_dispatch.hpp"
#include "failure_of.hpp"
#include "support/failure_number.hpp"

namespace quarnel::win32 {
namespace {

using excel::Object;
using excel::Value;
using test_support::FakeDispatch;
using namespace std::chrono_literals;

constexpr BusyRetry kQuickRetry{200ms, 5ms};

class DispatchClientTest : public ::testing::Test {
 protected:
  ComInit com;
  FakeDispatch fake;
};

TEST_F(DispatchClientTest, GetLooksUpTheNameAsSentAndInvokesAsPropertyOrMethod) {
  fake.AddMember(L"Count", 7);
  fake.answer = test_support::Answering(3);
  const Object object = WrapDispatch(&fake);

  EXPECT_EQ(object.Get("count"), Value(std::int32_t{3}));

  ASSERT_EQ(fake.lookedUp.size(), 1u);
  EXPECT_EQ(fake.lookedUp[0], L"count");
  EXPECT_EQ(fake.lookupLocales[0], LOCALE_USER_DEFAULT);
  ASSERT_EQ(fake.calls.size(), 1u);
  const auto& call = fake.calls[0];
  EXPECT_EQ(call.id, 7);
  EXPECT_EQ(call.locale, LOCALE_USER_DEFAULT);
  EXPECT_EQ(call.flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
  EXPECT_TRUE(call.args.empty());
  EXPECT_TRUE(call.named.empty());
  EXPECT_TRUE(call.wantsResult);
}

// Arguments go last first; a put sends its value as the named DISPID_PROPERTYPUT argument.
TEST_F(DispatchClientTest, ArgumentsGoLastFirstAndAPutSendsTheValueAsTheNamedPropertyPutArgument) {
  fake.AddMember(L"cells", 12);
  fake.AddMember(L"Hidden", 20);
  const Object object = WrapDispatch(&fake);

  object.Call("cells", {std::int32_t{65536}, std::int16_t{1}, std::string("第三")});
  object.Put("Hidden", true);

  ASSERT_EQ(fake.calls.size(), 2u);
  const auto& args = fake.calls[0].args;
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(V_VT(&args[0].Get()), VT_BSTR);
  EXPECT_STREQ(V_BSTR(&args[0].Get()), L"第三");
  EXPECT_EQ(V_VT(&args[1].Get()), VT_I2);
  EXPECT_EQ(V_I2(&args[1].Get()), 1);
  EXPECT_EQ(V_VT(&args[2].Get()), VT_I4);
  EXPECT_EQ(V_I4(&args[2].Get()), 65536);
  EXPECT_EQ(fake.calls[0].flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);

  const auto& call = fake.calls[1];
  EXPECT_EQ(call.flags, DISPATCH_PROPERTYPUT);
  ASSERT_EQ(call.named.size(), 1u);
  EXPECT_EQ(call.named[0], DISPID_PROPERTYPUT);
  ASSERT_EQ(call.args.size(), 1u);
  EXPECT_EQ(V_VT(&call.args[0].Get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(&call.args[0].Get()), VARIANT_TRUE);
  EXPECT_FALSE(call.wantsResult);
}

TEST_F(DispatchClientTest, ObjectsComeBackCallableAndGoBackAsTheSameInterface) {
  FakeDispatch child;
  child.AddMember(L"Row", 5);
  child.answer = test_support::Answering(12);
  fake.AddMember(L"Selection", 2);
  fake.AddMember(L"Union", 3);
  fake.answer = [&child](const test_support::RecordedCall& call, VARIANT* result, EXCEPINFO*) {
    return call.id == 2 ? test_support::HandOut(child, result) : S_OK;
  };
  {
    const Object app = WrapDispatch(&fake);
    const Object selection = app.GetObject("Selection");
    EXPECT_EQ(selection.Get("Row"), Value(std::int32_t{12}));

    app.Call("Union", {selection});
    ASSERT_EQ(fake.calls.size(), 2u);
    const auto& sent = fake.calls[1].args;
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(V_VT(&sent[0].Get()), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(&sent[0].Get()), static_cast<IDispatch*>(&child));
  }
  fake.calls.clear();  // the recorded copies hold references too
  EXPECT_EQ(fake.references(), 0u);
  EXPECT_EQ(child.references(), 0u);
}

// A failing call is mapped and not tried again; an unknown member fails without an Invoke.
TEST_F(DispatchClientTest, FailuresOfTheCallAreMapped) {
  fake.AddMember(L"Columns", 4);
  HRESULT answer = S_OK;
  fake.answer = [&answer](const test_support::RecordedCall&, VARIANT*, EXCEPINFO* info) {
    if (answer == DISP_E_EXCEPTION) {
      info->scode = static_cast<SCODE>(0x800A03EC);
      info->bstrDescription = SysAllocString(L"类 Range 的 Hidden 属性无效");
      info->bstrSource = SysAllocString(L"Microsoft Excel");
    }
    return answer;
  };
  const Object sheet = WrapDispatch(&fake, kQuickRetry);
  const auto failureOf = [&](HRESULT hr, const char* member = "Columns") {
    answer = hr;
    const int invokes = fake.invokeCalls;
    const Failure failure = test_support::FailureOf([&] { sheet.Get(member, {0.0}); });
    EXPECT_EQ(fake.invokeCalls - invokes, std::string_view(member) == "Columns" ? 1 : 0) << member;
    return failure;
  };

  const Failure excelSays = failureOf(DISP_E_EXCEPTION);
  EXPECT_EQ(excelSays.Number(), 1004);
  EXPECT_EQ(excelSays.Description(), "类 Range 的 Hidden 属性无效");
  EXPECT_EQ(failureOf(static_cast<HRESULT>(0x800A03EC)).Number(), 1004);
  EXPECT_EQ(failureOf(DISP_E_BADINDEX).Number(), 9);
  EXPECT_EQ(failureOf(E_FAIL).Number(), static_cast<std::int32_t>(E_FAIL));
  EXPECT_EQ(failureOf(DISP_E_BADPARAMCOUNT).Number(), 450);
  const Failure unknown = failureOf(S_OK, "NoSuchMember");
  EXPECT_EQ(unknown.Number(), 438);
  EXPECT_EQ(unknown.Description(), "对象不支持该属性或方法");
}

TEST_F(DispatchClientTest, ACommandWaitsOutABusyExcelOnceNotOncePerCall) {
  FakeDispatch child;
  fake.answer = test_support::HandingOut(child);
  const Object parent = WrapDispatch(&fake, kQuickRetry);
  const Object returned = parent.GetObject("Value");
  child.rejectInvokes = 1'000'000;
  fake.rejectInvokes = 1'000'000;

  const auto firstCall = test_support::TimeToFail([&] { returned.Get("Value"); });
  EXPECT_GE(firstCall, kQuickRetry.limit);
  // An object returned keeps the retry of its parent.
  EXPECT_LT(firstCall, 2s);
  // The calls that follow, on the object and on its parent, give up at once.
  EXPECT_LT(test_support::TimeToFail([&] {
              EXPECT_THROW(returned.Get("Value"), Failure);
              parent.Get("Value");
            }),
            kQuickRetry.limit / 2);

  // So does an object the connector handed out earlier, which shares the wait.
  FakeDispatch earlier;
  earlier.rejectNames = 1'000'000;
  const auto shared = std::make_shared<CallContext>();
  const Object first = WrapDispatch(&earlier, kQuickRetry, shared);
  const Object second = WrapDispatch(&earlier, kQuickRetry, shared);
  EXPECT_THROW(first.Get("Value"), Failure);
  EXPECT_LT(test_support::TimeToFail([&] { second.Get("Value"); }), kQuickRetry.limit / 2);

  // Another object of its own waits as before.
  FakeDispatch other;
  other.rejectInvokes = 1'000'000;
  const Object unrelated = WrapDispatch(&other, kQuickRetry);
  EXPECT_GE(test_support::TimeToFail([&] { unrelated.Get("Value"); }), kQuickRetry.limit);

  // Once Excel answers again, a later refusal is waited out again.
  fake.rejectInvokes = 0;
  EXPECT_NO_THROW(parent.Get("Value"));
  fake.rejectInvokes = 2;
  EXPECT_NO_THROW(parent.Get("Value"));
}

// Excel without the language pack of the user's locale: each call made in it is made again in
// English, and every later call to that Excel, through any object it handed out, goes in English.
TEST_F(DispatchClientTest, AnExcelThatTakesOnlyEnglishIsAskedInEnglishFromThenOn) {
  fake.AddMember(L"Count", 7);
  fake.answer = test_support::Answering(3);
  fake.onlyLocale = 1033;
  const auto names = MakeNameCache();
  const Object first = WrapDispatch(&fake, kQuickRetry, std::make_shared<CallContext>(), names);
  EXPECT_EQ(first.Get("Count"), Value(std::int32_t{3}));
  EXPECT_EQ(first.Get("Count"), Value(std::int32_t{3}));
  EXPECT_EQ(fake.lookupLocales, (std::vector<LCID>{LOCALE_USER_DEFAULT, 1033}));
  EXPECT_EQ(fake.invokeCalls, 2);

  // The name known already: the refused call is the Invoke.
  const Object second = WrapDispatch(&fake, kQuickRetry, std::make_shared<CallContext>(), names);
  EXPECT_EQ(second.Get("Count"), Value(std::int32_t{3}));
  EXPECT_EQ(fake.calls[2].locale, LOCALE_USER_DEFAULT);
  EXPECT_EQ(fake.calls[3].locale, 1033u);

  // An Excel that takes neither fails with what it said, after one try in English.
  fake.onlyLocale = 2052;
  const Object third = WrapDispatch(&fake, kQuickRetry, std::make_shared<CallContext>(), names);
  EXPECT_EQ(test_support::FailureNumber([&] { third.Get("Count"); }),
            static_cast<std::int32_t>(TYPE_E_INVDATAREAD));
  EXPECT_EQ(fake.invokeCalls, 6);

  // The refusal inside EXCEPINFO is the same answer: made again in English, then English for good.
  fake.onlyLocale = 1033;
  fake.refuseInException = true;
  const Object fourth = WrapDispatch(&fake, kQuickRetry, std::make_shared<CallContext>(), names);
  EXPECT_EQ(fourth.Get("Count"), Value(std::int32_t{3}));
  EXPECT_EQ(fourth.Get("Count"), Value(std::int32_t{3}));
  ASSERT_EQ(fake.invokeCalls, 9);
  EXPECT_EQ(fake.calls[6].locale, LOCALE_USER_DEFAULT);
  EXPECT_EQ(fake.calls[7].locale, 1033u);
  EXPECT_EQ(fake.calls[8].locale, 1033u);
  // One that takes neither fails with the exception's own words.
  fake.onlyLocale = 2052;
  const Object fifth = WrapDispatch(&fake, kQuickRetry, std::make_shared<CallContext>(), names);
  const Failure failure = test_support::FailureOf([&] { fifth.Get("Count"); });
  EXPECT_EQ(failure.Number(), static_cast<std::int32_t>(TYPE_E_INVDATAREAD));
  EXPECT_EQ(failure.Description(), "语言不受支持");
}

}  // namespace
}  // namespace quarnel::win32
