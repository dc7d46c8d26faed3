#pragma once

// A desktop in memory for the benchmark: files that are either written into memory or generated
// line by line as they are read, a dialog that always picks the same path, message boxes noted.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/desktop.hpp"
#include "excel/connector.hpp"

namespace quarnel::bench {

// Puts line `index` (without its line end) into `line`; false past the last line.
using LineSource = std::function<bool(std::size_t index, std::string& line)>;

class BenchFiles : public FileSystem {
 public:
  std::map<std::string, std::string> written;
  // Files produced as they are read, so that no file of any size is ever held whole.
  std::map<std::string, LineSource> generated;

  std::unique_ptr<OutputFile> CreateNew(const std::string& path) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
  void RenameNoReplace(const std::string& from, const std::string& to) override;
  void Remove(const std::string& path) noexcept override { written.erase(path); }

 private:
  bool Taken(const std::string& path) const;
};

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
  BenchFiles files;
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

class BenchConnector : public excel::Connector {
 public:
  explicit BenchConnector(excel::Object application) : application_(std::move(application)) {}
  excel::Object GetRunning(std::string_view) override { return application_; }
  excel::Object Start(std::string_view) override { return application_; }
  void ActivateWindow(std::string_view) override {}

 private:
  excel::Object application_;
};

}  // namespace quarnel::bench
