#pragma once

#include <vector>

#include "app/restore_menu.hpp"

namespace quarnel::app {

// The buttons by their names in the window: 隐藏行, 隐藏列, 记录状态, 恢复状态, 退出, 不隐藏行, 不隐藏列.
enum class Button { Command1, Command2, Command3, Command4, Command5, Command6, Command7 };

// Where the window sends a click on a command button. The exit button (Command5) never comes
// here: closing is the window's own business.
class ClickTarget {
 public:
  virtual ~ClickTarget() = default;
  virtual void OnClick(Button button) = 0;
  // The menu a right click on Command4 opens; none when empty.
  virtual std::vector<MenuItem> RestoreMenu() { return {}; }
  // An entry of that menu picked.
  virtual void OnMenu(const MenuItem& /*item*/) {}

 protected:
  ClickTarget() = default;
  ClickTarget(const ClickTarget&) = default;
  ClickTarget& operator=(const ClickTarget&) = default;
};

}  // namespace quarnel::app
