#include "support/scripted_desktop.hpp"

#include <algorithm>

namespace quarnel::test_support {
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
  if (unreachable) throw excel::UnreachableExcel(*unreachable);
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

bool ScriptedConnector::ActivateFoundWindow() {
  if (!foundWindow) return false;
  activated.push_back(*foundWindow);
  return true;
}

bool ScriptedConnector::ActivateWindowHandle(std::int32_t handle) {
  const auto found = excelWindows.find(handle);
  if (found == excelWindows.end()) return false;
  activated.push_back(found->second);
  return true;
}

void ScriptedConnector::ActivateWindow(std::string_view title) {
  const auto matches = [&](const std::string& t) { return t == title; };
  const auto begins = [&](const std::string& t) { return t.starts_with(title); };
  auto found = std::find_if(windowTitles.begin(), windowTitles.end(), matches);
  if (found == windowTitles.end()) found = std::find_if(windowTitles.begin(), windowTitles.end(), begins);
  if (found == windowTitles.end()) throw Failure(5, "无效的过程调用或参数");
  activated.push_back(*found);
}

}  // namespace quarnel::test_support
