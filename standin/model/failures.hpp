#pragma once

// The failures the stand-in answers with, numbered and worded as Excel and COM report them on a
// Chinese system.

#include <cstdint>

#include "common/failure.hpp"

namespace quarnel::standin {

inline constexpr std::int32_t kDisconnected = -2147417848;  // RPC_E_DISCONNECTED
inline constexpr std::int32_t kCallRejected = -2147418111;  // RPC_E_CALL_REJECTED
inline constexpr std::int32_t kObjectDeleted =
    -2147221080;  // what Excel gives for a closed workbook's objects

inline Failure ApplicationDefined() { return {errors::kApplicationDefined, "应用程序定义或对象定义错误。"}; }
// Excel's words when a protected sheet refuses to hide or show a row or column.
inline Failure HiddenRefused() { return {errors::kApplicationDefined, "不能设置类 Range 的 Hidden 属性"}; }
inline Failure Disconnected() { return {kDisconnected, "自动化错误 对象调用者已与其客户端断开连接。"}; }
inline Failure CallRejected() { return {kCallRejected, "被呼叫方拒绝接收呼叫。"}; }
inline Failure ObjectDeleted() { return {kObjectDeleted, "自动化错误"}; }
inline Failure ArgumentNotOptional() { return {449, "参数不可选"}; }
inline Failure WrongArgumentCount() { return {450, "错误的参数个数或无效的参数属性值"}; }
inline Failure Overflow() { return {6, "溢出"}; }

}  // namespace quarnel::standin
