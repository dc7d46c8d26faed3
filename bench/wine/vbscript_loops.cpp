#include "bench/wine/vbscript_loops.hpp"

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/win32/desktop.hpp"
#include "bench/wine/sheet.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"

namespace quarnel::bench {
namespace {

namespace fs = std::filesystem;

// Setting up, both loops and the check together; far more than a bench run ever takes.
constexpr DWORD kScriptLimitMs = 20 * 60 * 1000;

// What the command printed to its standard output, once it has ended with exit code 0.
std::string RunCapturing(std::wstring commandLine) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE pipeRead = nullptr, pipeWrite = nullptr;
  if (!CreatePipe(&pipeRead, &pipeWrite, &inherit, 0)) Fail("no pipe for cscript");
  const win32::OwnedHandle readEnd(pipeRead);
  win32::OwnedHandle writeEnd(pipeWrite);
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    Fail("cscript did not start");
  }
  const win32::OwnedHandle child(process.hProcess), thread(process.hThread);
  writeEnd.Close();
  std::string output;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
  DWORD exitCode = 1;
  if (WaitForSingleObject(child.Get(), kScriptLimitMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(child.Get(), &exitCode) || exitCode != 0) {
    Fail("cscript failed: " + output);
  }
  return output;
}

// The script's "name: value" lines.
std::map<std::string, std::string> Figures(const std::string& output) {
  std::map<std::string, std::string> figures;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto colon = line.find(": ");
    if (colon != std::string::npos) figures[line.substr(0, colon)] = line.substr(colon + 2);
  }
  return figures;
}

double Number(const std::map<std::string, std::string>& figures, const std::string& name,
              const std::string& output) {
  const auto found = figures.find(name);
  if (found == figures.end()) Fail("the script did not print " + name + ": " + output);
  return std::stod(found->second);
}

}  // namespace

VbscriptRun RunVbscriptLoops(std::int32_t rows, std::int32_t columns, const fs::path& snapshot) {
  const fs::path script = fs::path(win32::ToUtf16(win32::ProgramFolder())) / L"loops.vbs";
  std::wstring commandLine = L"cscript.exe //nologo \"" + script.wstring() + L"\"";
  for (std::int32_t number : {rows, columns, kRowStep, kColumnStep})
    commandLine += L" " + std::to_wstring(number);
  commandLine += L" \"" + snapshot.wstring() + L"\"";
  const std::string output = RunCapturing(commandLine);
  const auto figures = Figures(output);
  if (Number(figures, "wrong after restore", output) != 0) Fail("the script's restore is wrong: " + output);

  const std::vector<std::string> lines = ReadLines(snapshot);
  if (CheckRecord(lines, columns) != rows || static_cast<std::int32_t>(lines.size()) != rows + columns) {
    Fail("the script's record did not take the whole sheet");
  }
  const auto count = static_cast<std::int64_t>(lines.size());
  // The script's processor time cannot be told apart from its set-up and check: none is given.
  return {{Number(figures, "record us", output) / 1000, 0, count},
          {Number(figures, "restore us", output) / 1000, 0, count}};
}

}  // namespace quarnel::bench
