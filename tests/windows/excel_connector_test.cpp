#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win32/utf16.hpp"
#include "excel/win32/com_failure.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/excel_windows.hpp"
#include "excel_fake_dispatch.hpp"
#include "failure_of.hpp"
#include "support/failure_number.hpp"
#include "test_window.hpp"

namespace quarnel::win32 {
namespace {

using quarnel::test_support::FailureNumber;

std::wstring Unique(const wchar_t* text) { return text + std::to_wstring(GetCurrentProcessId()); }

// Top-level test windows, shared by the suite: under Wine without a window manager, taking a shown
// window down waits two seconds for the X server. Three are Excel's by class; `other` belongs to
// another program and may be titled like Excel.
class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix = Open(kExcelMainClass, true);
    exact = Open(kExcelMainClass, true);
    other = Open(L"QuarnelConnectorTest", true);
    hidden = Open(kExcelMainClass, false);
  }
  static void TearDownTestSuite() { windows.clear(); }

  void SetUp() override {
    ASSERT_TRUE(prefix && exact && other && hidden);
    SetWindowTextW(prefix, (title + L" - 工作簿1").c_str());
    SetWindowTextW(exact, title.c_str());
    SetWindowTextW(other, Unique(L"Other ").c_str());
    SetWindowTextW(hidden, (title + L" hidden").c_str());
  }

  static HWND Open(const wchar_t* className, bool visible) {
    const HWND window = windows
                            .emplace_back(std::make_unique<test_support::TestWindow>(
                                className, WS_OVERLAPPEDWINDOW, DefWindowProcW))
                            ->Get();
    if (window && visible) ShowWindow(window, SW_SHOWNORMAL);
    return window;
  }
  static void Raise(HWND window) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  static void Pump() { test_support::PumpMessages(); }

  static inline std::vector<std::unique_ptr<test_support::TestWindow>> windows;
  static inline HWND prefix, exact, other, hidden;
  const std::wstring title = Unique(L"Microsoft Excel - 激活");
  ComInit com;
  ComConnector connector;
};

TEST_F(WindowTest, ExactTitleWinsOverAPrefixWhicheverComesFirst) {
  Raise(exact);
  Raise(prefix);
  EXPECT_EQ(FindExcelWindow(title), exact);
  Raise(exact);
  EXPECT_EQ(FindExcelWindow(title), exact);

  SetWindowTextW(exact, L"Book2");
  EXPECT_EQ(FindExcelWindow(title), prefix);
}

// Application.Hwnd names Excel's window whatever its title; any other handle brings nothing forward.
TEST_F(WindowTest, AHandleBringsForwardOnlyAVisibleMainWindowOfExcel) {
  const auto handle = [](HWND window) {
    return static_cast<std::int32_t>(reinterpret_cast<LONG_PTR>(window));
  };
  SetForegroundWindow(other);
  Pump();
  for (HWND refused : {other, hidden, HWND{}}) {
    EXPECT_FALSE(connector.ActivateWindowHandle(handle(refused)));
  }
  Pump();
  EXPECT_EQ(GetForegroundWindow(), other);
  EXPECT_TRUE(connector.ActivateWindowHandle(handle(prefix)));
  Pump();
  EXPECT_EQ(GetForegroundWindow(), prefix);
  // Nothing was found through a window yet.
  EXPECT_FALSE(connector.ActivateFoundWindow());
}

// Hidden windows and empty titles find nothing; activating a title no window has fails; windows
// that answer nothing for the object model are passed over, not taken for Excel.
TEST_F(WindowTest, HiddenWindowsEmptyTitlesAndTitlesOfNoWindowFindNothing) {
  EXPECT_EQ(FindExcelWindow(title + L" hidden"), nullptr);
  EXPECT_EQ(NativeWindowObject(prefix).object, nullptr);
  EXPECT_EQ(NativeWindowObject(other).object, nullptr);
  EXPECT_EQ(FindExcelWindow(L""), nullptr);
  EXPECT_EQ(FailureNumber([&] { connector.ActivateWindow(ToUtf8(Unique(L"No window is called this "))); }),
            5);
}

TEST_F(WindowTest, ActivationBringsTheWindowToTheFrontRestoringIt) {
  SetWindowTextW(exact, L"Book2");
  SetForegroundWindow(other);
  ShowWindow(prefix, SW_MINIMIZE);
  Pump();

  connector.ActivateWindow(ToUtf8(title));
  Pump();

  EXPECT_EQ(GetForegroundWindow(), prefix);
  EXPECT_FALSE(IsIconic(prefix));
}

TEST_F(WindowTest, AnotherProgramTitledLikeExcelIsNeverActivated) {
  SetWindowTextW(other, title.c_str());
  SetWindowTextW(exact, L"Book2");
  Raise(other);
  SetForegroundWindow(exact);
  Pump();
  EXPECT_EQ(FindExcelWindow(title), prefix);

  SetWindowTextW(prefix, L"Book3");
  EXPECT_EQ(FindExcelWindow(title), nullptr);
  EXPECT_THROW(connector.ActivateWindow(ToUtf8(title)), Failure);
  Pump();
  EXPECT_NE(GetForegroundWindow(), other);
}

// A ProgID of our own, removed again afterwards. Windows reads it from the user's classes; Wine 8
// reads only the machine's, which a Wine prefix lets any user write.
class ProgIdTest : public ::testing::Test {
 protected:
  ProgIdTest() {
    CoCreateGuid(&clsid);
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    const auto size = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      CLSID found{};
      if (SUCCEEDED(CLSIDFromProgID(progId.c_str(), &found))) break;
      RegSetKeyValueW(root, (Key() + L"\\CLSID").c_str(), nullptr, REG_SZ, text, size);
    }
  }
  ~ProgIdTest() override {
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeW(root, Key().c_str());
  }
  std::wstring Key() const { return L"Software\\Classes\\" + progId; }

  ComInit com;
  ComConnector connector{BusyRetry{}};
  std::wstring progId = Unique(L"Quarnel.Test");
  CLSID clsid{};
};

// An unknown ProgID fails with the class string error; ours is found only while registered.
TEST_F(ProgIdTest, RunningObjectIsFoundOnlyWhileRegistered) {
  for (const auto member : {&ComConnector::GetRunning, &ComConnector::Start}) {
    const Failure f = test_support::FailureOf([&] { (connector.*member)("Quarnel.NoSuchProgId"); });
    EXPECT_EQ(f.Number(), static_cast<std::int32_t>(CO_E_CLASSSTRING));
    EXPECT_NE(f.Description(), "自动化错误");
  }
  const std::string name = ToUtf8(progId);
  EXPECT_EQ(FailureNumber([&] { connector.GetRunning(name); }), static_cast<std::int32_t>(MK_E_UNAVAILABLE));
  // Registered but with no server to start.
  EXPECT_EQ(FailureNumber([&] { connector.Start(name); }), static_cast<std::int32_t>(REGDB_E_CLASSNOTREG));

  test_support::FakeDispatch fake;
  {
    RunningObjectEntry registration;
    ASSERT_EQ(RegisterActiveObject(&fake, clsid, ACTIVEOBJECT_STRONG, registration.Put()), S_OK);
    const excel::Object running = connector.GetRunning(name);
    running.Put("Value", true);
    EXPECT_EQ(fake.calls.size(), 1u);
  }
  fake.calls.clear();
  EXPECT_EQ(fake.references(), 0u);
  EXPECT_EQ(FailureNumber([&] { connector.GetRunning(name); }), static_cast<std::int32_t>(MK_E_UNAVAILABLE));
}

}  // namespace
}  // namespace quarnel::win32
