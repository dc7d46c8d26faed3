#include "support/scripted_desktop.hpp"

#include <algorithm>

namespace quarnel::testing {
namespace {

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(MemoryFiles& owner, std::string path) : owner_(owner), path_(std::move(path)) {
    ++owner_.openFiles;
  }
  ~MemoryOutput() override {
    if (open_) --owner_.openFiles;
  }
  void Write(std::string_view bytes) override {
    if (owner_.failWritesAfterBytes) {
      if (*owner_.failWritesAfterBytes < bytes.size()) {
        owner_.files[path_] += bytes.substr(0, *owner_.failWritesAfterBytes);
        owner_.failWritesAfterBytes = 0;
        throw Failure(errors::kDeviceIoError, "设备 I/O 错误");
      }
      *owner_.failWritesAfterBytes -= bytes.size();
    }
    owner_.files[path_] += bytes;
  }
  void Close() override {
    if (open_) --owner_.openFiles;
    open_ = false;
  }

 private:
  MemoryFiles& owner_;
  std::string path_;
  bool open_ = true;
};

class MemoryInput : public InputFile {
 public:
  MemoryInput(MemoryFiles& owner, std::string content) : owner_(owner), content_(std::move(content)) {
    ++owner_.openFiles;
  }
  ~MemoryInput() override { --owner_.openFiles; }
  std::size_t Read(std::span<char> buffer) override {
    if (owner_.whileReading) owner_.whileReading();
    const std::size_t n = std::min(buffer.size(), content_.size() - position_);
    std::copy_n(content_.data() + position_, n, buffer.data());
    position_ += n;
    return n;
  }
  std::uint64_t Size() override { return content_.size(); }

 private:
  MemoryFiles& owner_;
  std::string content_;
  std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<OutputFile> MemoryFiles::CreateNew(const std::string& path) {
  log.push_back("create " + path);
  if (failCreate) throw *failCreate;
  if (files.contains(path)) throw Failure(errors::kFileAlreadyExists, "文件已存在");
  files[path];
  return std::make_unique<MemoryOutput>(*this, path);
}

std::unique_ptr<InputFile> MemoryFiles::OpenRead(const std::string& path) {
  log.push_back("open " + path);
  if (failOpen) throw *failOpen;
  const auto found = files.find(path);
  if (found == files.end()) throw Failure(errors::kFileNotFound, "文件未找到");
  return std::make_unique<MemoryInput>(*this, found->second);
}

void MemoryFiles::RenameNoReplace(const std::string& from, const std::string& to) {
  log.push_back("rename " + from + " -> " + to);
  if (files.contains(to)) throw Failure(errors::kFileAlreadyExists, "文件已存在");
  const auto found = files.find(from);
  if (found == files.end()) throw Failure(errors::kFileNotFound, "文件未找到");
  files[to] = std::move(found->second);
  files.erase(from);
}

void MemoryFiles::Remove(const std::string& path) noexcept {
  log.push_back("remove " + path);
  files.erase(path);
}

void ScriptedDialog::SetDialogTitle(std::string_view title) {
  calls.push_back("DialogTitle=" + std::string(title));
}
void ScriptedDialog::SetFilter(std::string_view filter) { calls.push_back("Filter=" + std::string(filter)); }
void ScriptedDialog::SetCancelError(bool value) {
  cancelError = value;
  calls.push_back(value ? "CancelError=1" : "CancelError=0");
}
void ScriptedDialog::SetInitDir(std::string_view folder) {
  calls.push_back("InitDir=" + std::string(folder));
}

void ScriptedDialog::ShowOpen() {
  calls.push_back("ShowOpen");
  if (whileOpen) whileOpen();
  std::optional<std::string> answer;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  if (!answer) {
    if (cancelError) throw Failure(errors::kDialogCancelled, "选定了“取消”");
    return;
  }
  fileName = *answer;
}

void ScriptedDesktop::ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) {
  messages.push_back({std::string(text), std::string(title), icon});
  if (onMessage) onMessage(messages.back());
}

excel::Object ScriptedConnector::GetRunning(std::string_view) {
  if (!running) throw Failure(-2147221021, "操作无法使用");
  return *running;
}

excel::Object ScriptedConnector::Start(std::string_view) {
  ++starts;
  if (!start) throw startFailure;
  excel::Object app = start();
  running = app;
  return app;
}

void ScriptedConnector::ActivateWindow(std::string_view title) {
  const auto matches = [&](const std::string& t) { return t == title; };
  const auto begins = [&](const std::string& t) { return t.starts_with(title); };
  auto found = std::find_if(windowTitles.begin(), windowTitles.end(), matches);
  if (found == windowTitles.end()) found = std::find_if(windowTitles.begin(), windowTitles.end(), begins);
  if (found == windowTitles.end()) throw Failure(5, "无效的过程调用或参数");
  activated.push_back(*found);
}

}  // namespace quarnel::testing
