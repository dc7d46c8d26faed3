#include <gtest/gtest.h>

#include "common/win32/utf16.hpp"
#include "excel/win32/variant.hpp"
#include "excel_fake_dispatch.hpp"
#include "support/failure_number.hpp"

namespace quarnel::win32 {
namespace {

using excel::Object;
using excel::Value;

class VariantTest : public ::testing::Test {
 protected:
  ComInit com;
};

TEST_F(VariantTest, ValuesBecomeTheirVariantTypes) {
  const Variant yes = ToVariant(Value(true));
  EXPECT_EQ(V_VT(&yes.Get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(&yes.Get()), VARIANT_TRUE);
  EXPECT_EQ(V_BOOL(&ToVariant(Value(false)).Get()), VARIANT_FALSE);

  const Variant small = ToVariant(Value(std::int16_t{-4162}));
  EXPECT_EQ(V_VT(&small.Get()), VT_I2);
  EXPECT_EQ(V_I2(&small.Get()), -4162);

  const Variant row = ToVariant(Value(std::int32_t{1048576}));
  EXPECT_EQ(V_VT(&row.Get()), VT_I4);
  EXPECT_EQ(V_I4(&row.Get()), 1048576);

  const Variant real = ToVariant(Value(2.5));
  EXPECT_EQ(V_VT(&real.Get()), VT_R8);
  EXPECT_EQ(V_R8(&real.Get()), 2.5);

  EXPECT_EQ(V_VT(&ToVariant(Value()).Get()), VT_EMPTY);
}

TEST_F(VariantTest, TextCrossesAsUtf16WithItsFullLengthSurrogatesAndAll) {
  // The conversion survives surrogates and replaces broken input.
  const std::string emoji = "\xF0\x9F\x98\x80";
  EXPECT_EQ(ToUtf16(emoji), std::wstring(L"\xD83D\xDE00"));
  EXPECT_EQ(ToUtf8(ToUtf16(emoji)), emoji);
  EXPECT_EQ(ToUtf16("a\xFFz"), std::wstring(L"a\xFFFDz"));

  const std::string text("工作簿1 \xE2\x80\x94 a\0b", 18);
  const Variant sent = ToVariant(Value(text));
  ASSERT_EQ(V_VT(&sent.Get()), VT_BSTR);
  EXPECT_EQ(SysStringLen(V_BSTR(&sent.Get())), 10u);
  EXPECT_EQ(std::wstring_view(V_BSTR(&sent.Get()), 4), L"工作簿1");
  EXPECT_EQ(FromVariant(sent.Get()), Value(text));

  EXPECT_EQ(SysStringLen(V_BSTR(&ToVariant(Value(std::string())).Get())), 0u);
  Variant null;
  V_VT(&null.Get()) = VT_BSTR;
  V_BSTR(&null.Get()) = nullptr;
  EXPECT_EQ(FromVariant(null.Get()), Value(std::string()));
}

TEST_F(VariantTest, OnlyOurOwnObjectsGoBackToCom) {
  test_support::FakeDispatch fake;
  {
    const Object ours = WrapDispatch(&fake);
    {
      const Variant sent = ToVariant(Value(ours));
      EXPECT_EQ(V_VT(&sent.Get()), VT_DISPATCH);
      EXPECT_EQ(V_DISPATCH(&sent.Get()), static_cast<IDispatch*>(&fake));
      EXPECT_EQ(fake.references(), 2u);
    }
    EXPECT_EQ(fake.references(), 1u);
  }

  const Variant nothing = ToVariant(Value(Object()));
  EXPECT_EQ(V_VT(&nothing.Get()), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(&nothing.Get()), nullptr);

  struct Foreign : excel::Dispatch {
    Value Invoke(std::string_view, excel::CallKind, std::span<const Value>) override { return {}; }
  };
  EXPECT_EQ(test_support::FailureNumber([] { ToVariant(Value(Object(std::make_shared<Foreign>()))); }), 13);
}

// Basic types come back as they are; other numbers as a Long when whole and fitting, else a Double.
TEST_F(VariantTest, VariantsComeBackAsTheirValuesAndReferencesAreFollowed) {
  static LONG row = 42;
  const struct {
    void (*set)(VARIANT&);
    Value expected;
  } cases[] = {
      {[](VARIANT& v) { V_VT(&v) = VT_NULL; }, Value()},
      // Any non-zero is true, not only VARIANT_TRUE.
      {[](VARIANT& v) { V_VT(&v) = VT_BOOL, V_BOOL(&v) = 1; }, Value(true)},
      {[](VARIANT& v) { V_VT(&v) = VT_I2, V_I2(&v) = -4159; }, Value(std::int16_t{-4159})},
      {[](VARIANT& v) { V_VT(&v) = VT_R8, V_R8(&v) = 0.5; }, Value(0.5)},
      {[](VARIANT& v) { V_VT(&v) = VT_UI1, V_UI1(&v) = 200; }, Value(std::int32_t{200})},
      {[](VARIANT& v) { V_VT(&v) = VT_UI4, V_UI4(&v) = 4'000'000'000u; }, Value(4e9)},
      {[](VARIANT& v) { V_VT(&v) = VT_I8, V_I8(&v) = -70'000; }, Value(std::int32_t{-70'000})},
      {[](VARIANT& v) { V_VT(&v) = VT_R4, V_R4(&v) = 1.5f; }, Value(1.5)},
      {[](VARIANT& v) { V_VT(&v) = VT_CY, V_CY(&v).int64 = 123'400; }, Value(12.34)},
      {[](VARIANT& v) { V_VT(&v) = VT_DATE, V_DATE(&v) = 45000.25; }, Value(45000.25)},
      {[](VARIANT& v) { VarDecFromR8(7.0, &V_DECIMAL(&v)), V_VT(&v) = VT_DECIMAL; }, Value(7.0)},
      {[](VARIANT& v) { V_VT(&v) = VT_BYREF | VT_I4, V_I4REF(&v) = &row; }, Value(std::int32_t{42})},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Variant v;
    cases[i].set(*v.Out());
    EXPECT_EQ(FromVariant(v.Get()), cases[i].expected) << "case " << i;
  }

  Bstr name(L"Sheet1");
  BSTR raw = name.Get();
  Variant text;
  V_VT(&text.Get()) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&text.Get()) = &raw;
  EXPECT_EQ(FromVariant(text.Get()), Value(std::string("Sheet1")));
}

TEST_F(VariantTest, ObjectsComeBackCountedAndNothingComesBackEmpty) {
  test_support::FakeDispatch fake;
  {
    Variant v;
    V_VT(&v.Get()) = VT_DISPATCH;
    V_DISPATCH(&v.Get()) = nullptr;
    EXPECT_EQ(FromVariant(v.Get()), Value(Object()));

    fake.AddRef();
    V_VT(v.Out()) = VT_DISPATCH;
    V_DISPATCH(&v.Get()) = &fake;
    const Value fromDispatch = FromVariant(v.Get());
    EXPECT_EQ(fake.references(), 2u);

    fake.AddRef();
    V_VT(v.Out()) = VT_UNKNOWN;
    V_UNKNOWN(&v.Get()) = &fake;
    const Value fromUnknown = FromVariant(v.Get());
    ASSERT_TRUE(std::holds_alternative<Object>(fromUnknown));
    std::get<Object>(fromUnknown).Put("Value", std::int32_t{1});
    EXPECT_EQ(fake.calls.size(), 1u);
  }
  fake.calls.clear();
  EXPECT_EQ(fake.references(), 0u);
}

// Moved, an owner leaves its source empty, and the one it reached gives its value back once.
TEST_F(VariantTest, MovedVariantsStringsAndExceptionsLeaveTheirSourceEmpty) {
  test_support::FakeDispatch fake;
  {
    Variant source = ToVariant(Value(WrapDispatch(&fake)));
    Variant target(std::move(source));
    Variant last;
    last = std::move(target);
    EXPECT_EQ(V_VT(&source.Get()) | V_VT(&target.Get()), VT_EMPTY);
    EXPECT_EQ(V_DISPATCH(&last.Get()), static_cast<IDispatch*>(&fake));
  }
  EXPECT_EQ(fake.references(), 0u);

  Bstr text(L"工作簿1");
  const BSTR raw = text.Get();
  Bstr moved(std::move(text));
  EXPECT_EQ(text.Get(), nullptr);
  ExcepInfo exception;
  exception.Get().bstrDescription = moved.Release();
  ExcepInfo kept(std::move(exception));
  EXPECT_EQ(exception.Get().bstrDescription, nullptr);
  EXPECT_EQ(kept.Get().bstrDescription, raw);
}

TEST_F(VariantTest, CellErrorsAreValuesBothWaysOtherErrorsFailAndOddTypesGive13) {
  Variant v;
  V_VT(&v.Get()) = VT_ERROR;
  V_ERROR(&v.Get()) = static_cast<SCODE>(0x800A07FA);  // #N/A in a cell
  EXPECT_EQ(FromVariant(v.Get()), Value(excel::ErrorValue{2042}));
  const Variant sent = ToVariant(Value(excel::ErrorValue{2007}));
  EXPECT_EQ(V_VT(&sent.Get()), VT_ERROR);
  EXPECT_EQ(static_cast<std::uint32_t>(V_ERROR(&sent.Get())), 0x800A07D7u);

  V_ERROR(&v.Get()) = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(FromVariant(v.Get()), Value());
  // Not one of Excel's cell errors: still a failure with the HRESULT's number.
  V_ERROR(&v.Get()) = E_FAIL;
  EXPECT_EQ(test_support::FailureNumber([&] { FromVariant(v.Get()); }), static_cast<std::int32_t>(E_FAIL));

  SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 2);
  V_VT(v.Out()) = VT_ARRAY | VT_I4;
  V_ARRAY(&v.Get()) = array;
  EXPECT_EQ(test_support::FailureNumber([&] { FromVariant(v.Get()); }), 13);
}

}  // namespace
}  // namespace quarnel::win32
