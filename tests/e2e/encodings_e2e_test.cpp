// Snapshots as Notepad saves them, in each of its four encodings, restored through the dialog.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

std::string Utf16LeWithMark(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST_F(QuarnelE2E, SnapshotsInEachOfNotepadsEncodingsRestore) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  struct Saved {
    std::wstring name;
    std::string bytes;
    int row;
    int column;
  };
  // Each hides a row and a column of its own; the third piece, a note in Chinese, is ignored.
  const std::vector<Saved> files = {
      {L"ansi.txt", "21:21/True/\xB1\xB8\xD7\xA2\r\n2/true\r\n", 21, 2},
      {L"utf8.txt", "22:22/True/备注\r\n3/TRUE\r\n", 22, 3},
      {L"utf8-bom.txt",
       "\xEF\xBB\xBF"
       "23:23/True/备注\r\n4/True\r\n",
       23, 4},
      {L"utf16le.txt", Utf16LeWithMark(u"24:24/True/备注\r\n5/True\r\n"), 24, 5},
  };
  for (const Saved& saved : files) {
    SCOPED_TRACE(ToUtf8(saved.name));
    ASSERT_TRUE(WriteBytes(Beside(saved.name), saved.bytes));
    ExpectDone(RestoreFrom(Beside(saved.name)));
    EXPECT_TRUE(excel.RowHidden(saved.row));
    EXPECT_TRUE(excel.ColumnHidden(saved.column));
  }
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  EXPECT_TRUE(q.Program().Running());
}

}  // namespace
}  // namespace quarnel::e2e
