// quarnel.exe in its users' own locale: Wine started with LANG=zh_CN.UTF-8. The cases of the
// suite QuarnelZhCN run only in that run of the end-to-end tests (see CMakeLists.txt).

#include <gtest/gtest.h>

#include <array>
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

  // A record of the demo with `note`, its stamp the digits of the zh-CN short date and long time
  // it was made at (no 上午/下午, no AM/PM); its name, or empty.
  std::wstring RecordStampedInChineseDigits(const std::string& note) {
    SYSTEMTIME before{}, after{};
    GetLocalTime(&before);
    const std::wstring snapshot = RecordOne(note);
    GetLocalTime(&after);
    const std::string name = ToUtf8(snapshot);
    const std::string prefix = "演示-行列状态_" + note + "_";
    if (!name.starts_with(prefix) || !name.ends_with(".txt")) {
      ADD_FAILURE() << name;
      return {};
    }
    const std::string stamp = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << stamp;
    EXPECT_TRUE(StampsBetween(before, after).contains(stamp)) << stamp;
    return snapshot;
  }

  // Excel that cannot start: the attachment's own box, then the command's run-time error box.
  void ShowTheBoxesOfAnExcelThatCannotStart() {
    ASSERT_EQ(Standin::Run(L"/UnregServer"), 0u);
    const RegisteredAgainAtEnd reregister;
    Quarnel& q = StartQuarnel();
    ExpectExcelCannotStart(kHideRow, [](const Box& command) {
      EXPECT_EQ(ControlText(command.window, IDOK), "确定");
      SaveBoxScreenshot(command, L"zh-error-runtime");
    });
    q.Click(kExit);
    EXPECT_TRUE(q.Program().WaitExit(10s));
  }
};

// What the record writes for the demo with row 20 hidden too: rows 1 to 30, columns A to H.
std::string DemoSnapshotWithRow20Hidden() {
  std::string expected;
  for (int row = 1; row <= 30; ++row) {
    const bool hidden = row == 5 || row == 12 || row == 13 || row == 20;
    expected += std::to_string(row) + ":" + std::to_string(row) + (hidden ? "/True\r\n" : "/False\r\n");
  }
  for (int column = 1; column <= 8; ++column) {
    expected += std::to_string(column) + (column == 7 ? "/True\r\n" : "/False\r\n");
  }
  return expected;
}

// Also the tour that scripts/run takes where there is no display: hide a row, record, reveal
// it, restore. The stamp in Chinese digits, the dialog and the boxes in Chinese.
TEST_F(QuarnelZhCN, TourHideRecordRevealRestore) {
  ASSERT_NO_FATAL_FAILURE(RunFrom(kUsersFolder));
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.Select("B20");
  SaveScreenshot(q.Window(), L"palette");
  SaveScreenshot(excel.Window(), L"grid-before");
  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(20); }, "row 20 hidden");
  SaveScreenshot(nullptr, L"tour-1-row-20-hidden");
  SaveScreenshot(excel.Window(), L"grid-after");

  const std::wstring snapshot = RecordStampedInChineseDigits("月报");
  ASSERT_FALSE(snapshot.empty());
  EXPECT_EQ(q.ReadFile(snapshot), DemoSnapshotWithRow20Hidden());
  SaveScreenshot(nullptr, L"tour-2-recorded");

  // Reveal row 20 and, by Excel's own hand, row 5; hide column B.
  excel.Select("B19");
  q.Click(kUnhideRow);
  ExpectDoneWithoutBox([&] { return !excel.RowHidden(20); }, "row 20 shown");
  excel.SetHidden("Rows", std::string("5:5"), false);
  excel.SetHidden("Columns", 2, true);
  SaveScreenshot(nullptr, L"tour-3-revealed");

  q.Click(kRestore);
  const Box dialog = ExpectDialog();
  EXPECT_TRUE(WaitFor([&] { return ControlText(dialog.window, 0x442).starts_with("文件名"); }, 5s))
      << ControlText(dialog.window, 0x442);  // stc3
  EXPECT_EQ(ControlText(dialog.window, IDCANCEL), "取消");
  // The dialog draws its controls a moment after it shows.
  std::this_thread::sleep_for(1s);
  SaveScreenshot(nullptr, L"tour-4-file-dialog");
  SaveScreenshot(dialog.window, L"file-dialog");
  const Box done = ChooseIn(dialog, Beside(snapshot));
  SaveScreenshot(nullptr, L"tour-5-restored");
  SaveScreenshot(done.window, L"done");
  EXPECT_EQ(ControlText(done.window, IDOK), "确定");
  ExpectDone(done);
  EXPECT_EQ(excel.HiddenView(), "rows 5 12 13 20, columns 7");
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  EXPECT_TRUE(q.Boxes().empty());
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

  // A line the restore cannot apply: the restore's plain box, without the run-time error frame;
  // the lines before the bad one are applied, none after it.
  const std::wstring recorded = RecordOne(" ");
  ASSERT_FALSE(recorded.empty());
  const std::wstring bad = Beside(L"坏的.txt");
  ASSERT_TRUE(MoveFileW(Beside(recorded).c_str(), bad.c_str()));
  ASSERT_TRUE(WriteBytes(bad, "2:2/True\r\n3/True\r\nno state here\r\n4:4/True\r\n", true));
  excel.SetHidden("Rows", std::string("12:12"), false);
  q.Click(kRestore);
  const Box dialog = ExpectDialog();
  // A fresh prefix lists the folder slowly: the name field is filled once the dialog is drawn.
  WaitFor([&] { return IsWindowVisible(GetDlgItem(dialog.window, IDOK)) != FALSE; }, 10s);
  std::this_thread::sleep_for(1s);
  CheckAndClose(ChooseIn(dialog, bad), "Quarnel", "下标越界");
  EXPECT_TRUE(excel.RowHidden(12)) << "the good lines before the bad one were applied";
  EXPECT_TRUE(excel.RowHidden(2));
  EXPECT_TRUE(excel.ColumnHidden(3));
  EXPECT_FALSE(excel.RowHidden(4));
  EXPECT_TRUE(excel::ToBool(excel.App().Get("ScreenUpdating")));
  EXPECT_TRUE(q.Program().Running());
}

}  // namespace
}  // namespace quarnel::e2e
