#include <gtest/gtest.h>

#include <utility>

#include "excel/win32/com_failure.hpp"

namespace quarnel::win32 {
namespace {

constexpr auto kExcelError = static_cast<HRESULT>(0x800A03EC);

TEST(FailureFromHresult, AutomationCodesBecomeTheNumbersUsersKnow) {
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
  };
  for (const auto& c : cases) {
    const Failure failure = FailureFromHresult(c.hr);
    EXPECT_EQ(failure.Number(), c.number) << std::hex << c.hr;
    EXPECT_EQ(failure.Description(), c.description) << std::hex << c.hr;
  }
}

TEST(FailureFromHresult, ControlFacilityGivesItsLowSixteenBits) {
  EXPECT_EQ(FailureFromHresult(static_cast<HRESULT>(0x800A07FA)).Number(), 2042);
  EXPECT_EQ(FailureFromHresult(static_cast<HRESULT>(0x800AFFFF)).Number(), 0xFFFF);
  // The same code in another facility is not Excel's.
  EXPECT_EQ(FailureFromHresult(static_cast<HRESULT>(0x800403EC)).Number(),
            static_cast<std::int32_t>(0x800403EC));
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

  // A code the system has no text for.
  EXPECT_EQ(FailureFromHresult(static_cast<HRESULT>(0x8004F3A7)).Description(), "自动化错误");
}

constexpr char kBusyText[] = "Excel 正忙（可能正在编辑单元格），请完成编辑后再试。";

TEST(FailureFromHresult, EachBusyAnswerIsExplainedTheSameWay) {
  struct Case {
    HRESULT hr;
    std::int32_t number;
  };
  const Case cases[] = {
      {RPC_E_CALL_REJECTED, -2147418111},
      {RPC_E_SERVERCALL_RETRYLATER, -2147417846},
      {kVbaIgnore, 50290},  // Excel's own code: its low 16 bits, as for any of Excel's errors
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(IsBusy(c.hr)) << std::hex << c.hr;
    const Failure failure = FailureFromHresult(c.hr);
    EXPECT_EQ(failure.Number(), c.number);
    EXPECT_EQ(failure.Description(), kBusyText);
  }
  for (const HRESULT hr : {E_FAIL, kExcelError, RPC_E_DISCONNECTED, static_cast<HRESULT>(0x800AC471)}) {
    EXPECT_FALSE(IsBusy(hr)) << std::hex << hr;
  }
}

// Stopping the wait on an Excel that does not answer is the user's own choice, told in the tool's
// words whatever the system would say.
TEST(FailureFromHresult, AStoppedCallSaysWhatTheUserChose) {
  const Failure stopped = FailureFromHresult(RPC_E_CALL_CANCELED);
  EXPECT_EQ(stopped.Number(), -2147418110);
  EXPECT_EQ(stopped.Description(), "已停止等待 Excel，本次操作没有完成。");
}

HRESULT STDAPICALLTYPE FillIgnored(EXCEPINFO* info) {
  info->scode = kVbaIgnore;
  info->bstrDescription = SysAllocString(L"Microsoft Excel 正忙。");
  return S_OK;
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

TEST(FailureFromException, ScodeAndDescriptionComeFromTheServer) {
  EXCEPINFO info{};
  info.scode = kExcelError;
  info.bstrDescription = SysAllocString(L"无法设置类 Range 的 Hidden 属性\r\n");
  info.bstrSource = SysAllocString(L"Microsoft Excel");
  info.bstrHelpFile = SysAllocString(L"xlmain11.chm");

  const Failure failure = FailureFromException(info);

  EXPECT_EQ(failure.Number(), 1004);
  EXPECT_EQ(failure.Description(), "无法设置类 Range 的 Hidden 属性");
  EXPECT_EQ(info.bstrDescription, nullptr);
  EXPECT_EQ(info.bstrSource, nullptr);
  EXPECT_EQ(info.bstrHelpFile, nullptr);
}

TEST(FailureFromException, WcodeServesWhenScodeIsZero) {
  EXCEPINFO info{};
  info.wCode = 1004;
  EXPECT_EQ(FailureFromException(info).Number(), 1004);

  info = EXCEPINFO{};
  info.wCode = 31000;
  info.bstrDescription = SysAllocString(L"自定义错误");
  const Failure custom = FailureFromException(info);
  EXPECT_EQ(custom.Number(), 31000);
  EXPECT_EQ(custom.Description(), "自定义错误");
}

TEST(FailureFromException, WithoutTextTheCodeDescribesIt) {
  EXCEPINFO info{};
  info.scode = DISP_E_TYPEMISMATCH;
  info.bstrDescription = SysAllocString(L"");
  const Failure failure = FailureFromException(info);
  EXPECT_EQ(failure.Number(), 13);
  EXPECT_EQ(failure.Description(), "类型不匹配");

  info = EXCEPINFO{};
  EXPECT_EQ(FailureFromException(info).Number(), static_cast<std::int32_t>(DISP_E_EXCEPTION));
}

HRESULT STDAPICALLTYPE FillLater(EXCEPINFO* info) {
  info->scode = static_cast<SCODE>(0x800A0009);
  info->bstrDescription = SysAllocString(L"下标越界");
  return S_OK;
}

TEST(FailureFromException, DeferredFillInIsCalledFirst) {
  EXCEPINFO info{};
  info.pfnDeferredFillIn = FillLater;
  const Failure failure = FailureFromException(info);
  EXPECT_EQ(failure.Number(), 9);
  EXPECT_EQ(failure.Description(), "下标越界");
  EXPECT_EQ(info.pfnDeferredFillIn, nullptr);
}

}  // namespace
}  // namespace quarnel::win32
