#pragma once

// Drives quarnel.exe from outside, as a person would, and reaches the stand-in Excel through its
// automation interface. Every wait has a deadline; every process started here is ended by its
// owner, however a test ends.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
#include "excel/automation.hpp"
#include "support/win32/files.hpp"
#include "support/win32/process.hpp"
#include "tests/e2e/picture.hpp"

namespace quarnel::e2e {

using namespace std::chrono_literals;
using test_support::FileNamesIn;
using test_support::Millis;
using test_support::Process;
using test_support::ReadBytes;
using test_support::WindowsPath;
using test_support::WriteBytes;

// Polls `done` until it holds or `timeout` passes; true when it held.
bool WaitFor(const std::function<bool()>& done, Millis timeout, Millis step = 50ms);

// The folder that screenshots go to (QUARNEL_E2E_ARTIFACTS), empty when none was asked for.
std::wstring ArtifactFolder();
// What the screen shows inside `window`'s frame (the whole screen for null) once the window has
// painted all it had to paint and the screen has caught up with it; empty when the capture failed.
Picture Capture(HWND window);
// Saves Capture(window) as a BMP in the artifact folder; false when there is no folder or the
// capture failed.
bool SaveScreenshot(HWND window, const std::wstring& name);

// Which entries of a popup menu the screen shows greyed, top to bottom, the lines between entries
// not counted. Read from the menu's pixels: under Wine no other process can read a menu's items.
std::vector<bool> GreyedEntries(HWND menu);

// A dialog window of quarnel's: a message box or the file dialog.
struct Box {
  HWND window = nullptr;
  std::string title;
  std::string text;  // the message box's text; empty for the file dialog
};

// quarnel.exe, copied into a folder of its own (snapshots are written beside it) and started
// from there.
class Quarnel {
 public:
  explicit Quarnel(const std::wstring& folder);
  ~Quarnel();
  Quarnel(const Quarnel&) = delete;
  Quarnel& operator=(const Quarnel&) = delete;

  const std::wstring& Folder() const noexcept { return folder_; }
  HWND Window() const noexcept { return window_; }
  Process& Program() noexcept { return process_; }

  // A child control by its caption ("隐藏行"), or the note box for "Text1"; null when none.
  HWND Control(const std::string& caption) const;
  // Clicks without waiting for the command: a command may hold up quarnel with a box.
  void Click(const std::string& caption);
  // A right click in the middle of the button, as the mouse makes it: the button's own handling
  // turns it into the request for its menu.
  void RightClick(const std::string& caption);
  void TypeNote(const std::string& text);
  std::string Note() const;

  // quarnel's visible dialog windows, message boxes and the file dialog.
  std::vector<Box> Boxes() const;
  std::optional<Box> WaitForBox(Millis timeout = 20s) const;
  // Presses the box's only button and waits for it to go.
  bool CloseBox(const Box& box) const;
  // Presses the box's button `id` (IDYES, IDNO, ...) and waits for it to go.
  bool Answer(const Box& box, int id) const;
  // Types `path` into the file dialog's name field and presses Open, or presses Cancel.
  bool ChooseFile(const Box& dialog, const std::wstring& path) const;
  bool CancelDialog(const Box& dialog) const;

  // quarnel's popup menu once it shows, or null.
  HWND WaitForMenu(Millis timeout = 10s) const;
  // Presses Down `entry` times (the lines between entries are passed over) and Enter, and waits
  // for the menu to go; false when it stays, as it does on a greyed entry.
  bool PickFromMenu(HWND menu, int entry, Millis timeout = 10s) const;
  // Presses Escape and waits for the menu to go.
  bool CloseMenu(HWND menu) const;

  // Answers once no command is running: the window takes a message again.
  bool Idle(Millis timeout = 20s) const;

  // The snapshot files in the folder, by name.
  std::vector<std::wstring> Snapshots() const;
  // Every file in the folder but quarnel.exe, .part files included.
  std::vector<std::wstring> FilesBeside() const;
  std::string ReadFile(const std::wstring& name) const;

 private:
  std::wstring folder_;
  Process process_;
  HWND window_ = nullptr;
};

// The stand-in Excel, reached through COM as quarnel reaches Excel.
class Standin {
 public:
  static std::wstring ProgramPath();
  // Runs the stand-in with a switch such as /RegServer to its end; its exit code (see Process::Run).
  static DWORD Run(const std::wstring& switches);
  // Starts it as a person would, with /Demo or with no switch, and waits until COM finds it.
  static Standin Launch(const std::wstring& switches);
  // The instance that COM finds running, if any.
  static std::optional<Standin> Running();
  // Quits every instance that COM finds, and ends any that will not go.
  static void EndAll();
  // How many stand-in processes run, whether COM finds them or not.
  static int Processes();

  Standin() = default;
  Standin(excel::Object application, Process process);

  const excel::Object& App() const noexcept { return app_; }
  bool RowHidden(std::int32_t row) const;
  bool ColumnHidden(std::int32_t column) const;
  void Select(const std::string& address) const;
  // Hides or shows Rows(which) or Columns(which), as Excel's own hand does.
  void SetHidden(const char* lines, const excel::Value& which, bool hidden) const;
  // Which of rows 1 to 30 and columns A to H are hidden: "rows 5 12 13, columns 7".
  std::string HiddenView() const;
  // The main window of the workbook in front; of the named workbook.
  HWND Window() const;
  HWND Frame(const std::string& workbook) const;
  Process& ProgramProcess() noexcept { return process_; }
  // Quits as a person closing Excel would, and waits for the process to end.
  bool Quit();

 private:
  excel::Object app_;
  Process process_;
};

}  // namespace quarnel::e2e
