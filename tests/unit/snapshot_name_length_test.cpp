#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "common/text.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/name.hpp"
#include "snapshot_fixture.hpp"

namespace quarnel::testing {
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

// Workbook Plan.xlsx and the desktop's 14-digit stamp: a note of n UTF-16 units gives the name
// "Plan-行列状态_" note "_" stamp ".txt" of 29 + n units, and the longest name a record may create,
// the last attempt's ".part1000", of 38 + n.
class NoteLengthTest : public SnapshotCommandTest {
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
    const std::string longest = Repeat(character, 217);
    EXPECT_EQ(RecordWith(" " + longest + " "), "") << character;
    EXPECT_TRUE(desktop.files.files.contains(PathOf(longest))) << character;
    EXPECT_EQ(RecordWith(longest + std::string(character)), NoteNameMessage(218, 256)) << character;
  }
  // A character above U+FFFF is two units of the name but one character of the note.
  EXPECT_EQ(RecordWith(Repeat("😀", 108) + "a"), "");
  EXPECT_EQ(RecordWith(Repeat("😀", 109)), NoteNameMessage(109, 256));
  // The message shows directly; the box is the tool's own, not a run-time error.
  EXPECT_EQ(desktop.messages.back().title, kAppTitle);
}

TEST_F(NoteLengthTest, PathLimitWithAsciiAndChineseNotes) {
  // "C:\Tools\Quarnel\" and the longest name: 17 + 38 + n units.
  for (const std::string_view character : {"b", "备"}) {
    const std::string longest = Repeat(character, 204);
    EXPECT_EQ(RecordWith(longest), "") << character;
    EXPECT_TRUE(desktop.files.files.contains(PathOf(longest))) << character;
    EXPECT_EQ(RecordWith(longest + std::string(character)), NotePathMessage(205, 260)) << character;
  }
}

TEST_F(NoteLengthTest, AWorkbookNameOrAFolderTooLongIsSaidSoAndNotBlamedOnTheNote) {
  desktop.folder = "C:";
  // The name without a note: base + 24 units, the longest + 33.
  model.AddWorkbook(std::string(222, 'w') + ".xlsx");
  EXPECT_EQ(RecordWith(""), "");
  EXPECT_EQ(RecordWith("x"), NoteNameMessage(1, 257));
  model.AddWorkbook(std::string(223, 'w') + ".xlsx");
  const std::string workbook =
      "工作簿名称太长：Windows 文件名最多 255 个字符，快照文件名将有 256 个字符。请缩短工作簿名称后再记录。";
  EXPECT_EQ(RecordWith(" "), workbook);
  // A shorter note would not help: the workbook name is what is too long.
  EXPECT_EQ(
      RecordWith("x"),
      "工作簿名称太长：Windows 文件名最多 255 个字符，快照文件名将有 258 个字符。请缩短工作簿名称后再记录。");

  model.AddWorkbook("Plan.xlsx");
  // A folder of f units and Plan's longest name without a note: f + 1 + 37.
  desktop.folder = "C:\\" + Repeat("文", 218);
  EXPECT_EQ(RecordWith(""), "");
  desktop.folder += "f";
  const std::string folder =
      "程序所在文件夹的路径太长：Windows 路径最多 259 个字符，快照文件的完整路径将有 260 "
      "个字符。请把程序放到路径较短的文件夹后再记录。";
  EXPECT_EQ(RecordWith(""), folder);
  EXPECT_EQ(RecordWith("n"),
            "程序所在文件夹的路径太长：Windows 路径最多 259 个字符，快照文件的完整路径将有 262 "
            "个字符。请把程序放到路径较短的文件夹后再记录。");
}

// The limits count the longest names the command can create: with every earlier attempt taken,
// the last attempt's names reach the limits exactly and go no further.
TEST_F(NoteLengthTest, TheLastAttemptsNamesReachTheLimitsExactly) {
  const auto longestCreated = [this](const std::string& note) {
    desktop.note = note;
    desktop.files.files.clear();
    desktop.files.log.clear();
    const std::string name = snapshot::SnapshotFileName("Plan.xlsx", note, kStamp);
    const std::string folder = desktop.folder + "\\";
    for (int n = 1; n < snapshot::kNameAttempts; ++n) {
      desktop.files.files[folder + snapshot::PartFileName(name, n)];
      desktop.files.files[folder + (n == 1 ? name : snapshot::NumberedFileName(name, n))];
    }
    RecordSnapshot(host);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(
        desktop.files.files.contains(folder + snapshot::NumberedFileName(name, snapshot::kNameAttempts)));
    std::size_t nameUnits = 0;
    std::size_t pathUnits = 0;
    for (const std::string& entry : desktop.files.log) {
      const std::string path = entry.substr(entry.rfind(' ') + 1);
      nameUnits = std::max(nameUnits, Utf16Length(常用函数::FileNameOfPath(path)));
      pathUnits = std::max(pathUnits, Utf16Length(path));
    }
    return std::pair(nameUnits, pathUnits);
  };
  desktop.folder = "C:";
  EXPECT_EQ(longestCreated(Repeat("a", 217)).first, 255u);
  desktop.folder = "C:\\Tools\\Quarnel";
  EXPECT_EQ(longestCreated(Repeat("b", 204)).second, 259u);
}

}  // namespace
}  // namespace quarnel::testing
