#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/win32/desktop.hpp"
#include "app/win32/file_dialog.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/win_headers.hpp"
#include "failure_of.hpp"

namespace quarnel::win32 {
namespace {

TEST(DialogFilter, TurnsBarsIntoTheNulSeparatedForm) {
  EXPECT_EQ(DialogFilter("*.txt|*.txt"), std::wstring(L"*.txt\0*.txt\0\0", 13));
  EXPECT_EQ(DialogFilter("文本|*.txt|全部|*.*"), std::wstring(L"文本\0*.txt\0全部\0*.*\0\0", 17));
  EXPECT_EQ(DialogFilter(""), L"");
}

constexpr wchar_t kTitle[] = L"读取隐藏状态文件";

// Acts on the dialog as a person would, from another thread while ShowOpen waits.
class DialogDriver {
 public:
  // `name` empty: cancel; otherwise type it into the file name box and press Open.
  explicit DialogDriver(std::wstring name) : worker_([this, n = std::move(name)] { Drive(n); }) {}
  ~DialogDriver() { worker_.join(); }
  bool found = false;

 private:
  void Drive(const std::wstring& name) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    HWND dialog = nullptr;
    while (!dialog && std::chrono::steady_clock::now() < deadline) {
      dialog = FindWindowW(L"#32770", kTitle);
      if (!dialog) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!dialog) return;
    found = true;
    if (name.empty()) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    // The file name box is a combo box (cmb13) in newer dialogs, an edit (edt1) in older ones.
    HWND box = GetDlgItem(dialog, 0x47c);
    if (!box) box = GetDlgItem(dialog, 0x480);
    SetWindowTextW(box, name.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }

  std::thread worker_;
};

TEST(OpenFileDialog, ACancelFailsWith32755AndAChosenNameIsKeptForTheNextUse) {
  OpenFileDialog dialog;
  dialog.SetDialogTitle(ToUtf8(kTitle));
  dialog.SetFilter("*.txt|*.txt");
  const std::string folder = ProgramFolder();
  dialog.SetInitDir(folder);

  // A typed name of a file that does not exist is accepted: opening it fails later.
  const std::string path = folder + "\\Plan-行列状态_无此文件.txt";
  const struct {
    bool cancelError;
    std::wstring typed;  // empty: cancel
    std::int32_t failure;
    std::string fileName;
  } uses[] = {{true, L"", 32755, ""}, {true, ToUtf16(path), 0, path}, {false, L"", 0, path}};
  for (const auto& use : uses) {
    SCOPED_TRACE(use.fileName + (use.typed.empty() ? " cancelled" : " typed"));
    dialog.SetCancelError(use.cancelError);
    Failure failure(0, "");
    {
      DialogDriver driver(use.typed);
      failure = test_support::FailureOf([&] { dialog.ShowOpen(); });
    }
    EXPECT_EQ(failure.Number(), use.failure);
    EXPECT_EQ(failure.Description().empty(), use.failure == 0);
    EXPECT_EQ(dialog.FileName(), use.fileName);
  }
}

}  // namespace
}  // namespace quarnel::win32
