#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/button.hpp"
#include "app/win32/form_fonts.hpp"
#include "app/win32/placement.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// The main window `Form1`: seven buttons and the note box `Text1` laid out in twips at the
// screen's resolution, with tooltips, tab order and the load step.
class Form1 {
 public:
  // Creates the window and its controls hidden and runs the load step; a failure of the load step
  // destroys the window and reaches the caller. Clicks on the command buttons go to `clicks`, one
  // at a time; the exit button closes the window, as its close box does. With
  // `endsProgram`, destroying the window ends the thread's message loop.
  Form1(HINSTANCE instance, app::ClickTarget& clicks, bool endsProgram = true);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Null once the window is gone.
  HWND Handle() const noexcept { return window_.Get(); }
  // The control named as in the window's definition ("Command1", "Text1"), or null.
  HWND Control(std::string_view name) const noexcept;
  void Show(int showCommand);

 private:
  LRESULT Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls(HINSTANCE instance);
  void CreateTooltips(HINSTANCE instance);
  void Layout(Dpi dpi);
  void Click(app::Button button);
  void ClickedControl(WPARAM wParam);
  // Opens the menu of Command4 at `at` (screen pixels), or below the button for the keyboard's -1.
  void ShowRestoreMenu(LPARAM at);
  // Runs a command under the rule for clicks: one at a time, a close asked for meanwhile after it.
  template <typename Command>
  void RunCommand(Command command);
  // Now, or once the command under way has ended.
  void Close();
  void DropClicksMadeMeanwhile();

  std::array<HWND, 8> controls_{};
  HWND tooltips_ = nullptr;
  FormFonts fonts_;
  HWND focus_ = nullptr;
  // Up while a command runs: the one guard against a second click or a close under it.
  bool running_ = false;
  // A close asked for while a command ran: it follows once the command has ended.
  bool closeRequested_ = false;
  app::ClickTarget& clicks_;
  bool endsProgram_;
  // Last, so it goes first: the window's last messages still find everything above. Taken back at
  // WM_NCDESTROY when the system destroys the window first.
  OwnedWindow window_;
};

// Runs the thread's message loop with the window's keyboard navigation until the loop is ended;
// returns the exit code.
int RunMessageLoop(HWND window);

// Takes back a quit that the end of the thread's window asked for: it would close at once the box
// that says why the program could not start.
void DiscardQuit() noexcept;

}  // namespace quarnel::win32
