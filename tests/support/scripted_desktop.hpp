#pragma once

// A desktop for tests: files in memory, a dialog that answers from a script, message boxes logged,
// and a connector that hands out the stand-in model's application.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/desktop.hpp"
#include "excel/connector.hpp"
#include "standin/desk/memory_files.hpp"

namespace quarnel::test_support {

using standin::ChunkedInput;
using standin::LineSource;
using standin::MemoryFiles;

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
};

class ScriptedDialog : public FileDialog {
 public:
  // Each ShowOpen takes the next answer: a path chosen, or nullopt for a cancel.
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> calls;  // "DialogTitle=..", "Filter=..", "CancelError=1", "InitDir=..", "ShowOpen"
  std::string fileName;
  bool cancelError = false;
  // Runs while the dialog is open, before it answers (may be empty).
  std::function<void()> whileOpen;

  void SetDialogTitle(std::string_view title) override;
  void SetFilter(std::string_view filter) override;
  void SetCancelError(bool value) override;
  void SetInitDir(std::string_view folder) override;
  void ShowOpen() override;
  std::string FileName() const override { return fileName; }
};

class ScriptedDesktop : public Desktop {
 public:
  std::vector<ShownMessage> messages;
  std::string note = " ";
  std::string folder = "C:\\Tools\\Quarnel";
  std::string dateTime = "2026/12/08 09:05:07";
  MemoryFiles files;
  ScriptedDialog dialog;
  // Runs when a message box is shown, as a person reading it might act (may be empty).
  std::function<void(const ShownMessage&)> onMessage;
  struct Progress {
    std::uint64_t done;
    std::uint64_t total;
  };
  std::vector<Progress> progress;
  int progressEnds = 0;

  void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) override;
  std::string NoteText() override { return note; }
  std::string ProgramFolder() override { return folder; }
  std::string LocalDateTimeText() override { return dateTime; }
  FileSystem& Files() override { return files; }
  FileDialog& CommonDialog1() override { return dialog; }
  void ShowProgress(std::uint64_t done, std::uint64_t total) noexcept override {
    progress.push_back({done, total});
  }
  void EndProgress() noexcept override { ++progressEnds; }
};

// Finds Excel as the system would: a running application, an application that starting yields,
// or failures for either.
class ScriptedConnector : public excel::Connector {
 public:
  std::optional<excel::Object> running;
  std::optional<Failure> unreachable;    // the Excel in front fails so
  std::function<excel::Object()> start;  // empty: starting fails
  Failure startFailure{-2147221005, "无效的类字符串"};
  std::vector<std::string> windowTitles;             // top-level windows on the desktop
  std::optional<std::string> foundWindow;            // the window `running` was found through
  std::map<std::int32_t, std::string> excelWindows;  // Excel's main windows by handle
  std::vector<std::string> activated;                // titles brought to the front
  int starts = 0;

  excel::Object GetRunning(std::string_view progId) override;
  excel::Object Start(std::string_view progId) override;
  bool ActivateFoundWindow() override;
  bool ActivateWindowHandle(std::int32_t handle) override;
  void ActivateWindow(std::string_view title) override;
};

}  // namespace quarnel::test_support
