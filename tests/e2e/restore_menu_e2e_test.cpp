// The menu of 恢复状态, opened by a right click as a person makes it.

#include <gtest/gtest.h>

#include <vector>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

// Also a tour, for the guide's picture of the menu: record, change the view, switch back to the
// snapshot from the menu, then undo the switch.
TEST_F(QuarnelE2E, TourSwitchViewFromTheRestoreMenuAndUndo) {
  ASSERT_NO_FATAL_FAILURE(RunFrom(kUsersFolder));
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  ASSERT_FALSE(RecordOne("月报").empty());
  const std::string recorded = excel.HiddenView();
  EXPECT_EQ(recorded, kDemoView);

  // Another view, by Excel's own hand.
  excel.SetHidden("Rows", std::string("5:5"), false);
  excel.SetHidden("Rows", std::string("20:22"), true);
  excel.SetHidden("Columns", 7, false);
  excel.SetHidden("Columns", 3, true);
  const std::string changed = excel.HiddenView();
  EXPECT_EQ(changed, "rows 12 13 20 21 22, columns 3");

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
  ExpectDone(ExpectBox());
  EXPECT_EQ(excel.HiddenView(), recorded);

  // 撤消上次恢复 is the third: the snapshot, 显示全部行列, 撤消上次恢复.
  menu = openMenu({false, false, false, false});
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(q.PickFromMenu(menu, 3));
  ExpectDone(ExpectBox());
  EXPECT_EQ(excel.HiddenView(), changed);

  // Nothing is left to undo: the entry is greyed again, and Enter on it picks nothing.
  menu = openMenu({false, false, true, false});
  ASSERT_NE(menu, nullptr);
  // Wine ends the menu on it; where the menu stays, Escape ends it.
  q.PickFromMenu(menu, 3, 1s);
  EXPECT_TRUE(q.CloseMenu(menu));
  ExpectDoneWithoutBox([&] { return excel.HiddenView() == changed; }, "the view left as it was");
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
}

}  // namespace
}  // namespace quarnel::e2e
