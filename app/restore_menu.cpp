#include "app/restore_menu.hpp"

#include <cstdio>

#include "common/trace.hpp"
#include "snapshot/recent.hpp"

namespace quarnel::app {

std::string SnapshotLabel(const FoundFile& file) {
  std::string name = file.name;
  if (name.size() >= 4) name.resize(name.size() - 4);
  char time[32];
  std::snprintf(time, sizeof time, "%02d-%02d %02d:%02d", file.month, file.day, file.hour, file.minute);
  return name + "\t" + time;
}

std::vector<MenuItem> RestoreMenu(Desktop& desktop, bool canUndo) {
  using Kind = MenuItem::Kind;
  std::vector<MenuItem> items;
  try {
    const std::string folder = desktop.ProgramFolder();
    for (const FoundFile& file : snapshot::RecentSnapshots(desktop.Files(), folder, kRecentInMenu))
      items.push_back({Kind::Snapshot, SnapshotLabel(file), folder + "\\" + file.name, true, false});
  } catch (const Failure& failure) {
    items.clear();
    trace::PassedOver("listing the snapshots", failure);
  }
  if (items.empty()) items.push_back({Kind::NoSnapshot, "（程序文件夹中还没有状态文件）", {}, false, false});
  items.push_back({Kind::ShowAll, "显示全部行列", {}, true, true});
  items.push_back({Kind::Undo, "撤消上次恢复", {}, canUndo, false});
  items.push_back({Kind::Browse, "浏览…", {}, true, false});
  return items;
}

}  // namespace quarnel::app
