// The menu of 恢复状态, opened by a right click as a person makes it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

// Which of the demo's rows 1 to 30 and columns A to H are hidden: "rows 5 12 13, columns 7".
std::string HiddenOf(const Standin& excel) {
  std::string rows;
  std::string columns;
  for (int row = 1; row <= 30; ++row) {
    if (excel.RowHidden(row)) rows += " " + std::to_string(row);
  }
  for (int column = 1; column <= 8; ++column) {
    if (excel.ColumnHidden(column)) columns += " " + std::to_string(column);
  }
  return "rows" + rows + ", columns" + columns;
}

void SetHidden(const Standin& excel, const char* lines, const excel::Value& which, bool hidden) {
  const bool rows = std::string(lines) == "Rows";
  excel.App().GetObject(lines, {which}).GetObject(rows ? "EntireRow" : "EntireColumn").Put("Hidden", hidden);
}

// Also a tour, for the guide's picture of the menu: record, change the view, switch back to the
// snapshot from the menu, then undo the switch.
TEST_F(QuarnelE2E, TourSwitchViewFromTheRestoreMenuAndUndo) {
  ASSERT_NO_FATAL_FAILURE(RunFrom(kUsersFolder));
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  q.TypeNote("月报");
  q.Click(kRecord);
  ASSERT_FALSE(ExpectOneSnapshot().empty());
  const std::string recorded = HiddenOf(excel);
  EXPECT_EQ(recorded, "rows 5 12 13, columns 7");

  // Another view, by Excel's own hand.
  SetHidden(excel, "Rows", std::string("5:5"), false);
  SetHidden(excel, "Rows", std::string("20:22"), true);
  SetHidden(excel, "Columns", 7, false);
  SetHidden(excel, "Columns", 3, true);
  const std::string changed = HiddenOf(excel);
  EXPECT_EQ(changed, "rows 12 13 20 21 22, columns 3");

  const auto expectDone = [&] {
    const Box done = ExpectBox();
    EXPECT_EQ(done.title, "提示");
    EXPECT_EQ(done.text, "处理完毕!");
    EXPECT_TRUE(q.CloseBox(done));
  };

  // The menu as it opens, with which of its four entries show greyed.
  const auto openMenu = [&](const std::vector<bool>& greyed) {
    q.RightClick(kRestore);
    const HWND menu = q.WaitForMenu();
    EXPECT_NE(menu, nullptr) << "no menu opened";
    if (menu) {
      EXPECT_EQ(GreyedEntries(menu), greyed);
    }
    return menu;
  };

  // The snapshot is the first entry; nothing to undo yet.
  HWND menu = openMenu({false, false, true, false});
  ASSERT_NE(menu, nullptr);
  SaveScreenshot(nullptr, L"restore-menu");
  ASSERT_TRUE(q.PickFromMenu(menu, 1));
  expectDone();
  EXPECT_EQ(HiddenOf(excel), recorded);

  // 撤消上次恢复 is the third: the snapshot, 显示全部行列, 撤消上次恢复.
  menu = openMenu({false, false, false, false});
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(q.PickFromMenu(menu, 3));
  expectDone();
  EXPECT_EQ(HiddenOf(excel), changed);

  // Nothing is left to undo: the entry is greyed again, and Enter on it picks nothing.
  menu = openMenu({false, false, true, false});
  ASSERT_NE(menu, nullptr);
  // Wine ends the menu on it; where the menu stays, Escape ends it.
  q.PickFromMenu(menu, 3, 1s);
  EXPECT_TRUE(q.CloseMenu(menu));
  ExpectDoneWithoutBox([&] { return HiddenOf(excel) == changed; }, "the view left as it was");
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
}

}  // namespace
}  // namespace quarnel::e2e
