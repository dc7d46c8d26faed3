#pragma once

#include <span>
#include <string>

namespace quarnel::standin::server {

// The command line of excel_standin.exe. Switches start with '/' or '-', any case:
//   /RegServer    register the class for this user and exit
//   /UnregServer  remove it and exit
//   -Embedding    started by COM: invisible, no workbook, serves the class until Quit
//   /Demo         visible with the demo workbook 演示.xlsx
//   /LateRegister enters the running object table only once its window first loses the focus,
//                 as Excel does
// With none it starts as a person would start Excel: visible, with an empty Book1.
struct Switches {
  bool regServer = false;
  bool unregServer = false;
  bool embedding = false;
  bool demo = false;
  bool lateRegister = false;
  std::wstring unknown;  // the first argument not understood
};

Switches ParseSwitches(std::span<const std::wstring> args);

}  // namespace quarnel::standin::server
