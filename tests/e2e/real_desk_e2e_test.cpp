// quarnel.exe beside what a real desk shows and the everyday stand-in did not: a file opened in
// Protected View, and an Excel its user closes while the palette stays open.

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>

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
  CheckAndClose(ExpectBox(), "Quarnel", errors::Description(errors::kProtectedView));
  ASSERT_TRUE(q.Idle());
  std::this_thread::sleep_for(kGrace);
  EXPECT_TRUE(q.Boxes().empty()) << "a second box followed";
  EXPECT_FALSE(excel.RowHidden(20));
  EXPECT_EQ(excel::ToLong(excel.App().GetObject("Workbooks").Get("Count")), 1);
  EXPECT_EQ(Standin::Processes(), 1);
}

// Excel ends once its user closes it: the palette holds none of its objects between clicks. The
// next click starts a new Excel with its Book1, as with no Excel at all.
TEST_F(QuarnelE2E, AnExcelClosedByItsUserEndsWhileThePaletteStaysOpen) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.Select("B20");
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(20); }, "row 20 hidden");
  ASSERT_TRUE(q.Idle());

  const HWND frame = excel.Window();
  Process process = std::move(excel.ProgramProcess());
  const DWORD gone = process.Id();
  // The test's own reference goes first: only the palette's could keep Excel now.
  excel = Standin();
  PostMessageW(frame, WM_CLOSE, 0, 0);
  EXPECT_TRUE(process.WaitExit(5s)) << "Excel stayed after its user closed it";
  EXPECT_TRUE(q.Program().Running());
  EXPECT_TRUE(IsWindow(q.Window()));

  ExpectANewExcelToTakeTheNextHide(gone);
}

}  // namespace
}  // namespace quarnel::e2e
