// excel_standin.exe: a stand-in for Excel's automation server where no Excel exists.

#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
//
#include <shellapi.h>

#include "common/trace.hpp"
#include "common/win32/debug_output.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/program_path.hpp"
#include "standin/server/registration.hpp"
#include "standin/server/server.hpp"
#include "standin/server/switches.hpp"

namespace {

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
  quarnel::trace::SetSink(quarnel::win32::WriteToDebugger);
  const std::vector<std::wstring> args = Arguments();
  const Switches switches = ParseSwitches(args);
  if (!switches.unknown.empty()) return 87;  // ERROR_INVALID_PARAMETER
  if (switches.regServer)
    return SUCCEEDED(Register(StandinRegistration(), quarnel::win32::ProgramPath())) ? 0 : 1;
  if (switches.unregServer) return SUCCEEDED(Unregister(StandinRegistration())) ? 0 : 1;
  return RunServer(switches);
}
