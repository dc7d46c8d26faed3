#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/desktop.hpp"

namespace quarnel::app {

// One entry of the menu that a right click on 恢复状态 opens.
struct MenuItem {
  enum class Kind { Snapshot, NoSnapshot, ShowAll, Undo, Browse };
  Kind kind = Kind::Browse;
  std::string label;
  std::string path;  // the snapshot's, for Kind::Snapshot
  bool enabled = true;
  // A line between this entry and the one before it.
  bool separated = false;
};

inline constexpr std::size_t kRecentInMenu = 10;

// The snapshots in the program's folder written last, the newest first, each by its name without
// ".txt" and its time; then 显示全部行列, 撤消上次恢复 (greyed unless `canUndo`) and 浏览…. With no
// snapshot, the first part is one greyed line; a folder that cannot be listed counts as one with
// none. Asks nothing of Excel.
std::vector<MenuItem> RestoreMenu(Desktop& desktop, bool canUndo);

// "<name without .txt>\t<MM-dd HH:mm>".
std::string SnapshotLabel(const FoundFile& file);

}  // namespace quarnel::app
