#include <gtest/gtest.h>

#include "common/win32/win_headers.hpp"
//
#include <commctrl.h>

#include <array>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/form_layout.hpp"
#include "app/win32/desktop.hpp"
#include "app/win32/form1.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/window_text.hpp"
#include "excel/win32/patient_calls.hpp"
#include "test_window.hpp"

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
  for (HWND window : test_support::ThreadWindows()) {
    if (GetWindow(window, GW_OWNER) == form && ClassOf(window) == L"tooltips_class32") return window;
  }
  return nullptr;
}

// The controls that have a tip in `tips`, each named by its window.
std::set<HWND> ToolsOf(HWND tips) {
  std::set<HWND> tooled;
  const auto count = SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0);
  for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    EXPECT_TRUE(SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
    tooled.insert(reinterpret_cast<HWND>(tool.uId));
  }
  return tooled;
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

// Records each click on a command button, each menu asked for and each entry picked.
class RecordedClicks final : public app::ClickTarget {
 public:
  void OnClick(Button button) override {
    overlapped |= running_;
    running_ = true;
    clicks.push_back(button);
    if (duringClick) duringClick(button);
    running_ = false;
  }
  std::vector<app::MenuItem> RestoreMenu() override {
    overlapped |= running_;
    ++menusAsked;
    return menu;
  }
  void OnMenu(const app::MenuItem& item) override {
    overlapped |= running_;
    running_ = true;
    picked.push_back(item.label);
    if (duringMenu) duringMenu();
    running_ = false;
  }

  std::vector<Button> clicks;
  std::function<void(Button)> duringClick;
  std::vector<app::MenuItem> menu;
  int menusAsked = 0;
  std::vector<std::string> picked;
  std::function<void()> duringMenu;
  // A click, menu or pick that came while a command ran.
  bool overlapped = false;

 private:
  bool running_ = false;
};

// A popup menu as it showed: each entry's text, "~" before a greyed one, "-" for a line; and its
// top left corner on the screen.
struct ShownMenu {
  std::vector<std::string> entries;
  POINT at{};
};

// Watches this thread's popup menus from a timer, which the menu's own modal loop serves: reads
// each one that opens and then presses `keys` on it. One the keys leave open is ended after 5 s.
class MenuWatch {
 public:
  explicit MenuWatch(std::vector<WPARAM> keys) : keys_(std::move(keys)) {
    watching_ = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
  }
  ~MenuWatch() {
    KillTimer(nullptr, timer_);
    watching_ = nullptr;
  }
  MenuWatch(const MenuWatch&) = delete;
  MenuWatch& operator=(const MenuWatch&) = delete;

  std::vector<ShownMenu> menus;
  bool leftOpen = false;

 private:
  static HWND OpenMenu() {
    for (HWND window : test_support::ThreadWindows()) {
      if (ClassName(window) == L"#32768" && IsWindowVisible(window)) return window;
    }
    return nullptr;
  }

  static ShownMenu Read(HWND popup) {
    ShownMenu shown;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      std::array<wchar_t, 256> text{};
      GetMenuStringW(menu, static_cast<UINT>(i), text.data(), static_cast<int>(text.size()), MF_BYPOSITION);
      shown.entries.push_back(state & MF_SEPARATOR ? "-"
                                                   : (state & MF_GRAYED ? "~" : "") + ToUtf8(text.data()));
    }
    RECT r{};
    GetWindowRect(popup, &r);
    shown.at = {r.left, r.top};
    return shown;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!watching_) return;
    MenuWatch& w = *watching_;
    const HWND popup = OpenMenu();
    if (popup && popup == w.open_ && ++w.ticksOpen_ == 100) {
      w.leftOpen = true;
      EndMenu();
    }
    if (!popup || popup == w.open_) {
      w.open_ = popup;
      return;
    }
    w.open_ = popup;
    w.ticksOpen_ = 0;
    w.menus.push_back(Read(popup));
    for (WPARAM key : w.keys_) PostMessageW(popup, WM_KEYDOWN, key, 0);
  }

  static inline MenuWatch* watching_ = nullptr;
  std::vector<WPARAM> keys_;
  UINT_PTR timer_ = 0;
  HWND open_ = nullptr;
  int ticksOpen_ = 0;
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

  // A right click on `name` as the system reports it: at `at` on the screen, or -1 from the keyboard.
  void ContextMenu(const char* name, LPARAM at = -1) {
    SendMessageW(Control(name), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Control(name)), at);
    Pump();
  }

  RecordedClicks recorded;
  std::vector<Button>& clicks = recorded.clicks;
  std::function<void(Button)>& duringClick = recorded.duringClick;
  Form1 form{GetModuleHandleW(nullptr), recorded, false};
};

// Centred, its bottom one window height above the screen's; its close box ends it without a click.
TEST_F(Form1Test, IsAFixedTopmostWindowCaptionedQuarnelStandingCentredBeforeItIsShown) {
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

  RECT outer{};
  GetWindowRect(window, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_LE(std::abs(2 * outer.left - (screenWidth - width)), 1);
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) - 2 * height);

  // The load step again changes nothing.
  常用函数::SetTopMost(window);
  RECT again{};
  GetWindowRect(window, &again);
  EXPECT_TRUE(EqualRect(&outer, &again));
  EXPECT_FALSE(IsWindowVisible(window));

  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(clicks.empty());
}

// Each control at its place with its text and style, with glyphs for its text; each but the exit
// button with its tooltip, whose text has glyphs too.
TEST_F(Form1Test, ControlsStandAtTheirPlacesWithTheirTextsAndTooltips) {
  const HWND tips = TooltipsOf(form.Handle());
  ASSERT_TRUE(tips);
  const std::set<HWND> tooled = ToolsOf(tips);
  EXPECT_EQ(tooled.size(), 7u);
  const auto tipFont = reinterpret_cast<HFONT>(SendMessageW(tips, WM_GETFONT, 0, 0));
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
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_TRUE(font);
    EXPECT_TRUE(ShowsEveryCharacter(font, ToUtf16(def.text)));

    EXPECT_EQ(tooled.contains(control), !def.tooltip.empty());
    if (def.tooltip.empty()) continue;
    EXPECT_TRUE(ShowsEveryCharacter(tipFont, ToUtf16(def.tooltip)));
    std::array<wchar_t, 256> text{};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tips, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(ToUtf8(text.data()), def.tooltip);
  }
}

// The tab order follows the tab index and wraps around; the focus starts on Command1, and Tab
// walks from Command4 to Text1 to Command5.
TEST_F(Form1Test, TabOrderFollowsTheTabIndexFromCommand1) {
  const auto& controls = app::Form1Definition().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const HWND here = Control(controls[i].name);
    const HWND next = Control(controls[(i + 1) % controls.size()].name);
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), here, FALSE), next) << controls[i].name;
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), next, TRUE), here) << controls[i].name;
  }
  form.Show(SW_SHOWNORMAL);
  Pump();
  EXPECT_EQ(GetFocus(), Control("Command1"));
  SetFocus(Control("Command4"));
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), Control("Text1"));
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), Control("Command5"));
}

TEST_F(Form1Test, Text1HasItsOwnFont) {
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
}

// Enter and Escape click nothing; each button raises its own click; Command5 ends the window.
TEST_F(Form1Test, EachButtonRaisesItsOwnClickAndCommand5EndsTheWindow) {
  form.Show(SW_SHOWNORMAL);
  Pump();
  for (const char* name : {"Command1", "Text1", "Command5"}) {
    SetFocus(Control(name));
    Press(VK_RETURN);
    Press(VK_ESCAPE);
  }
  EXPECT_TRUE(clicks.empty());
  EXPECT_TRUE(IsWindow(form.Handle()));

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

TEST_F(Form1Test, TheRestoreMenuShowsItsEntriesOnCommand4AndPassesThePickToOnMenu) {
  using Kind = app::MenuItem::Kind;
  recorded.menu = {
      {Kind::Snapshot, "R&D-行列状态_20241201093000\t12-01 09:30", "C:\\q\\R&D-行列状态_20241201093000.txt",
       true, false},
      {Kind::Snapshot, "演示-行列状态_月报_20241130170000\t11-30 17:00", "C:\\q\\演示.txt", true, false},
      {Kind::ShowAll, "显示全部行列", {}, true, true},
      {Kind::Undo, "撤消上次恢复", {}, false, false},
      {Kind::Browse, "浏览…", {}, true, false},
  };
  const std::vector<std::string> shown = {"R&&D-行列状态_20241201093000\t12-01 09:30",
                                          "演示-行列状态_月报_20241130170000\t11-30 17:00",
                                          "-",
                                          "显示全部行列",
                                          "~撤消上次恢复",
                                          "浏览…"};
  form.Show(SW_SHOWNORMAL);
  SetWindowPos(form.Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();
  RECT button{};
  GetWindowRect(Control("Command4"), &button);
  const LPARAM mouse = MAKELPARAM(300, 200);

  struct Case {
    const char* control;
    LPARAM at;
    std::vector<WPARAM> keys;
    std::vector<std::string> picked;
  };
  const std::vector<Case> cases = {
      {"Command4", mouse, {VK_DOWN, VK_RETURN}, {"R&D-行列状态_20241201093000\t12-01 09:30"}},
      {"Command4", -1, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, {"显示全部行列"}},
      {"Command4", -1, {VK_UP, VK_RETURN}, {"浏览…"}},
      // Enter on the greyed entry picks nothing; Wine ends the menu on it, Escape where it stays.
      {"Command4", mouse, {VK_UP, VK_UP, VK_RETURN, VK_ESCAPE}, {}},
      {"Command4", mouse, {VK_ESCAPE}, {}},
      {"Command1", mouse, {VK_ESCAPE}, {}},
      {"Command6", -1, {VK_ESCAPE}, {}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE("case " + std::to_string(i));
    recorded.picked.clear();
    recorded.menusAsked = 0;
    const MenuWatch watch(c.keys);
    ContextMenu(c.control, c.at);
    EXPECT_EQ(recorded.picked, c.picked);
    EXPECT_FALSE(watch.leftOpen);
    if (std::string_view(c.control) != "Command4") {
      EXPECT_TRUE(watch.menus.empty());
      EXPECT_EQ(recorded.menusAsked, 0);
      continue;
    }
    ASSERT_EQ(watch.menus.size(), 1u);
    EXPECT_EQ(watch.menus[0].entries, shown);
    // The keyboard's menu opens below the button.
    const POINT at = c.at == -1 ? POINT{button.left, button.bottom} : POINT{300, 200};
    EXPECT_EQ(watch.menus[0].at.x, at.x);
    EXPECT_EQ(watch.menus[0].at.y, at.y);
  }
  EXPECT_TRUE(clicks.empty());
  EXPECT_FALSE(recorded.overlapped);
}

// While a click's or a pick's command runs, a right click on Command4 opens no menu and a click
// starts nothing.
TEST_F(Form1Test, NoMenuOpensAndNoCommandStartsWhileACommandRuns) {
  recorded.menu = {{app::MenuItem::Kind::ShowAll, "显示全部行列", {}, true, false}};
  form.Show(SW_SHOWNORMAL);
  Pump();
  const MenuWatch watch({VK_DOWN, VK_RETURN});
  duringClick = [this](Button) { ContextMenu("Command4"); };
  SendMessageW(Control("Command1"), BM_CLICK, 0, 0);
  EXPECT_TRUE(watch.menus.empty());
  EXPECT_EQ(recorded.menusAsked, 0);

  recorded.duringMenu = [this] {
    ContextMenu("Command4");
    SendMessageW(Control("Command2"), BM_CLICK, 0, 0);
  };
  ContextMenu("Command4");
  EXPECT_EQ(watch.menus.size(), 1u);
  EXPECT_EQ(recorded.menusAsked, 1);
  EXPECT_EQ(recorded.picked, std::vector<std::string>{"显示全部行列"});
  EXPECT_EQ(clicks, std::vector<Button>{Button::Command1});
  EXPECT_FALSE(recorded.overlapped);
}

// A start-up that fails once the window exists: the window's end asked the loop to quit, and the
// box that says why must stay until it is closed.
TEST(StartFailureTest, TheBoxAfterTheWindowHasEndedStaysUntilItIsClosed) {
  static bool seenOpen = false;
  seenOpen = false;
  PostQuitMessage(0);
  DiscardQuit();
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
    for (HWND window : test_support::ThreadWindows()) {
      if (WindowText(window) != L"Quarnel") continue;
      seenOpen = true;
      PostMessageW(window, WM_COMMAND, IDOK, 0);
      return;
    }
  });
  const int pressed = MessageBoxW(nullptr, L"无法启动", L"Quarnel", MB_OK);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(seenOpen) << "the box closed before anyone could read it";
  EXPECT_EQ(pressed, IDOK);
}

TEST(Form1Busy, ShowsTheWaitCursorWhileACommandRunsAndNotAfter) {
  const HCURSOR wait = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));
  // What the cursor is during the command, and after the window is asked to set it then.
  struct CursorWatch final : app::ClickTarget {
    void OnClick(app::Button) override {
      during = GetCursor();
      SetCursor(nullptr);
      answered = SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      afterSetCursor = GetCursor();
    }
    HWND window = nullptr;
    HCURSOR during = nullptr;
    LRESULT answered = 0;
    HCURSOR afterSetCursor = nullptr;
  } watch;
  Form1 form{GetModuleHandleW(nullptr), watch, false};
  const HWND window = watch.window = form.Handle();
  SendMessageW(form.Control("Command1"), BM_CLICK, 0, 0);
  EXPECT_EQ(watch.during, wait);
  EXPECT_EQ(watch.answered, TRUE);
  EXPECT_EQ(watch.afterSetCursor, wait);

  SetCursor(nullptr);
  SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), wait);
  EXPECT_EQ(ToUtf8(WindowText(window)), "Quarnel");
}

}  // namespace
}  // namespace quarnel::win32
