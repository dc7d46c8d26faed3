#pragma once

// What the tool's commands run with in the bench: a desktop on a folder of its own and the tool's
// own connector.

#include <filesystem>
#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
//
#include "app/win32/clock.hpp"
#include "app/win32/files.hpp"
#include "bench/desktop.hpp"
#include "bench/wine/look_up_every_call.hpp"
#include "common/win32/utf16.hpp"
#include "excel/attach.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/dispatch.hpp"

namespace quarnel::bench {

namespace fs = std::filesystem;
using excel::Object;

// Once: the tool's own client, which asks for a member's DISPID the first time only. EveryCall:
// naive late binding, a look-up before every call; kept to measure what Once saves.
enum class NameLookup { Once, EveryCall };

// The folder the commands see as the program's; each run its own, removed at the end.
class DiskDesktop final : public quarnel::Desktop {
 public:
  explicit DiskDesktop(fs::path folder) : folder_(std::move(folder)) { fs::create_directories(folder_); }
  ~DiskDesktop() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void ShowMessage(std::string_view text, std::string_view, MessageIcon) override {
    messages.emplace_back(text);
  }
  std::string NoteText() override { return " "; }
  std::string ProgramFolder() override { return win32::ToUtf8(folder_.wstring()); }
  std::string LocalDateTimeText() override { return win32::LocalDateTimeText(); }
  FileSystem& Files() override { return files_; }
  FileDialog& CommonDialog1() override { return dialog; }

  // The dialog picks the file the bench names.
  BenchDialog dialog;
  std::vector<std::string> messages;

  std::vector<fs::path> Snapshots() const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      if (entry.path().extension() == L".txt") found.push_back(entry.path());
    }
    return found;
  }

 private:
  fs::path folder_;
  win32::WideFileSystem files_;
};

// The tool's own connector, its objects looking names up as told.
class ToolConnector final : public excel::Connector {
 public:
  explicit ToolConnector(NameLookup lookup) : lookup_(lookup) {}
  Object GetRunning(std::string_view progId) override { return Relookup(inner_.GetRunning(progId)); }
  Object Start(std::string_view progId) override { return Relookup(inner_.Start(progId)); }
  bool ActivateFoundWindow() override { return inner_.ActivateFoundWindow(); }
  bool ActivateWindowHandle(std::int32_t handle) override { return inner_.ActivateWindowHandle(handle); }
  void ActivateWindow(std::string_view title) override { inner_.ActivateWindow(title); }

 private:
  Object Relookup(const Object& object) const {
    return lookup_ == NameLookup::EveryCall ? LookUpEveryCall::Wrap(object) : object;
  }
  win32::ComConnector inner_;
  NameLookup lookup_;
};

// Each measured run attaches afresh.

}  // namespace quarnel::bench
