// excel_standin.exe: a stand-in for Excel's automation server where no Excel exists.

#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
//
#include <shellapi.h>

#include "common/win32/owned.hpp"
#include "standin/server/registration.hpp"
#include "standin/server/server.hpp"
#include "standin/server/switches.hpp"

namespace {

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::vector<std::wstring> Arguments() {
  int count = 0;
  quarnel::win32::LocalMemory<LPWSTR*> list;
  *list.Put() = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; list.Get() && i < count; ++i) args.emplace_back(list.Get()[i]);
  return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace quarnel::standin::server;
  const std::vector<std::wstring> args = Arguments();
  const Switches switches = ParseSwitches(args);
  if (!switches.unknown.empty()) return 87;  // ERROR_INVALID_PARAMETER
  if (switches.regServer) return SUCCEEDED(Register(StandinRegistration(), ProgramPath())) ? 0 : 1;
  if (switches.unregServer) return SUCCEEDED(Unregister(StandinRegistration())) ? 0 : 1;
  return RunServer(switches);
}
