#pragma once

// The failures the stand-in answers with, numbered and worded as Excel and COM report them on a
// Chinese system.

#include <cstdint>

#include "common/failure.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin {

inline constexpr std::int32_t kDisconnected = -2147417848;  // RPC_E_DISCONNECTED
inline constexpr std::int32_t kCallRejected = -2147418111;  // RPC_E_CALL_REJECTED
inline constexpr std::int32_t kRetryLater = -2147417846;    // RPC_E_SERVERCALL_RETRYLATER
inline constexpr std::int32_t kIgnored = -2146777998;       // VBA_E_IGNORE as the call's own answer
// VBA_E_IGNORE as Excel's error number: inside EXCEPINFO it becomes scode 0x800AC472.
inline constexpr std::int32_t kIgnoredNumber = 50290;
inline constexpr std::int32_t kObjectDeleted =
    -2147221080;  // what Excel gives for a closed workbook's objects

inline Failure ApplicationDefined() { return {errors::kApplicationDefined, "应用程序定义或对象定义错误。"}; }
// Excel's words when a protected sheet refuses to hide or show a row or column.
inline Failure HiddenRefused() { return {errors::kApplicationDefined, "不能设置类 Range 的 Hidden 属性"}; }
inline Failure Disconnected() { return {kDisconnected, "自动化错误 对象调用者已与其客户端断开连接。"}; }
inline Failure CallRejected() { return {kCallRejected, "被呼叫方拒绝接收呼叫。"}; }
inline Failure RetryLater() { return {kRetryLater, "消息筛选器显示应用程序正在使用中。"}; }
inline Failure Ignored() { return {kIgnored, "Microsoft Excel 正忙。"}; }
inline Failure IgnoredInException() { return {kIgnoredNumber, "Microsoft Excel 正忙。"}; }
inline Failure ObjectDeleted() { return {kObjectDeleted, "自动化错误"}; }
inline Failure ArgumentNotOptional() { return {449, "参数不可选"}; }
inline Failure WrongArgumentCount() { return {450, "错误的参数个数或无效的参数属性值"}; }
inline Failure Overflow() { return {6, "溢出"}; }

// The answer a call gets while Excel is busy in `kind`'s way (not None).
inline Failure BusyFailure(BusyKind kind) {
  switch (kind) {
    case BusyKind::RetryLater: return RetryLater();
    case BusyKind::Ignored: return Ignored();
    case BusyKind::IgnoredInException: return IgnoredInException();
    default: return CallRejected();
  }
}

}  // namespace quarnel::standin
