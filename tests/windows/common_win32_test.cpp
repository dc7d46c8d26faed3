#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/win32/form_fonts.hpp"
#include "common/trace.hpp"
#include "common/win32/enumeration.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/window_procedure.hpp"
#include "common/win32/window_text.hpp"
#include "test_window.hpp"

namespace quarnel::win32 {
namespace {

HWND MakeEdit() {
  const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 100, 20, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  return edit;
}

TEST(WindowTextTest, ReadsLongTextsWholeAndGoneWindowsAsEmpty) {
  const HWND edit = MakeEdit();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(WindowText(edit), L"");
  std::wstring text;
  while (text.size() < 70000) text += L"行列状态 note 0123 ";
  ASSERT_TRUE(SetWindowTextW(edit, text.c_str()));
  EXPECT_EQ(WindowText(edit), text);
  DestroyWindow(edit);
  EXPECT_EQ(WindowText(edit), L"");
}

TEST(OwnedHandleTest, ClosesOnceAndMovesOwnership) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  DWORD flags = 0;
  {
    OwnedHandle first(raw);
    OwnedHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), raw);
    EXPECT_TRUE(GetHandleInformation(raw, &flags));
  }
  EXPECT_FALSE(GetHandleInformation(raw, &flags));

  OwnedHandle failed(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(failed);
  EXPECT_TRUE(failed.Close());

  // Assigned to, an owner gives back what it held; so does Put, before the call fills it in.
  HANDLE a = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE b = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  OwnedHandle target(a);
  target = OwnedHandle(b);
  EXPECT_FALSE(GetHandleInformation(a, &flags));
  EXPECT_EQ(target.Get(), b);
  *target.Put() = nullptr;
  EXPECT_FALSE(GetHandleInformation(b, &flags));
  EXPECT_FALSE(target);

  // Given back on the way, even by a close that fails, the thread's last error stays for the caller.
  HANDLE closedBehind = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    const OwnedHandle owner(closedBehind);
    CloseHandle(closedBehind);
    SetLastError(ERROR_FILE_EXISTS);
  }
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
}

// A menu, an icon and a window go back to the system with their owners.
TEST(OwnedHandleTest, MenusIconsAndWindowsAreDestroyed) {
  HMENU menu = CreatePopupMenu();
  HICON icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  HWND window = MakeEdit();
  ASSERT_TRUE(IsMenu(menu) && icon && IsWindow(window));
  {
    const OwnedMenu ownedMenu(menu);
    const OwnedIcon ownedIcon(icon);
    const OwnedWindow ownedWindow(window);
  }
  EXPECT_FALSE(IsMenu(menu));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(IsWindow(window));
}

// A window the system destroys first, here with its parent, is taken back at WM_NCDESTROY: its
// owner is left empty, so it cannot destroy a later window given the same handle.
TEST(OwnedHandleTest, AWindowTheSystemDestroyedFirstIsLeftAlone) {
  struct Child {
    OwnedWindow window;
    LRESULT Receive(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_NCCREATE) *window.Put() = hwnd;
      if (message == WM_NCDESTROY) window.Release();
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
  } child;
  const HWND parent = MakeEdit();
  const test_support::TestWindow made(L"QuarnelOwnedChild", WS_CHILD, ProcedureOf<Child, &Child::Receive>,
                                      L"", parent, &child);
  ASSERT_TRUE(IsWindow(child.window.Get()));
  DestroyWindow(parent);
  EXPECT_FALSE(child.window);
}

// What an enumeration's callback throws stops it and comes out once the system has returned.
TEST(EnumeratedTest, AThrowStopsTheEnumerationAndIsThrownAgainAfter) {
  for (const int throwAt : {0, 2}) {
    SCOPED_TRACE(throwAt);
    Enumerated<HWND> windows;
    int visits = 0;
    struct Context {
      Enumerated<HWND>* windows;
      int* visits;
      int throwAt;
    } context{&windows, &visits, throwAt};
    const BOOL finished = EnumWindows(
        [](HWND window, LPARAM raw) {
          auto& c = *reinterpret_cast<Context*>(raw);
          return c.windows->Visit([&](std::vector<HWND>& found) {
            if (++*c.visits == c.throwAt) throw std::runtime_error("thrown in the callback");
            found.push_back(window);
          });
        },
        reinterpret_cast<LPARAM>(&context));
    if (throwAt == 0) {
      EXPECT_TRUE(finished);
      EXPECT_EQ(windows.Take().size(), static_cast<std::size_t>(visits));
      continue;
    }
    EXPECT_FALSE(finished);
    EXPECT_EQ(visits, throwAt);
    EXPECT_THROW(windows.Take(), std::runtime_error);
  }
}

TEST(GdiOwnersTest, SelectionPutsBackWhatItDisplacedAndFontsAreDeleted) {
  const ScreenDc screen;
  ASSERT_NE(screen.Get(), nullptr);
  const MemoryDc memory(screen.Get());
  const HGDIOBJ before = GetCurrentObject(memory.Get(), OBJ_FONT);
  LOGFONTW query{};
  query.lfHeight = -20;
  HFONT raw = CreateFontIndirectW(&query);
  {
    const OwnedFont font(raw);
    const Selection selected(memory.Get(), font.Get());
    EXPECT_EQ(GetCurrentObject(memory.Get(), OBJ_FONT), raw);
  }
  EXPECT_EQ(GetCurrentObject(memory.Get(), OBJ_FONT), before);
  EXPECT_EQ(GetObjectType(raw), 0u);
}

// What a window's handling throws stays in its procedure, and is written for a support person. A
// paint that throws still ends the paint: else the window stays invalid and repaints forever.
TEST(WindowProcedureTest, AThrowingMessageGetsTheDefaultAnswerATraceLineAndItsPaintEnded) {
  struct Thrower {
    bool painted = false;
    LRESULT Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_PAINT) {
        const PaintDc dc(window);
        painted = dc.Get() != nullptr;
      }
      if (message == WM_APP || message == WM_PAINT) throw std::runtime_error("boom");
      if (message == WM_APP + 1) return 42;
      return DefWindowProcW(window, message, wParam, lParam);
    }
  } thrower;
  static std::vector<std::string> lines;
  trace::SetSink([](std::string_view line) { lines.emplace_back(line); });
  auto owned = std::make_unique<test_support::TestWindow>(L"QuarnelThrowingReceive", WS_POPUP | WS_VISIBLE,
                                                          ProcedureOf<Thrower, &Thrower::Receive>, L"",
                                                          nullptr, &thrower);
  const HWND window = owned->Get();
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);
  EXPECT_TRUE(thrower.painted);
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
  EXPECT_EQ(SendMessageW(window, WM_APP + 1, 0, 0), 42);
  EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 0);
  owned.reset();
  trace::SetSink(nullptr);
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) {
    EXPECT_EQ(line.rfind("window procedure: 51 ", 0), 0u) << line;
    EXPECT_NE(line.find("boom"), std::string::npos) << line;
  }
}

TEST(FormFontsTest, ScaleWithTheResolutionAndShowNoMissingFace) {
  const FormFonts normal = MakeFormFonts({96, 96});
  const FormFonts doubled = MakeFormFonts({192, 192});
  ASSERT_TRUE(normal.button && normal.note && doubled.button && doubled.note);
  LOGFONTW small{};
  LOGFONTW large{};
  ASSERT_TRUE(GetObjectW(normal.button.Get(), sizeof(small), &small));
  ASSERT_TRUE(GetObjectW(doubled.button.Get(), sizeof(large), &large));
  EXPECT_EQ(large.lfHeight, 2 * small.lfHeight);
  // No font has a glyph for a private-use character of the last plane.
  EXPECT_EQ(ChineseUiFace(L"\U0010FFFD", {L"SimSun"}), L"");
}

}  // namespace
}  // namespace quarnel::win32
