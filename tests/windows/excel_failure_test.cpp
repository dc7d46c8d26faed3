#include <gtest/gtest.h>

#include <utility>

#include "excel/win32/com_failure.hpp"
#include "excel_fake_dispatch.hpp"

namespace quarnel::win32 {
namespace {

constexpr auto kExcelError = static_cast<HRESULT>(0x800A03EC);
using test_support::FillIgnored;
using test_support::kBusyText;

// The number and words a code becomes (null: the number alone is checked). The busy answers are
// explained alike; stopping the wait on an Excel that does not answer is the user's own choice,
// told in the tool's words whatever the system would say.
TEST(FailureFromHresult, CodesBecomeTheNumbersAndWordsUsersKnow) {
  struct Case {
    HRESULT hr;
    std::int32_t number;
    const char* description;
  };
  const Case cases[] = {
      {DISP_E_UNKNOWNNAME, 438, "对象不支持该属性或方法"},
      {DISP_E_MEMBERNOTFOUND, 438, "对象不支持该属性或方法"},
      {DISP_E_TYPEMISMATCH, 13, "类型不匹配"},
      {DISP_E_BADINDEX, 9, "下标越界"},
      {DISP_E_BADPARAMCOUNT, 450, "错误的参数号或无效的属性赋值"},
      {DISP_E_PARAMNOTOPTIONAL, 450, "错误的参数号或无效的属性赋值"},
      {kExcelError, 1004, "应用程序定义或对象定义的错误"},
      // The control facility gives its low sixteen bits; the same code in another is not Excel's.
      {static_cast<HRESULT>(0x800A07FA), 2042, nullptr},
      {static_cast<HRESULT>(0x800AFFFF), 0xFFFF, nullptr},
      {static_cast<HRESULT>(0x800403EC), static_cast<std::int32_t>(0x800403EC), nullptr},
      {RPC_E_CALL_REJECTED, -2147418111, kBusyText},
      {RPC_E_SERVERCALL_RETRYLATER, -2147417846, kBusyText},
      {kVbaIgnore, 50290, kBusyText},  // Excel's own code: its low 16 bits, as for any of Excel's errors
      {RPC_E_CALL_CANCELED, -2147418110, "已停止等待 Excel，本次操作没有完成。"},
      // A code the system has no text for.
      {static_cast<HRESULT>(0x8004F3A7), static_cast<std::int32_t>(0x8004F3A7), "自动化错误"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.hr);
    const Failure failure = FailureFromHresult(c.hr);
    EXPECT_EQ(failure.Number(), c.number);
    if (c.description) {
      EXPECT_EQ(failure.Description(), c.description);
    }
    EXPECT_EQ(IsBusy(c.hr), c.description == kBusyText);
  }
  for (const HRESULT hr : {E_FAIL, kExcelError, RPC_E_DISCONNECTED, static_cast<HRESULT>(0x800AC471)}) {
    EXPECT_FALSE(IsBusy(hr)) << std::hex << hr;
  }
}

TEST(FailureFromHresult, OtherCodesKeepTheHresultAndTheSystemsText) {
  const Failure unavailable = FailureFromHresult(MK_E_UNAVAILABLE);
  EXPECT_EQ(unavailable.Number(), -2147221021);
  // Windows has a text of its own; Wine has none, so ours stands in.
  const std::string unavailableText = SystemMessage(MK_E_UNAVAILABLE);
  EXPECT_EQ(unavailable.Description(), unavailableText.empty() ? "操作无法使用" : unavailableText);

  const Failure generic = FailureFromHresult(E_FAIL);
  EXPECT_EQ(generic.Number(), -2147467259);
  const std::string system = SystemMessage(E_FAIL);
  ASSERT_FALSE(system.empty());
  EXPECT_NE(system.back(), '\n');
  EXPECT_EQ(generic.Description(), system);

  for (const auto& [hr, ours] :
       {std::pair{RPC_E_DISCONNECTED, "对象调用者已与其客户端断开连接。"},
        std::pair{HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), "RPC 服务器不可用。"}}) {
    const std::string text = SystemMessage(hr);
    EXPECT_EQ(FailureFromHresult(hr).Description(), text.empty() ? ours : text);
  }
}

TEST(IsBusyException, VbaIgnoreInsideTheExceptionIsBusyFilledInOrDeferred) {
  EXCEPINFO info{};
  info.scode = kVbaIgnore;
  EXPECT_TRUE(IsBusyException(info));

  info = EXCEPINFO{};
  info.pfnDeferredFillIn = FillIgnored;
  EXPECT_TRUE(IsBusyException(info));
  EXPECT_EQ(info.pfnDeferredFillIn, nullptr);
  // What the user reads is what to do, whatever Excel wrote.
  const Failure failure = FailureFromException(info);
  EXPECT_EQ(failure.Number(), 50290);
  EXPECT_EQ(failure.Description(), kBusyText);

  info = EXCEPINFO{};
  info.scode = kExcelError;
  EXPECT_FALSE(IsBusyException(info));
  info = EXCEPINFO{};
  info.wCode = 1004;
  EXPECT_FALSE(IsBusyException(info));
}

HRESULT STDAPICALLTYPE FillLater(EXCEPINFO* info) {
  info->scode = static_cast<SCODE>(0x800A0009);
  info->bstrDescription = SysAllocString(L"下标越界");
  return S_OK;
}

// The scode and the words come from the server, a deferred fill-in first; the wCode serves when
// the scode is zero; without words, the code describes itself (null: the number alone is checked).
// Whatever it held is given back.
TEST(FailureFromException, TakesTheServersCodeAndWordsOrTheCodesOwn) {
  struct Case {
    SCODE scode;
    WORD wCode;
    const wchar_t* description;
    HRESULT(STDAPICALLTYPE* fill)(EXCEPINFO*);
    std::int32_t number;
    const char* text;
  };
  const Case cases[] = {
      {kExcelError, 0, L"无法设置类 Range 的 Hidden 属性\r\n", nullptr, 1004,
       "无法设置类 Range 的 Hidden 属性"},
      {0, 1004, nullptr, nullptr, 1004, nullptr},
      {0, 31000, L"自定义错误", nullptr, 31000, "自定义错误"},
      {DISP_E_TYPEMISMATCH, 0, L"", nullptr, 13, "类型不匹配"},
      {0, 0, nullptr, nullptr, static_cast<std::int32_t>(DISP_E_EXCEPTION), nullptr},
      {0, 0, nullptr, FillLater, 9, "下标越界"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    EXCEPINFO info{};
    info.scode = c.scode;
    info.wCode = c.wCode;
    if (c.description) info.bstrDescription = SysAllocString(c.description);
    info.bstrSource = SysAllocString(L"Microsoft Excel");
    info.bstrHelpFile = SysAllocString(L"xlmain11.chm");
    info.pfnDeferredFillIn = c.fill;

    const Failure failure = FailureFromException(info);

    EXPECT_EQ(failure.Number(), c.number);
    if (c.text) {
      EXPECT_EQ(failure.Description(), c.text);
    }
    EXPECT_EQ(info.bstrDescription, nullptr);
    EXPECT_EQ(info.bstrSource, nullptr);
    EXPECT_EQ(info.bstrHelpFile, nullptr);
    EXPECT_EQ(info.pfnDeferredFillIn, nullptr);
  }
}

}  // namespace
}  // namespace quarnel::win32
