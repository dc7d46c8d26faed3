#pragma once

namespace quarnel::app {

enum class Button { Command1, Command2, Command3, Command4, Command5, Command6, Command7 };

enum class AfterClick { KeepRunning, Exit };

// Where the window sends a click on one of its buttons.
class ClickTarget {
 public:
  virtual ~ClickTarget() = default;
  virtual AfterClick OnClick(Button button) = 0;
};

}  // namespace quarnel::app
