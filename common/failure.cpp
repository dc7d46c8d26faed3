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
    // Windows' own words, for a system that has none of its own.
    Entry{kUnavailable, "操作无法使用"},
    Entry{kBadClassString, "无效的类字符串"},
    Entry{kClassNotRegistered, "没有注册类"},
    Entry{kServerExecFailure, "服务器执行失败"},
    // Excel closed by the user while the tool still holds its objects.
    Entry{kDisconnected, "对象调用者已与其客户端断开连接。"},
    Entry{kServerUnavailable, "RPC 服务器不可用。"},
};

struct Wording {
  Words words;
  std::string_view text;
};

constexpr std::array kWordings{
    Wording{Words::Busy, "Excel 正忙（可能正在编辑单元格），请完成编辑后再试。"},
    Wording{Words::Stopped, "已停止等待 Excel，本次操作没有完成。"},
    Wording{Words::AutomationError, "自动化错误"},
    Wording{Words::NoteRefused,
            "备注中含有{}。Windows 文件名不允许使用 \\ / : * ? \" < > | 和控制字符，请修改备注后再记录。"},
    Wording{Words::ControlCharacter, "控制字符 {}"},
    Wording{Words::Character, "字符“{}”"},
    Wording{Words::NoteMakesNameTooLong,
            "备注太长：Windows 文件名最多 255 个字符，加上这条 {} 个字符的备注，快照文件名将有 {} "
            "个字符。请缩短备注后再记录。"},
    Wording{Words::WorkbookNameTooLong,
            "工作簿名称太长：Windows 文件名最多 255 个字符，快照文件名将有 {} "
            "个字符。请缩短工作簿名称后再记录。"},
    Wording{Words::NoteMakesPathTooLong,
            "备注太长：Windows 路径最多 259 个字符，加上这条 {} 个字符的备注，快照文件的完整路径将有 {} "
            "个字符。请缩短备注后再记录。"},
    Wording{Words::FolderPathTooLong,
            "程序所在文件夹的路径太长：Windows 路径最多 259 个字符，快照文件的完整路径将有 {} "
            "个字符。请把程序放到路径较短的文件夹后再记录。"},
    Wording{Words::LastRestoredSheet, "工作簿“{}”的工作表“{}”。"},
};

}  // namespace

std::string_view Description(std::int32_t number) noexcept {
  for (const Entry& entry : kCatalogue) {
    if (entry.number == number) return entry.description;
  }
  return {};
}

Failure Catalogued(std::int32_t number, SourcePlace origin) {
  return {number, std::string(Description(number)), origin};
}

Failure Catalogued(std::int32_t number, std::string_view detail, SourcePlace origin) {
  return {number, std::string(Description(number)) + std::string(detail), origin};
}

std::string Worded(Words words, std::initializer_list<std::string_view> values) {
  std::string_view text;
  for (const Wording& wording : kWordings) {
    if (wording.words == words) text = wording.text;
  }
  std::string result;
  const std::string_view* value = values.begin();
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t slot = text.find("{}", at);
    result += text.substr(at, slot - at);
    if (slot == std::string_view::npos) break;
    if (value != values.end()) result += *value++;
    at = slot + 2;
  }
  return result;
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
