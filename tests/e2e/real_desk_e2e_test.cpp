// quarnel.exe beside what a real desk shows and the everyday stand-in did not: a file opened in
// Protected View.

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "common/failure.hpp"
#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

// The file from an e-mail is in front, the demo behind it: one box in the tool's own words, and
// neither workbook changed nor one added.
TEST_F(QuarnelE2E, AFileInProtectedViewInFrontIsRefusedWithOneBoxAndNothingChanges) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.Select("B20");
  excel.App().Call("StandinProtectedView", {true});

  q.Click(kHideRow);
  const Box box = ExpectBox();
  EXPECT_EQ(box.title, "Quarnel");
  EXPECT_EQ(box.text, errors::Description(errors::kProtectedView));
  EXPECT_TRUE(q.CloseBox(box));
  ASSERT_TRUE(q.Idle());
  std::this_thread::sleep_for(kGrace);
  EXPECT_TRUE(q.Boxes().empty()) << "a second box followed";
  EXPECT_FALSE(excel.RowHidden(20));
  EXPECT_EQ(excel::ToLong(excel.App().GetObject("Workbooks").Get("Count")), 1);
  EXPECT_EQ(Standin::Processes(), 1);
}

}  // namespace
}  // namespace quarnel::e2e
