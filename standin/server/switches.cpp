#include "standin/server/switches.hpp"

#include <cwctype>

namespace quarnel::standin::server {

Switches ParseSwitches(std::span<const std::wstring> args) {
  Switches switches;
  for (const std::wstring& arg : args) {
    std::wstring name;
    if (arg.size() > 1 && (arg[0] == L'/' || arg[0] == L'-')) {
      for (wchar_t c : arg.substr(1)) name.push_back(static_cast<wchar_t>(std::towlower(c)));
    }
    if (name == L"regserver") {
      switches.regServer = true;
    } else if (name == L"unregserver") {
      switches.unregServer = true;
    } else if (name == L"embedding" || name == L"automation") {
      switches.embedding = true;
    } else if (name == L"demo") {
      switches.demo = true;
    } else if (name == L"lateregister") {
      switches.lateRegister = true;
    } else if (switches.unknown.empty()) {
      switches.unknown = arg;
    }
  }
  return switches;
}

}  // namespace quarnel::standin::server
