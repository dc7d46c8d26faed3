#pragma once

// The failures the stand-in answers with, numbered from the catalogue and worded as Excel and COM
// report them on a Chinese system: Excel's own words live here, the tool's in the catalogue.

#include <cstdint>
#include <string>

#include "common/failure.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin {

using errors::kCallRejected;
using errors::kDisconnected;
using errors::kIgnored;
using errors::kIgnoredNumber;
using errors::kObjectDeleted;
using errors::kRetryLater;

inline Failure ApplicationDefined() { return {errors::kApplicationDefined, "应用程序定义或对象定义错误。"}; }
// Excel's words when a protected sheet refuses to hide or show a row or column.
inline Failure HiddenRefused() { return {errors::kApplicationDefined, "不能设置类 Range 的 Hidden 属性"}; }
// SpecialCells with no cell of the kind asked for.
inline Failure NoCellsFound() { return {errors::kApplicationDefined, "No cells were found."}; }
// Excel's words when a worksheet function cannot take its arguments.
inline Failure FunctionRefused(const std::string& function) {
  return {errors::kApplicationDefined, "无法取得类 WorksheetFunction 的 " + function + " 属性"};
}
inline Failure Disconnected() {
  return {kDisconnected, errors::Worded(errors::Words::AutomationError) + " " +
                             std::string(errors::Description(kDisconnected))};
}
inline Failure CallRejected() { return {kCallRejected, "被呼叫方拒绝接收呼叫。"}; }
inline Failure RetryLater() { return {kRetryLater, "消息筛选器显示应用程序正在使用中。"}; }
inline Failure Ignored() { return {kIgnored, "Microsoft Excel 正忙。"}; }
inline Failure IgnoredInException() { return {kIgnoredNumber, "Microsoft Excel 正忙。"}; }
inline Failure ObjectDeleted() { return {kObjectDeleted, errors::Worded(errors::Words::AutomationError)}; }
inline Failure ArgumentNotOptional() { return {errors::kArgumentNotOptional, "参数不可选"}; }
inline Failure WrongArgumentCount() { return {errors::kBadArgument, "错误的参数个数或无效的参数属性值"}; }
inline Failure Overflow() { return errors::Catalogued(errors::kOverflow); }

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
