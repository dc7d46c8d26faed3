#include <gtest/gtest.h>

#include "common/win32/win_headers.hpp"
//
#include <commctrl.h>

#include <array>
#include <functional>
#include <set>
#include <vector>

#include "app/form_layout.hpp"
#include "app/win32/desktop.hpp"
#include "app/win32/form1.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/window_text.hpp"
#include "excel/win32/patient_calls.hpp"

namespace quarnel::win32 {
namespace {

using app::Button;

std::wstring ClassOf(HWND window) {
  std::wstring text = win32::ClassName(window);
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

// The form's tooltip control: a popup of this thread that the form owns.
HWND TooltipsOf(HWND form) {
  struct Search {
    HWND owner;
    HWND found;
  } search{form, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM context) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(context);
        if (GetWindow(window, GW_OWNER) != s.owner || ClassOf(window) != L"tooltips_class32") return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

RECT ClientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Every character of `text` has a glyph in `font`.
bool ShowsEveryCharacter(HFONT font, const std::wstring& text) {
  const win32::ScreenDc dc;
  std::vector<WORD> glyphs(text.size());
  DWORD done = GDI_ERROR;
  {
    const win32::Selection selected(dc.Get(), font);
    done = GetGlyphIndicesW(dc.Get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                            GGI_MARK_NONEXISTING_GLYPHS);
  }
  if (done == GDI_ERROR) return false;
  for (WORD glyph : glyphs) {
    if (glyph == 0xFFFF) return false;
  }
  return true;
}

int CALLBACK CountFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return 1;
}

bool Installed(const wchar_t* face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
  int count = 0;
  const win32::ScreenDc dc;
  EnumFontFamiliesExW(dc.Get(), &query, CountFace, reinterpret_cast<LPARAM>(&count), 0);
  return count > 0;
}

// Records each click on a command button.
class RecordedClicks final : public app::ClickTarget {
 public:
  void OnClick(Button button) override {
    clicks.push_back(button);
    if (duringClick) duringClick(button);
  }

  std::vector<Button> clicks;
  std::function<void(Button)> duringClick;
};

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
  }

  void Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (form.Handle() && IsDialogMessageW(form.Handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  // A key pressed on the focused control, through the window's keyboard navigation.
  void Press(WPARAM key) {
    MSG message{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
    if (!IsDialogMessageW(form.Handle(), &message)) DispatchMessageW(&message);
    Pump();
  }

  HWND Control(std::string_view name) { return form.Control(name); }

  RecordedClicks recorded;
  std::vector<Button>& clicks = recorded.clicks;
  std::function<void(Button)>& duringClick = recorded.duringClick;
  Form1 form{GetModuleHandleW(nullptr), recorded, false};
};

TEST_F(Form1Test, IsAFixedTopmostWindowCaptionedQuarnelBeforeItIsShown) {
  const HWND window = form.Handle();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(ToUtf8(WindowText(window)), "Quarnel");
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

  const Dpi dpi = WindowDpi(window);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, app::TwipsToPixels(4440, dpi.x));
  EXPECT_EQ(client.bottom, app::TwipsToPixels(915, dpi.y));
}

TEST_F(Form1Test, StandsCentredWithItsBottomOneWindowHeightAboveTheScreensBottom) {
  RECT outer{};
  GetWindowRect(form.Handle(), &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_LE(std::abs(2 * outer.left - (screenWidth - width)), 1);
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) - 2 * height);

  // The load step again changes nothing.
  常用函数::SetTopMost(form.Handle());
  RECT again{};
  GetWindowRect(form.Handle(), &again);
  EXPECT_TRUE(EqualRect(&outer, &again));
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

TEST_F(Form1Test, ControlsStandAtTheirPlacesWithTheirTexts) {
  const Dpi dpi = WindowDpi(form.Handle());
  for (const app::ControlDef& def : app::Form1Definition().controls) {
    SCOPED_TRACE(std::string(def.name));
    const HWND control = Control(def.name);
    ASSERT_TRUE(control);
    EXPECT_TRUE(IsWindowVisible(control) || !IsWindowVisible(form.Handle()));
    EXPECT_TRUE(IsWindowEnabled(control));
    EXPECT_EQ(ToUtf8(WindowText(control)), def.text);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    EXPECT_TRUE(style & WS_TABSTOP);
    if (def.kind == app::ControlKind::Button) {
      EXPECT_EQ(ClassOf(control), L"button");
      // No default button: Enter presses none of them.
      EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
    } else {
      EXPECT_EQ(ClassOf(control), L"edit");
      EXPECT_TRUE(style & ES_AUTOHSCROLL);
      EXPECT_FALSE(style & ES_MULTILINE);
    }
    const RECT r = ClientRectOf(control);
    EXPECT_EQ(r.left, app::TwipsToPixels(def.rect.left, dpi.x));
    EXPECT_EQ(r.top, app::TwipsToPixels(def.rect.top, dpi.y));
    EXPECT_EQ(r.right - r.left, app::TwipsToPixels(def.rect.width, dpi.x));
    EXPECT_EQ(r.bottom - r.top, app::TwipsToPixels(def.rect.height, dpi.y));
  }
}

TEST_F(Form1Test, EveryControlButTheExitButtonHasItsTooltip) {
  const HWND tips = TooltipsOf(form.Handle());
  ASSERT_TRUE(tips);
  std::set<HWND> tooled;
  const auto count = SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0);
  for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    ASSERT_TRUE(SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
    tooled.insert(reinterpret_cast<HWND>(tool.uId));
  }
  for (const app::ControlDef& def : app::Form1Definition().controls) {
    SCOPED_TRACE(std::string(def.name));
    EXPECT_EQ(tooled.contains(Control(def.name)), !def.tooltip.empty());
    if (def.tooltip.empty()) continue;
    std::array<wchar_t, 256> text{};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Control(def.name));
    tool.lpszText = text.data();
    SendMessageW(tips, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(ToUtf8(text.data()), def.tooltip);
  }
  EXPECT_EQ(tooled.size(), 7u);
}

TEST_F(Form1Test, TabOrderFollowsTheTabIndexAndWrapsAround) {
  const auto& controls = app::Form1Definition().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const HWND here = Control(controls[i].name);
    const HWND next = Control(controls[(i + 1) % controls.size()].name);
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), here, FALSE), next) << controls[i].name;
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), next, TRUE), here) << controls[i].name;
  }
}

TEST_F(Form1Test, OpensWithTheFocusOnCommand1AndTabWalksFromCommand4ToText1ToCommand5) {
  form.Show(SW_SHOWNORMAL);
  Pump();
  EXPECT_EQ(GetFocus(), Control("Command1"));
  SetFocus(Control("Command4"));
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), Control("Text1"));
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), Control("Command5"));
}

TEST_F(Form1Test, Text1HasItsOwnFontAndEveryTextHasGlyphs) {
  LOGFONTW note{};
  const auto noteFont = reinterpret_cast<HFONT>(SendMessageW(Control("Text1"), WM_GETFONT, 0, 0));
  ASSERT_TRUE(noteFont);
  ASSERT_TRUE(GetObjectW(noteFont, sizeof(note), &note));
  // SimSun where it is installed; elsewhere (as under Wine) a face that shows the note's text.
  if (Installed(L"宋体") || Installed(L"SimSun")) {
    EXPECT_STREQ(note.lfFaceName, L"宋体");
  }
  EXPECT_EQ(note.lfHeight, -MulDiv(105, WindowDpi(form.Handle()).y, 720));
  EXPECT_EQ(note.lfWeight, 400);
  EXPECT_EQ(note.lfCharSet, 134);
  EXPECT_FALSE(note.lfItalic || note.lfUnderline || note.lfStrikeOut);
  EXPECT_TRUE(ShowsEveryCharacter(noteFont, L"文件名备注行列状态before0123456789"));

  const auto tipFont = reinterpret_cast<HFONT>(SendMessageW(TooltipsOf(form.Handle()), WM_GETFONT, 0, 0));
  for (const app::ControlDef& def : app::Form1Definition().controls) {
    SCOPED_TRACE(std::string(def.name));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(Control(def.name), WM_GETFONT, 0, 0));
    ASSERT_TRUE(font);
    EXPECT_TRUE(ShowsEveryCharacter(font, ToUtf16(def.text)));
    if (!def.tooltip.empty()) {
      EXPECT_TRUE(ShowsEveryCharacter(tipFont, ToUtf16(def.tooltip)));
    }
  }
}

TEST_F(Form1Test, EachButtonRaisesItsOwnClickAndCommand5EndsTheWindow) {
  form.Show(SW_SHOWNORMAL);
  Pump();
  const std::vector<Button> order{Button::Command1, Button::Command2, Button::Command3,
                                  Button::Command4, Button::Command6, Button::Command7};
  for (Button button : order) {
    SendMessageW(Control("Command" + std::to_string(static_cast<int>(button) + 1)), BM_CLICK, 0, 0);
  }
  EXPECT_EQ(clicks, order);
  EXPECT_TRUE(IsWindow(form.Handle()));
  // Shown, activated and clicked, it is still topmost.
  EXPECT_TRUE(GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  const HWND window = form.Handle();
  SendMessageW(Control("Command5"), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, order);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(form.Handle(), nullptr);
}

TEST_F(Form1Test, EnterAndEscapeClickNothing) {
  form.Show(SW_SHOWNORMAL);
  Pump();
  for (const char* name : {"Command1", "Text1", "Command5"}) {
    SetFocus(Control(name));
    Press(VK_RETURN);
    Press(VK_ESCAPE);
  }
  EXPECT_TRUE(clicks.empty());
  EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST_F(Form1Test, TheCloseBoxEndsTheWindowWithoutAClick) {
  const HWND window = form.Handle();
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(clicks.empty());
}

// A click made while a command runs starts nothing: sent while the command pauses (as a box or
// a wait for a busy Excel lets it through), or posted during a call into Excel and left in the
// queue until the command has ended (as COM's modal loop leaves it). One posted after Excel's last
// answer (as while Wine takes down the command's last box) runs once the command has ended.
TEST_F(Form1Test, ClicksMadeWhileACommandRunsStartNothingThenOrAfterwards) {
  form.Show(SW_SHOWNORMAL);
  Pump();
  duringClick = [this](Button button) {
    if (button != Button::Command1) return;
    SendMessageW(Control("Command2"), BM_CLICK, 0, 0);
    {
      const CallUnderWay call;
      for (const char* name : {"Command3", "Command4", "Command6"})
        PostMessageW(Control(name), BM_CLICK, 0, 0);
      PostMessageW(Control("Command7"), WM_KEYDOWN, VK_SPACE, 0);
      PostMessageW(Control("Command7"), WM_KEYUP, VK_SPACE, 0);
      Sleep(30);
    }
    Sleep(30);
    PostMessageW(Control("Command2"), BM_CLICK, 0, 0);
  };
  SendMessageW(Control("Command1"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(clicks, (std::vector<Button>{Button::Command1, Button::Command2}));
  ASSERT_TRUE(IsWindow(form.Handle()));
}

// Closing while a command runs (the close box, Alt+F4, or the exit button, sent in a pause or
// left in the queue) waits for the command's end, then closes.
TEST_F(Form1Test, ARequestToCloseWhileACommandRunsClosesTheWindowOnceItHasEnded) {
  const std::vector<std::function<void(Form1&)>> requests = {
      [](Form1& f) { SendMessageW(f.Handle(), WM_CLOSE, 0, 0); },
      [](Form1& f) { SendMessageW(f.Control("Command5"), BM_CLICK, 0, 0); },
      [](Form1& f) { PostMessageW(f.Control("Command5"), BM_CLICK, 0, 0); },
  };
  for (std::size_t i = 0; i < requests.size(); ++i) {
    SCOPED_TRACE("request " + std::to_string(i));
    RecordedClicks commands;
    Form1 closing(GetModuleHandleW(nullptr), commands, false);
    const HWND window = closing.Handle();
    bool openAtTheEnd = false;
    commands.duringClick = [&](Button button) {
      if (button != Button::Command1) return;
      requests[i](closing);
      openAtTheEnd = IsWindow(window);
    };
    SendMessageW(closing.Control("Command1"), BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(openAtTheEnd);
    EXPECT_FALSE(IsWindow(window));
  }
}

// A start-up that fails once the window exists: the window's end asked the loop to quit, and the
// box that says why must stay until it is closed.
TEST(StartFailureTest, TheBoxAfterTheWindowHasEndedStaysUntilItIsClosed) {
  static bool seenOpen = false;
  seenOpen = false;
  PostQuitMessage(0);
  DiscardQuit();
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) {
          if (WindowText(window) != L"Quarnel") return TRUE;
          seenOpen = true;
          PostMessageW(window, WM_COMMAND, IDOK, 0);
          return FALSE;
        },
        0);
  });
  const int pressed = MessageBoxW(nullptr, L"无法启动", L"Quarnel", MB_OK);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(seenOpen) << "the box closed before anyone could read it";
  EXPECT_EQ(pressed, IDOK);
}

}  // namespace
}  // namespace quarnel::win32
