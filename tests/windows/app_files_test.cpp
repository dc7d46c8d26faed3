#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "app/win32/desktop.hpp"
#include "app/win32/files.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/win_headers.hpp"
#include "failure_of.hpp"
#include "support/failure_number.hpp"
#include "support/win32/files.hpp"

namespace quarnel::win32 {
namespace {

using quarnel::test_support::FailureNumber;
using quarnel::test_support::FileNamesIn;

// A folder of its own under the temporary folder, with the tag's characters in its name too.
class WideFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::array<wchar_t, MAX_PATH + 1> temp{};
    ASSERT_GT(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()), 0u);
    folder = ToUtf8(temp.data()) + "quarnel-行列状态-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(ToUtf16(folder).c_str(), nullptr));
  }

  void TearDown() override {
    const std::wstring wideFolder = ToUtf16(folder);
    for (const std::wstring& name : FileNamesIn(wideFolder)) DeleteFileW((wideFolder + L"\\" + name).c_str());
    RemoveDirectoryW(wideFolder.c_str());
  }

  std::string Write(const std::string& name, std::string_view bytes) {
    const std::string path = folder + "\\" + name;
    auto file = files.CreateNew(path);
    file->Write(bytes);
    file->Close();
    return path;
  }

  std::string ReadAll(const std::string& path) {
    auto file = files.OpenRead(path);
    std::string bytes;
    std::array<char, 4> chunk{};  // small, so a line takes several reads
    while (const std::size_t n = file->Read(chunk)) bytes.append(chunk.data(), n);
    return bytes;
  }

  std::wstring OnlyFileName() {
    const std::vector<std::wstring> names = FileNamesIn(ToUtf16(folder), L"*.txt");
    return names.size() == 1 ? names[0] : L"(" + std::to_wstring(names.size()) + L" files)";
  }

  static bool Exists(const std::string& path) {
    return GetFileAttributesW(ToUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::string folder;
  WideFileSystem files;
};

TEST_F(WideFilesTest, CreatesAFileUnderItsChineseNameAndReadsTheBytesBack) {
  const std::string bytes = "1:1/False\r\n2:2/True\r\n1/False\r\n";
  const std::string path = Write("Plan-行列状态_before_20261208090507.txt", bytes);

  EXPECT_EQ(OnlyFileName(), L"Plan-行列状态_before_20261208090507.txt");
  EXPECT_TRUE(Exists(path));
  EXPECT_EQ(ReadAll(path), bytes);
  EXPECT_EQ(ReadAll(Write("empty-行列状态_.txt", "")), "");
}

TEST_F(WideFilesTest, RenameRefusesATakenNameAndMovesToAFreeOne) {
  const std::string from = Write("Plan-行列状态_new.txt", "new");
  const std::string taken = Write("Plan-行列状态_old.txt", "old");

  EXPECT_EQ(FailureNumber([&] { files.RenameNoReplace(from, taken); }), 58);
  EXPECT_EQ(ReadAll(from), "new");
  EXPECT_EQ(ReadAll(taken), "old");

  const std::string free = folder + "\\Plan-行列状态_new(2).txt";
  files.RenameNoReplace(from, free);
  EXPECT_FALSE(Exists(from));
  EXPECT_EQ(ReadAll(free), "new");
  EXPECT_TRUE(files.Exists(free));
  EXPECT_FALSE(files.Exists(from));

  files.Remove(free);
  EXPECT_FALSE(Exists(free));
  files.Remove(free);  // gone already: quietly nothing
}

TEST_F(WideFilesTest, FailuresCarryTheNumbersUsersKnow) {
  const std::string missing = folder + "\\nicht-行列状态.txt";
  const std::string noFolder = folder + "\\没有\\x.txt";
  EXPECT_FALSE(Exists(missing));
  EXPECT_EQ(FailureNumber([&] { files.OpenRead(missing); }), 53);
  EXPECT_EQ(FailureNumber([&] { files.OpenRead(noFolder); }), 76);
  EXPECT_EQ(FailureNumber([&] { files.CreateNew(noFolder); }), 76);
  EXPECT_EQ(FailureNumber([&] { files.RenameNoReplace(missing, folder + "\\y.txt"); }), 53);
  // A note holding a character no file name may hold.
  EXPECT_EQ(FailureNumber([&] { files.CreateNew(folder + "\\Plan-行列状态_a<b_1.txt"); }), 52);
  EXPECT_EQ(FileFailure(ERROR_ACCESS_DENIED).Description(), "拒绝的权限");
  EXPECT_EQ(FileFailure(ERROR_SHARING_VIOLATION).Number(), 70);
  EXPECT_EQ(FileFailure(ERROR_CRC).Number(), 57);
  // An existing file is refused for writing and left as it was.
  const std::string existing = Write("Plan-行列状态_1.txt", "1/True\r\n");
  const Failure exists = test_support::FailureOf([&] { files.CreateNew(existing); });
  EXPECT_EQ(exists.Number(), 58);
  EXPECT_EQ(exists.Description(), "文件已存在");
  EXPECT_EQ(ReadAll(existing), "1/True\r\n");
}

// Only ".txt" files, whatever the case, each with the local time it was last written.
TEST_F(WideFilesTest, ListsTheTextFilesWithTheLocalTimeTheyWereWritten) {
  EXPECT_TRUE(files.ListText(folder).empty());
  const SYSTEMTIME written{2026, 12, 3, 9, 14, 30, 5, 0};
  SYSTEMTIME utc{};
  ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &written, &utc));
  FILETIME time{};
  ASSERT_TRUE(SystemTimeToFileTime(&utc, &time));
  const std::string newer = Write("Plan-行列状态_1.txt", "1/True\r\n");
  Write("b.TXT", "");
  Write("c.txt1", "");
  ASSERT_TRUE(CreateDirectoryW(ToUtf16(folder + "\\d.txt").c_str(), nullptr));
  {
    OwnedHandle file(
        CreateFileW(ToUtf16(newer).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &time));
  }
  std::vector<FoundFile> found = files.ListText(folder);
  RemoveDirectoryW(ToUtf16(folder + "\\d.txt").c_str());
  ASSERT_EQ(found.size(), 2u);
  if (found[0].name != "b.TXT") std::swap(found[0], found[1]);
  EXPECT_EQ(found[0].name, "b.TXT");
  EXPECT_EQ(found[1].name, "Plan-行列状态_1.txt");
  // Written just now, long after the time set on the other.
  EXPECT_GT(found[0].written, found[1].written);
  EXPECT_EQ((std::array{found[1].month, found[1].day, found[1].hour, found[1].minute}),
            (std::array{12, 9, 14, 30}));
  EXPECT_EQ(FailureNumber([&] { files.ListText(folder + "\\没有"); }), 76);
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgramWithoutATrailingBackslash) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  std::array<wchar_t, 4096> module{};
  ASSERT_GT(GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())), 0u);
  const std::string program = ToUtf8(module.data());
  EXPECT_EQ(program.rfind('\\'), folder.size());
  EXPECT_EQ(program.substr(0, folder.size()), folder);
  EXPECT_NE(GetFileAttributesW(ToUtf16(folder).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace quarnel::win32
