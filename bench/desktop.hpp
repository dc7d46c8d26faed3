#pragma once

// A desktop in memory for the benchmark: the stand-in's files in memory, a dialog that always picks the
// same path, message boxes noted, progress ignored (it would hold memory the figures count).

#include <string>
#include <vector>

#include "common/desktop.hpp"
#include "excel/connector.hpp"
#include "standin/desk/memory_files.hpp"

namespace quarnel::bench {

using standin::LineSource;
using standin::MemoryFiles;

class BenchDialog : public FileDialog {
 public:
  std::string fileName;
  void SetDialogTitle(std::string_view) override {}
  void SetFilter(std::string_view) override {}
  void SetCancelError(bool) override {}
  void SetInitDir(std::string_view) override {}
  void ShowOpen() override {}
  std::string FileName() const override { return fileName; }
};

class BenchDesktop : public Desktop {
 public:
  std::vector<std::string> messages;
  MemoryFiles files;
  BenchDialog dialog;

  void ShowMessage(std::string_view text, std::string_view, MessageIcon) override {
    messages.emplace_back(text);
  }
  std::string NoteText() override { return " "; }
  std::string ProgramFolder() override { return "C:\\Bench"; }
  std::string LocalDateTimeText() override { return "2026/12/08 09:05:07"; }
  FileSystem& Files() override { return files; }
  FileDialog& CommonDialog1() override { return dialog; }
};

// Hands the commands one application object, as if it were the running Excel; no windows.
class BenchConnector : public excel::Connector {
 public:
  explicit BenchConnector(excel::Object application) : application_(std::move(application)) {}
  excel::Object GetRunning(std::string_view) override { return application_; }
  excel::Object Start(std::string_view) override { return application_; }
  bool ActivateFoundWindow() override { return false; }
  bool ActivateWindowHandle(std::int32_t) override { return false; }
  void ActivateWindow(std::string_view) override {}

 private:
  excel::Object application_;
};

}  // namespace quarnel::bench
