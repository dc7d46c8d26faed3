#pragma once

#include <chrono>

#include "app/win32/file_dialog.hpp"
#include "app/win32/files.hpp"
#include "app/win32/taskbar_progress.hpp"
#include "common/desktop.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// The desktop around the window: its message boxes and dialog belong to `owner`, the note is the
// text of the `note` box.
class WindowsDesktop final : public Desktop {
 public:
  void SetWindow(HWND owner, HWND note) noexcept;

  void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) override;
  std::string NoteText() override;
  std::string ProgramFolder() override;
  std::string LocalDateTimeText() override;
  FileSystem& Files() override { return files_; }
  FileDialog& CommonDialog1() override { return dialog_; }
  void ShowProgress(std::uint64_t done, std::uint64_t total) noexcept override {
    progress_.Show(done, total);
  }
  void EndProgress() noexcept override { progress_.End(); }
  // Asks whether to wait on for an Excel that has not answered one call for `waited`.
  bool AskToKeepWaiting(std::chrono::seconds waited);

 private:
  HWND owner_ = nullptr;
  HWND note_ = nullptr;
  WideFileSystem files_;
  OpenFileDialog dialog_;
  TaskbarProgress progress_;
};

// What the user is asked when Excel has not answered one call for `waited`.
std::string KeepWaitingQuestion(std::chrono::seconds waited);

// The folder that holds the running program's file, without a trailing "\".
std::string ProgramFolder();

}  // namespace quarnel::win32
