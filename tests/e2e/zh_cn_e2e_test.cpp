// quarnel.exe in its users' own locale: Wine started with LANG=zh_CN.UTF-8. The cases of the
// suite QuarnelZhCN run only in that run of the end-to-end tests (see CMakeLists.txt).

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <set>
#include <string>
#include <thread>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

class QuarnelZhCN : public QuarnelE2E {
 protected:
  void SetUp() override {
    std::array<wchar_t, LOCALE_NAME_MAX_LENGTH> locale{};
    GetUserDefaultLocaleName(locale.data(), static_cast<int>(locale.size()));
    ASSERT_EQ(std::wstring(locale.data()), L"zh-CN") << "Wine was not started under zh_CN.UTF-8";
    QuarnelE2E::SetUp();
  }

  // A box draws its text a moment after it shows.
  static void SaveBoxScreenshot(const Box& box, const wchar_t* name) {
    std::this_thread::sleep_for(kGrace);
    SaveScreenshot(box.window, name);
  }

  static std::string ControlText(HWND dialog, int id) {
    std::array<wchar_t, 128> text{};
    GetWindowTextW(GetDlgItem(dialog, id), text.data(), static_cast<int>(text.size()));
    return ToUtf8(text.data());
  }

  // The stamps a record may have taken between two moments: the zh-CN short date and long time,
  // digits only.
  static std::set<std::string> StampsBetween(const SYSTEMTIME& from, const SYSTEMTIME& to) {
    ULARGE_INTEGER at{}, end{};
    FILETIME file{};
    SystemTimeToFileTime(&from, &file);
    at = {{file.dwLowDateTime, file.dwHighDateTime}};
    SystemTimeToFileTime(&to, &file);
    end = {{file.dwLowDateTime, file.dwHighDateTime}};
    constexpr ULONGLONG kSecond = 10'000'000;
    at.QuadPart -= at.QuadPart % kSecond;
    std::set<std::string> stamps;
    for (; at.QuadPart <= end.QuadPart; at.QuadPart += kSecond) {
      file = {at.LowPart, at.HighPart};
      SYSTEMTIME time{};
      FileTimeToSystemTime(&file, &time);
      std::array<wchar_t, 64> date{}, clock{};
      GetDateFormatEx(L"zh-CN", DATE_SHORTDATE, &time, nullptr, date.data(), 64, nullptr);
      GetTimeFormatEx(L"zh-CN", 0, &time, nullptr, clock.data(), 64);
      std::string stamp;
      for (char c : ToUtf8(std::wstring(date.data()) + L" " + clock.data())) {
        if (c != '/' && c != ':' && c != ' ' && c != '-') stamp += c;
      }
      stamps.insert(stamp);
    }
    return stamps;
  }

  // Excel that cannot start: the attachment's own box, then the command's run-time error box.
  void ShowTheBoxesOfAnExcelThatCannotStart() {
    ASSERT_EQ(Standin::Run(L"/UnregServer"), 0u);
    const RegisteredAgainAtEnd reregister;
    Quarnel& q = StartQuarnel();
    q.Click(kHideRow);
    const Box start = ExpectBox();
    EXPECT_EQ(start.title, "Quarnel");
    EXPECT_FALSE(start.text.empty());
    std::cout << "[ no Excel, zh-CN ] " << start.text << "\n";
    EXPECT_TRUE(q.CloseBox(start));
    const Box command = ExpectBox();
    EXPECT_EQ(command.title, "Quarnel");
    EXPECT_TRUE(command.text.starts_with("运行时错误 '91':")) << command.text;
    EXPECT_NE(command.text.find("对象变量或 With 块变量未设置"), std::string::npos) << command.text;
    EXPECT_EQ(ControlText(command.window, IDOK), "确定");
    SaveBoxScreenshot(command, L"zh-error-runtime");
    EXPECT_TRUE(q.CloseBox(command));
    EXPECT_TRUE(q.Program().Running());
    q.Click(kExit);
    EXPECT_TRUE(q.Program().WaitExit(10s));
  }
};

TEST_F(QuarnelZhCN, RecordStampsInChineseDigitsAndRestoreSpeaksChinese) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  q.TypeNote("周报");
  SYSTEMTIME before{}, after{};
  GetLocalTime(&before);
  q.Click(kRecord);
  const std::wstring snapshot = ExpectOneSnapshot();
  GetLocalTime(&after);
  ASSERT_FALSE(snapshot.empty());

  // The digits of the zh-CN short date and long time: no 上午/下午, no AM/PM.
  const std::string name = ToUtf8(snapshot);
  const std::string prefix = "演示-行列状态_周报_";
  ASSERT_TRUE(name.starts_with(prefix) && name.ends_with(".txt")) << name;
  const std::string stamp = name.substr(prefix.size(), name.size() - prefix.size() - 4);
  EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << stamp;
  EXPECT_TRUE(StampsBetween(before, after).contains(stamp)) << stamp;

  excel.App().GetObject("Rows", {std::string("5:5")}).GetObject("EntireRow").Put("Hidden", false);
  q.Click(kRestore);
  const Box dialog = ExpectDialog();
  EXPECT_TRUE(WaitFor([&] { return ControlText(dialog.window, 0x442).starts_with("文件名"); }, 5s))
      << ControlText(dialog.window, 0x442);  // stc3
  EXPECT_EQ(ControlText(dialog.window, IDCANCEL), "取消");
  ASSERT_TRUE(q.ChooseFile(dialog, q.Folder() + L"\\" + snapshot));
  const Box done = ExpectBox();
  EXPECT_EQ(done.title, "提示");
  EXPECT_EQ(done.text, "处理完毕!");
  EXPECT_EQ(ControlText(done.window, IDOK), "确定");
  EXPECT_TRUE(q.CloseBox(done));
  EXPECT_TRUE(excel.RowHidden(5));
}

// Also part of the tour of scripts/run: one box of each kind of failure, in Chinese.
TEST_F(QuarnelZhCN, TourOfTheErrorBoxes) {
  ASSERT_NO_FATAL_FAILURE(RunFrom(kUsersFolder));
  ShowTheBoxesOfAnExcelThatCannotStart();

  // A refused note: its own words, and no file.
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  q.TypeNote("一月/二月");
  q.Click(kRecord);
  const Box refusal = ExpectBox();
  EXPECT_EQ(refusal.title, "Quarnel");
  EXPECT_TRUE(refusal.text.starts_with("备注中含有字符“/”")) << refusal.text;
  SaveBoxScreenshot(refusal, L"zh-error-note");
  EXPECT_TRUE(q.CloseBox(refusal));
  EXPECT_TRUE(q.Snapshots().empty());

  // A line the restore cannot apply: the restore's plain box, without the run-time error frame.
  q.TypeNote(" ");
  q.Click(kRecord);
  ExpectDoneWithoutBox([&] { return q.Snapshots().size() == 1; }, "a snapshot written");
  const std::wstring bad = q.Folder() + L"\\坏的.txt";
  ASSERT_TRUE(MoveFileW((q.Folder() + L"\\" + q.Snapshots()[0]).c_str(), bad.c_str()));
  ASSERT_TRUE(WriteBytes(bad, "no state\r\n", true));
  excel.App().GetObject("Rows", {std::string("12:12")}).GetObject("EntireRow").Put("Hidden", false);
  q.Click(kRestore);
  const Box dialog = ExpectDialog();
  // A fresh prefix lists the folder slowly: the name field is filled once the dialog is drawn.
  WaitFor([&] { return IsWindowVisible(GetDlgItem(dialog.window, IDOK)) != FALSE; }, 10s);
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(q.ChooseFile(dialog, bad));
  const Box box = ExpectBox();
  EXPECT_EQ(box.title, "Quarnel");
  EXPECT_EQ(box.text, "下标越界");
  EXPECT_TRUE(q.CloseBox(box));
  EXPECT_TRUE(excel.RowHidden(12)) << "the good lines before the bad one were applied";
}

}  // namespace
}  // namespace quarnel::e2e
