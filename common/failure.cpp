#include "common/failure.hpp"

#include <array>
#include <exception>
#include <new>
#include <utility>

#include "common/text.hpp"

namespace quarnel {
namespace errors {
namespace {

struct Entry {
  std::int32_t number;
  std::string_view description;
};

constexpr std::array kCatalogue{
    Entry{kInvalidCall, "无效的过程调用或参数"},
    Entry{kOverflow, "溢出"},
    Entry{kOutOfMemory, "内存溢出"},
    Entry{kSubscriptOutOfRange, "下标越界"},
    Entry{kDivisionByZero, "除数为零"},
    Entry{kTypeMismatch, "类型不匹配"},
    Entry{kDllLoad, "加载 DLL 错误"},
    Entry{kInternal, "内部错误"},
    Entry{kBadFileName, "文件名或文件号错误"},
    Entry{kFileNotFound, "文件未找到"},
    Entry{kDeviceIoError, "设备 I/O 错误"},
    Entry{kFileAlreadyExists, "文件已存在"},
    Entry{kDiskFull, "磁盘已满"},
    Entry{kPermissionDenied, "拒绝的权限"},
    Entry{kPathNotFound, "路径未找到"},
    Entry{kObjectNotSet, "对象变量或 With 块变量未设置"},
    Entry{kObjectRequired, "要求对象"},
    Entry{kNotSupported, "对象不支持该属性或方法"},
    Entry{kBadArgument, "错误的参数号或无效的属性赋值"},
    Entry{kApplicationDefined, "应用程序定义或对象定义的错误"},
    Entry{kBufferTooSmall, "缓冲区太小"},
    Entry{kBadDialogFileName, "文件名无效"},
    Entry{kDialogFailed, "对话框初始化失败"},
    Entry{kDialogCancelled, "选定了“取消”。"},
    Entry{kProtectedView,
          "Excel 前面的文件是在受保护的视图中打开的，Quarnel 不能更改它。请先单击 Excel "
          "窗口上方黄色消息栏中的“启用编辑”，然后再试。"},
    Entry{kUndoElsewhere, "撤消只能用于上次恢复的那张工作表，请先切换到它，然后再试。上次恢复的是："},
};

}  // namespace

std::string_view Description(std::int32_t number) noexcept {
  for (const Entry& entry : kCatalogue) {
    if (entry.number == number) return entry.description;
  }
  return {};
}

Failure Catalogued(std::int32_t number) { return {number, std::string(Description(number))}; }

Failure Catalogued(std::int32_t number, std::string_view detail) {
  return {number, std::string(Description(number)) + std::string(detail)};
}

}  // namespace errors

Failure CurrentFailure() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return errors::Catalogued(errors::kOutOfMemory);
  } catch (const std::exception& e) {
    return errors::Catalogued(errors::kInternal, std::string(": ") + e.what());
  } catch (...) {
    return errors::Catalogued(errors::kInternal);
  }
}

std::string RunTimeErrorText(const Failure& failure) {
  return "运行时错误 '" + 常用函数::ValueText(failure.Number()) + "':\n\n" + failure.Description();
}

}  // namespace quarnel
