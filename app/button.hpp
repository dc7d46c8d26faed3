#pragma once

namespace quarnel::app {

enum class Button { Command1, Command2, Command3, Command4, Command5, Command6, Command7 };

// Where the window sends a click on a command button. The exit button (Command5) never comes
// here: closing is the window's own business.
class ClickTarget {
 public:
  virtual ~ClickTarget() = default;
  virtual void OnClick(Button button) = 0;

 protected:
  ClickTarget() = default;
  ClickTarget(const ClickTarget&) = default;
  ClickTarget& operator=(const ClickTarget&) = default;
};

}  // namespace quarnel::app
