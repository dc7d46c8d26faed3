#pragma once

// The fixture every end-to-end case shares: a private folder for quarnel.exe, the stand-in
// registered, and every process a case started ended however it ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/win32/utf16.hpp"
#include "excel/win32/com.hpp"
#include "tests/e2e/driver.hpp"

namespace quarnel::e2e {

using win32::ToUtf16;
using win32::ToUtf8;

inline constexpr char kHideRow[] = "隐藏行";
inline constexpr char kHideColumn[] = "隐藏列";
inline constexpr char kRecord[] = "记录状态";
inline constexpr char kRestore[] = "恢复状态";
inline constexpr char kExit[] = "退出";
inline constexpr char kUnhideRow[] = "不隐藏行";
inline constexpr char kUnhideColumn[] = "不隐藏列";
inline constexpr char kDialogTitle[] = "读取隐藏状态文件";

// Where the tours that take the guide's pictures run the tool from, as a user would put it: the
// file dialog shows this folder.
inline constexpr wchar_t kUsersFolder[] = L"D:\\Quarnel";

// After a command's effect is seen, how long a box it might still show is given to appear.
inline constexpr Millis kGrace = 500ms;

// What the demo shows hidden among its first rows and columns (Standin::HiddenView).
inline constexpr char kDemoView[] = "rows 5 12 13, columns 7";

inline constexpr char kBusyText[] = "Excel 正忙（可能正在编辑单元格），请完成编辑后再试。";

// Windows calls a window hung when it takes no message for 5 s; the palette must do far better.
inline constexpr Millis kAnswerWithin = 250ms;

struct Answers {
  int asked = 0;
  int answered = 0;
  Millis slowest{0};
};

// Sends WM_NULL to `window` every 100 ms for `span`, as the system does to find hung windows.
inline Answers Probe(HWND window, Millis span) {
  using Clock = std::chrono::steady_clock;
  Answers answers;
  const auto until = Clock::now() + span;
  while (Clock::now() < until) {
    const auto sent = Clock::now();
    DWORD_PTR result = 0;
    ++answers.asked;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(kAnswerWithin.count()),
                            &result)) {
      ++answers.answered;
    }
    answers.slowest = std::max(answers.slowest, std::chrono::ceil<Millis>(Clock::now() - sent));
    std::this_thread::sleep_for(100ms);
  }
  return answers;
}

inline void ExpectAnswering(const Answers& answers) {
  EXPECT_GT(answers.asked, 5);
  EXPECT_EQ(answers.answered, answers.asked);
  EXPECT_LT(answers.slowest, kAnswerWithin);
}

class QuarnelE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { registered_ = Standin::Run(L"/RegServer") == 0; }

  void SetUp() override {
    ASSERT_TRUE(registered_) << "excel_standin.exe /RegServer failed";
    Standin::EndAll();
    ASSERT_FALSE(Standin::Running()) << "a stand-in from before is still running";
    std::array<wchar_t, MAX_PATH> temp{};
    GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // A Chinese folder name: snapshot paths go through the wide file APIs.
    const std::wstring root = std::wstring(temp.data()) + L"quarnel-e2e";
    CreateDirectoryW(root.c_str(), nullptr);
    std::wstring name = ToUtf16(info->name());
    std::replace(name.begin(), name.end(), L'/', L'-');  // a parameterised case's "/0"
    folder_ = root + L"\\测试-" + name + L"-" + std::to_wstring(GetTickCount64());
  }

  void TearDown() override {
    quarnel_.reset();
    Standin::EndAll();
    for (Standin& standin : standins_) standin.ProgramProcess().Kill();
  }

  // Shared with the walks that cases hand the fixture to.
 public:
  // The tool runs from `folder`, as a user put it there, rather than from the case's own folder;
  // what an earlier run left in it goes first.
  void RunFrom(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES)
        << ToUtf8(folder) << " cannot be made (tests/e2e/prepare-prefix maps D: for the tour)";
    for (const std::wstring& name : FileNamesIn(folder)) {
      ASSERT_TRUE(DeleteFileW((folder + L"\\" + name).c_str()))
          << ToUtf8(name) << " is left in " << ToUtf8(folder);
    }
    folder_ = folder;
  }

  Quarnel& StartQuarnel() {
    quarnel_ = std::make_unique<Quarnel>(folder_);
    EXPECT_NE(quarnel_->Window(), nullptr) << "Form1 did not show";
    return *quarnel_;
  }

  // The demo workbook 演示.xlsx in front: rows 5, 12 and 13 and column G hidden, B3 selected.
  Standin& StartDemo() { return LaunchStandin(L"/Demo"); }

  // A stand-in started as a person would, with these switches; ended with the case.
  Standin& LaunchStandin(const std::wstring& switches) {
    standins_.reserve(4);
    standins_.push_back(Standin::Launch(switches));
    EXPECT_TRUE(standins_.back().App()) << "the stand-in was not found running";
    return standins_.back();
  }

  // Waits for what a command should have done, then for any box it would show with it.
  void ExpectDoneWithoutBox(const std::function<bool()>& done, const char* what, Millis timeout = 20s) {
    EXPECT_TRUE(WaitFor(done, timeout)) << what;
    std::this_thread::sleep_for(kGrace);
    for (const Box& box : quarnel_->Boxes())
      ADD_FAILURE() << "unexpected box: " << box.title << ": " << box.text;
  }

  // Waits for a record to leave exactly one finished snapshot beside the tool, and no box; its
  // name, or empty.
  std::wstring ExpectOneSnapshot(Millis timeout = 20s) {
    std::vector<std::wstring> files;
    ExpectDoneWithoutBox(
        [&] {
          files = quarnel_->FilesBeside();
          return files.size() == 1 && files[0].ends_with(L".txt");
        },
        "one snapshot written", timeout);
    return files.size() == 1 ? files[0] : std::wstring();
  }

  // With `note` typed first when one is given: a record's one snapshot, or empty.
  std::wstring RecordOne(const std::string& note = {}, Millis timeout = 20s) {
    if (!note.empty()) quarnel_->TypeNote(note);
    quarnel_->Click(kRecord);
    return ExpectOneSnapshot(timeout);
  }

  Box ExpectBox(Millis timeout = 20s) {
    const auto box = quarnel_->WaitForBox(timeout);
    if (!box) {
      ADD_FAILURE() << "no box appeared";
      return {};
    }
    return *box;
  }

  Box ExpectDialog() {
    Box box = ExpectBox();
    EXPECT_EQ(box.title, kDialogTitle);
    return box;
  }

  // `path` chosen in the file dialog: the box the restore then shows.
  Box ChooseIn(const Box& dialog, const std::wstring& path, Millis timeout = 20s) {
    if (!quarnel_->ChooseFile(dialog, path)) {
      ADD_FAILURE() << ToUtf8(path) << " was not chosen in the dialog";
      return {};
    }
    return ExpectBox(timeout);
  }

  // 恢复状态 clicked and `path` chosen: the box the restore then shows.
  Box RestoreFrom(const std::wstring& path, Millis timeout = 20s) {
    quarnel_->Click(kRestore);
    return ChooseIn(ExpectDialog(), path, timeout);
  }

  // A snapshot beside the tool, by its name.
  std::wstring Beside(const std::wstring& name) const { return quarnel_->Folder() + L"\\" + name; }

  void CheckAndClose(const Box& box, std::string_view title, std::string_view text) {
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.text, text);
    EXPECT_TRUE(quarnel_->CloseBox(box));
  }

  // The box a restore that went through shows, closed.
  void ExpectDone(const Box& box) { CheckAndClose(box, "提示", "处理完毕!"); }

  // With Excel unregistered, a click on `button`: the start's own failure, then the command's
  // run-time error 91 with empty handles, which `read` may look at before it is closed; the tool
  // goes on.
  void ExpectExcelCannotStart(const char* button, const std::function<void(const Box&)>& read = {}) {
    quarnel_->Click(button);
    const Box start = ExpectBox();
    EXPECT_EQ(start.title, "Quarnel");
    EXPECT_FALSE(start.text.empty());
    std::cout << "[ no Excel ] " << start.text << "\n";
    EXPECT_TRUE(quarnel_->CloseBox(start));
    const Box command = ExpectBox();
    EXPECT_EQ(command.title, "Quarnel");
    EXPECT_TRUE(command.text.starts_with("运行时错误 '91':")) << command.text;
    EXPECT_NE(command.text.find("对象变量或 With 块变量未设置"), std::string::npos) << command.text;
    if (read) read(command);
    EXPECT_TRUE(quarnel_->CloseBox(command));
    EXPECT_TRUE(quarnel_->Program().Running());
  }

  // The instance a click started or attached to once none was running; empty after 30 s.
  static std::optional<Standin> WaitForRunningStandin() {
    std::optional<Standin> running;
    WaitFor([&] { return (running = Standin::Running()).has_value(); }, 30s);
    return running;
  }

  // After Excel (process `gone`) has closed, or with none running (0): a click on 隐藏行 starts a
  // new Excel, visible with one workbook, Book1, and hides its row 1. The new one, or empty.
  std::optional<Standin> ExpectANewExcelToTakeTheNextHide(DWORD gone) {
    quarnel_->Click(kHideRow);
    std::optional<Standin> next = WaitForRunningStandin();
    if (!next) {
      ADD_FAILURE() << "no Excel was started";
      return next;
    }
    EXPECT_NE(next->ProgramProcess().Id(), gone);
    ExpectDoneWithoutBox([&] { return next->RowHidden(1); }, "row 1 of the new Excel hidden");
    EXPECT_TRUE(excel::ToBool(next->App().Get("Visible")));
    EXPECT_EQ(excel::ToLong(next->App().GetObject("Workbooks").Get("Count")), 1);
    EXPECT_TRUE(IsWindowVisible(next->Window()));
    EXPECT_EQ(excel::ToText(next->App().GetObject("ActiveWorkbook").Get("Name")), "Book1");
    return next;
  }

  // A case that unregisters "Excel.Application" leaves it registered again however it ends.
  struct RegisteredAgainAtEnd {
    RegisteredAgainAtEnd() = default;
    ~RegisteredAgainAtEnd() { Standin::Run(L"/RegServer"); }
    RegisteredAgainAtEnd(const RegisteredAgainAtEnd&) = delete;
    RegisteredAgainAtEnd& operator=(const RegisteredAgainAtEnd&) = delete;
  };

 protected:
  static inline bool registered_ = false;
  win32::ComInit com_;
  std::wstring folder_;
  std::unique_ptr<Quarnel> quarnel_;
  std::vector<Standin> standins_;
};

}  // namespace quarnel::e2e
