// A note that would make the snapshot's path longer than Windows allows: said so, nothing written.

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

TEST_F(QuarnelE2E, ANoteTooLongForThePathIsRefusedAndOneShorterIsRecorded) {
  StartDemo();
  Quarnel& q = StartQuarnel();
  // A first snapshot without a note gives the stamp's length here.
  const std::vector<std::wstring> files{RecordOne()};
  ASSERT_FALSE(files[0].empty());
  const std::wstring prefix = L"演示-行列状态_";
  ASSERT_TRUE(files[0].starts_with(prefix)) << ToUtf8(files[0]);
  const std::size_t stamp = files[0].size() - prefix.size() - 4;
  // The path a record creates: folder, "\", the name with the note and "_".
  const std::size_t withoutNote = q.Folder().size() + 1 + prefix.size() + 1 + stamp + 4;
  ASSERT_LT(withoutNote, 259u);
  const std::size_t tooLong = 260 - withoutNote;

  q.TypeNote(std::string(tooLong, 'n'));
  q.Click(kRecord);
  const Box box = ExpectBox();
  EXPECT_EQ(box.title, "Quarnel");
  EXPECT_EQ(box.text, "备注太长：Windows 路径最多 259 个字符，加上这条 " + std::to_string(tooLong) +
                          " 个字符的备注，快照文件的完整路径将有 260 个字符。请缩短备注后再记录。");
  // The box draws its text a moment after it shows.
  std::this_thread::sleep_for(1s);
  SaveScreenshot(box.window, L"note-too-long");
  EXPECT_TRUE(q.CloseBox(box));
  EXPECT_TRUE(q.Idle());
  EXPECT_EQ(q.FilesBeside(), files) << "something was written";
  EXPECT_TRUE(q.Program().Running());

  const std::string fits(tooLong - 1, 'n');
  q.TypeNote(fits);
  q.Click(kRecord);
  ExpectDoneWithoutBox(
      [&] {
        const auto now = q.FilesBeside();
        return now.size() == 2 &&
               (now[0].find(ToUtf16(fits)) != std::wstring::npos ||
                now[1].find(ToUtf16(fits)) != std::wstring::npos) &&
               now[0].ends_with(L".txt") && now[1].ends_with(L".txt");
      },
      "the snapshot with the note one shorter");
}

}  // namespace
}  // namespace quarnel::e2e
