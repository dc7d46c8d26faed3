#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "common/text.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/name.hpp"
#include "support/attached_excel.hpp"

namespace quarnel::test_support {
namespace {

using snapshot::RecordSnapshot;

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

std::string NoteNameMessage(int note, int name) {
  return "备注太长：Windows 文件名最多 255 个字符，加上这条 " + std::to_string(note) +
         " 个字符的备注，快照文件名将有 " + std::to_string(name) + " 个字符。请缩短备注后再记录。";
}

std::string NotePathMessage(int note, int path) {
  return "备注太长：Windows 路径最多 259 个字符，加上这条 " + std::to_string(note) +
         " 个字符的备注，快照文件的完整路径将有 " + std::to_string(path) + " 个字符。请缩短备注后再记录。";
}

std::string WorkbookMessage(int name) {
  return "工作簿名称太长：Windows 文件名最多 255 个字符，快照文件名将有 " + std::to_string(name) +
         " 个字符。请缩短工作簿名称后再记录。";
}

std::string FolderMessage(int path) {
  return "程序所在文件夹的路径太长：Windows 路径最多 259 个字符，快照文件的完整路径将有 " +
         std::to_string(path) + " 个字符。请把程序放到路径较短的文件夹后再记录。";
}

// Workbook Plan.xlsx and the desktop's 14-digit stamp: a note of n UTF-16 units gives the name
// "Plan-行列状态_" note "_" stamp ".txt" of 29 + n units. The part file's name is shorter.
class NoteLengthTest : public PlanInFrontTest {
 protected:
  static constexpr const char* kStamp = "20261208090507";

  // Records with `note` in the note box: the message shown, or "" when the snapshot was written.
  std::string RecordWith(std::string note) {
    desktop.note = std::move(note);
    desktop.messages.clear();
    desktop.files.files.clear();
    desktop.files.log.clear();
    RecordSnapshot(host);
    if (!desktop.messages.empty()) {
      EXPECT_TRUE(desktop.files.log.empty()) << "something was created: " << desktop.files.log.front();
      return desktop.messages.back().text;
    }
    EXPECT_EQ(desktop.files.files.size(), 1u);
    return "";
  }

  std::string PathOf(const std::string& note) const {
    return desktop.folder + "\\Plan-行列状态_" + (note.empty() ? "" : note + "_") + kStamp + ".txt";
  }
};

TEST_F(NoteLengthTest, NameLimitWithAsciiChineseAndFourByteNotes) {
  desktop.folder = "C:";
  for (const std::string_view character : {"a", "中"}) {
    const std::string longest = Repeat(character, 226);
    EXPECT_EQ(RecordWith(" " + longest + " "), "") << character;
    EXPECT_TRUE(desktop.files.files.contains(PathOf(longest))) << character;
    EXPECT_EQ(RecordWith(longest + std::string(character)), NoteNameMessage(227, 256)) << character;
  }
  // A character above U+FFFF is two units of the name but one character of the note.
  EXPECT_EQ(RecordWith(Repeat("😀", 113)), "");
  EXPECT_EQ(RecordWith(Repeat("😀", 113) + "a"), NoteNameMessage(114, 256));
  // The message shows directly; the box is the tool's own, not a run-time error.
  EXPECT_EQ(desktop.messages.back().title, kAppTitle);
}

TEST_F(NoteLengthTest, PathLimitWithAsciiAndChineseNotes) {
  // "C:\Tools\Quarnel\" and the name: 17 + 29 + n units.
  for (const std::string_view character : {"b", "备"}) {
    const std::string longest = Repeat(character, 213);
    EXPECT_EQ(RecordWith(longest), "") << character;
    EXPECT_TRUE(desktop.files.files.contains(PathOf(longest))) << character;
    EXPECT_EQ(RecordWith(longest + std::string(character)), NotePathMessage(214, 260)) << character;
  }
}

TEST_F(NoteLengthTest, AWorkbookNameOrAFolderTooLongIsSaidSoAndNotBlamedOnTheNote) {
  desktop.folder = "C:";
  // The name without a note: base + 24 units.
  model.AddWorkbook(std::string(231, 'w') + ".xlsx");
  EXPECT_EQ(RecordWith(""), "");
  EXPECT_EQ(RecordWith("x"), NoteNameMessage(1, 257));
  model.AddWorkbook(std::string(232, 'w') + ".xlsx");
  EXPECT_EQ(RecordWith(" "), WorkbookMessage(256));
  // A shorter note would not help: the workbook name is what is too long.
  EXPECT_EQ(RecordWith("x"), WorkbookMessage(258));

  model.AddWorkbook("Plan.xlsx");
  // A folder of f units and Plan's name without a note: f + 1 + 28.
  desktop.folder = "C:\\" + Repeat("文", 227);
  EXPECT_EQ(RecordWith(""), "");
  desktop.folder += "f";
  EXPECT_EQ(RecordWith(""), FolderMessage(260));
  EXPECT_EQ(RecordWith("n"), FolderMessage(262));
}

// A second record in the same second takes the "_2" name: when that no longer fits, the user is
// told as for the first name, with that name's length, before the sheet is read or a file made.
TEST_F(NoteLengthTest, ANumberedNameThatNoLongerFitsIsRefusedAsTheFirstWouldBe) {
  desktop.folder = "C:";
  const std::string note = Repeat("a", 226);
  EXPECT_EQ(RecordWith(note), "");
  const std::string first = PathOf(note);
  const std::string written = desktop.files.files.at(first);
  desktop.files.log.clear();
  model.ResetCounters();

  RecordSnapshot(host);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, NoteNameMessage(226, 257));
  EXPECT_TRUE(desktop.files.log.empty()) << desktop.files.log.front();
  EXPECT_EQ(model.Calls("cells"), 0u);
  EXPECT_EQ(desktop.files.files.size(), 1u) << "a part file was left";
  EXPECT_EQ(desktop.files.files.at(first), written);

  // One shorter, the numbered name fits.
  EXPECT_EQ(RecordWith(Repeat("a", 224)), "");
  desktop.messages.clear();
  RecordSnapshot(host);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(desktop.files.files.contains(
      desktop.folder + "\\" + snapshot::NumberedFileName(PathOf(Repeat("a", 224)).substr(3), 2)));
}

}  // namespace
}  // namespace quarnel::test_support
