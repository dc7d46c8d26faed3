#include "app/win32/desktop.hpp"

#include <string>
#include <vector>

#include "app/win32/clock.hpp"
#include "common/win32/program_path.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/window_text.hpp"

namespace quarnel::win32 {

void WindowsDesktop::SetWindow(HWND owner, HWND note) noexcept {
  owner_ = owner;
  note_ = note;
  dialog_.SetOwner(owner);
  progress_.SetWindow(owner);
}

void WindowsDesktop::ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) {
  const UINT type = MB_OK | (icon == MessageIcon::Information ? MB_ICONINFORMATION : 0u);
  const HWND owner = owner_ && IsWindow(owner_) ? owner_ : nullptr;
  MessageBoxW(owner, ToUtf16(text).c_str(), ToUtf16(title).c_str(), type);
}

std::string KeepWaitingQuestion(std::chrono::seconds waited) {
  return "Excel 已经 " + std::to_string(waited.count()) +
         " 秒没有应答，可能正在计算、运行宏，或被加载项占用。\n\n是否继续等待？\n\n"
         "选“是”继续等待；选“否”停止等待，本次操作到此为止。";
}

bool WindowsDesktop::AskToKeepWaiting(std::chrono::seconds waited) {
  const HWND owner = owner_ && IsWindow(owner_) ? owner_ : nullptr;
  return MessageBoxW(owner, ToUtf16(KeepWaitingQuestion(waited)).c_str(), ToUtf16(kAppTitle).c_str(),
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON1) != IDNO;
}

std::string WindowsDesktop::NoteText() { return note_ ? ToUtf8(WindowText(note_)) : std::string(); }

std::string WindowsDesktop::ProgramFolder() { return win32::ProgramFolder(); }

std::string WindowsDesktop::LocalDateTimeText() { return win32::LocalDateTimeText(); }

std::string ProgramFolder() {
  const std::wstring path = ProgramPath();
  if (path.empty()) throw errors::Catalogued(errors::kDeviceIoError);
  const auto slash = path.find_last_of(L'\\');
  return ToUtf8(std::wstring_view(path).substr(0, slash == std::wstring::npos ? 0 : slash));
}

}  // namespace quarnel::win32
