#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/click.hpp"
#include "app/restore_menu.hpp"
#include "support/attached_excel.hpp"

namespace quarnel::test_support {
namespace {

using app::MenuItem;
using Kind = MenuItem::Kind;

class RestoreMenuTest : public AttachedExcelTest {
 protected:
  // A file in the program folder, written at minute `minute` of 2026-12-09 14:00 (local time).
  void Write(const std::string& name, int minute) {
    const std::string path = desktop.folder + "\\" + name;
    desktop.files.files[path] = "1:1/True\r\n";
    desktop.files.times[path] = {{}, static_cast<std::uint64_t>(minute), 12, 9, 14, minute};
  }
  std::vector<std::string> Labels(const std::vector<MenuItem>& items) {
    std::vector<std::string> labels;
    for (const MenuItem& item : items) labels.push_back(item.label + (item.enabled ? "" : " (grey)"));
    return labels;
  }
};

TEST_F(RestoreMenuTest, NewestSnapshotsFirstAtMostTenThenTheThreeCommands) {
  using L = std::vector<std::string>;
  const L tail = {"显示全部行列", "撤消上次恢复 (grey)", "浏览…"};
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, int>> files;  // name, minute written
    L expected;                                      // before the three commands
    bool listFails = false;
  };
  const std::vector<Case> cases = {
      {"an empty folder", {}, {"（程序文件夹中还没有状态文件） (grey)"}},
      {"no snapshot among the text files",
       {{"readme.txt", 1}, {"Plan-行列状态_1.csv", 2}},
       {"（程序文件夹中还没有状态文件） (grey)"}},
      {"newest first, names kept whole",
       {{"月报-行列状态_给老板_20261209143000.txt", 30},
        {"A&B-行列状态_20261209140500.TXT", 5},
        {"A&B-行列状态_20261209141000.txt", 10}},
       {"月报-行列状态_给老板_20261209143000\t12-09 14:30", "A&B-行列状态_20261209141000\t12-09 14:10",
        "A&B-行列状态_20261209140500\t12-09 14:05"}},
      {"the same minute: by name, the later stamp first",
       {{"P-行列状态_1.txt", 7}, {"P-行列状态_2.txt", 7}},
       {"P-行列状态_2\t12-09 14:07", "P-行列状态_1\t12-09 14:07"}},
      {"a folder that cannot be listed offers the dialog",
       {{"P-行列状态_1.txt", 1}},
       {"（程序文件夹中还没有状态文件） (grey)"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    desktop.files = MemoryFiles();
    if (c.listFails) desktop.files.failList = Failure(70, "拒绝的权限");
    for (const auto& [name, minute] : c.files) Write(name, minute);
    L expected = c.expected;
    expected.insert(expected.end(), tail.begin(), tail.end());
    const auto items = app::Commands(host).RestoreMenu();
    EXPECT_EQ(Labels(items), expected);
    // Only the first command is set apart from the list.
    for (const MenuItem& item : items) EXPECT_EQ(item.separated, item.kind == Kind::ShowAll) << item.label;
  }
  EXPECT_EQ(excel.TotalCalls(), 0u);
  EXPECT_EQ(connector.starts, 0);
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(RestoreMenuTest, TenOfTwelveAndOnlyFromTheProgramFolder) {
  for (int minute = 0; minute < 12; ++minute) Write("P-行列状态_" + std::to_string(minute) + ".txt", minute);
  desktop.files.files[desktop.folder + "\\old\\P-行列状态_99.txt"] = "";
  const auto items = app::Commands(host).RestoreMenu();
  ASSERT_EQ(items.size(), app::kRecentInMenu + 3);
  EXPECT_EQ(items.front().path, desktop.folder + "\\P-行列状态_11.txt");
  EXPECT_EQ(items[9].path, desktop.folder + "\\P-行列状态_2.txt");
  EXPECT_EQ(items.front().kind, Kind::Snapshot);
}

}  // namespace
}  // namespace quarnel::test_support
