#pragma once

#include "excel/attach.hpp"

namespace quarnel::app {

enum class Button { Command1, Command2, Command3, Command4, Command5, Command6, Command7 };

enum class AfterClick {
  KeepRunning,
  Exit,
  // A command was still running: the click was dropped.
  Busy,
};

// Runs the command wired to the button. A failure the command lets through is shown with its
// number and description under the application title; the tool keeps running.
AfterClick OnClick(Button button, Host& host);

}  // namespace quarnel::app
