#pragma once

// excel_standin.exe in a process of its own, reached through COM as quarnel.exe reaches Excel;
// shared by the cross-process tests of the server.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <ios>
#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/excel_windows.hpp"
#include "support/failure_number.hpp"
#include "support/win32/process.hpp"
#include "test_window.hpp"

namespace quarnel::standin::server {

inline test_support::Process Launch(const std::wstring& switches) {
  return test_support::Process::Start(test_support::WindowsPath(QUARNEL_STANDIN_EXE), switches);
}

inline DWORD RunToEnd(const std::wstring& switches) {
  return test_support::Process::Run(test_support::WindowsPath(QUARNEL_STANDIN_EXE), switches,
                                    std::chrono::seconds(30));
}

// A window handle as a Long carries it, sign-extended back as Windows does.
inline HWND WindowFrom(const excel::Value& handle) {
  return static_cast<HWND>(LongToHandle(excel::ToLong(handle)));
}

// Whether `done` comes true within `limit`. Keeps this thread's windows answering while it waits:
// the focus may be taken from one of them.
inline bool Eventually(const std::function<bool()>& done,
                       std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  for (const auto until = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < until;
       Sleep(50)) {
    test_support::PumpMessages();
    if (done()) return true;
  }
  return done();
}

class StandinProcess : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(RunToEnd(L"/RegServer"), 0u); }
  static void TearDownTestSuite() { EXPECT_EQ(RunToEnd(L"/UnregServer"), 0u); }

  // A test that failed half-way must not leave a server for the next one to find.
  ~StandinProcess() override { process_.Kill(); }

  // The server's process, from its own word, so the test can wait for it to end.
  void Follow(const excel::Object& app) {
    const auto pid = static_cast<DWORD>(excel::ToLong(app.Get("StandinProcessId")));
    EXPECT_NE(pid, GetCurrentProcessId());
    process_ = test_support::Process::Open(pid);
    ASSERT_TRUE(process_);
  }

  // The server's visible frames, the one in front first.
  std::vector<HWND> Frames() const {
    std::vector<HWND> frames;
    for (HWND frame : win32::ExcelMainWindows()) {
      DWORD owner = 0;
      GetWindowThreadProcessId(frame, &owner);
      if (owner == process_.Id()) frames.push_back(frame);
    }
    return frames;
  }

  // What the running object table answers for "Excel.Application".
  static HRESULT RunningObjectAnswer() {
    CLSID clsid{};
    Microsoft::WRL::ComPtr<IUnknown> running;
    const HRESULT named = CLSIDFromProgID(L"Excel.Application", &clsid);
    return FAILED(named) ? named : GetActiveObject(clsid, nullptr, &running);
  }

  void QuitAndExpectTheEnd(const excel::Object& app) {
    EXPECT_NO_THROW(app.Call("Quit"));
    ExpectTheEnd(app);
  }

  // A person closes Excel's `window` while this client holds `held`: as Excel, it hides, leaves
  // the running object table, still answers, and ends once all of them are let go.
  void CloseWhileHeldAndExpectTheEndOnceLetGo(HWND window, std::initializer_list<excel::Object*> held) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (int waited = 0; IsWindowVisible(window) && waited < 5000; waited += 20) Sleep(20);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(process_.WaitExit(std::chrono::milliseconds(300))) << "ended while a client held it";
    EXPECT_NO_THROW((*held.begin())->Get("Caption"));
    EXPECT_EQ(RunningObjectAnswer(), MK_E_UNAVAILABLE) << "still in the table";
    for (excel::Object* object : held) *object = {};
    EXPECT_TRUE(process_.WaitExit(std::chrono::seconds(5))) << "stayed once let go";
  }

  void ExpectTheEnd(const excel::Object& app) {
    ASSERT_TRUE(process_);
    ASSERT_TRUE(process_.WaitExit(std::chrono::seconds(10)));
    const std::int32_t number = test_support::FailureNumber([&] { app.Get("Caption"); });
    EXPECT_TRUE(number == static_cast<std::int32_t>(RPC_E_DISCONNECTED) ||
                number == static_cast<std::int32_t>(HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)) ||
                number == static_cast<std::int32_t>(CO_E_OBJNOTCONNECTED))
        << std::hex << number;
  }

  win32::ComInit com;
  win32::ComConnector connector{
      win32::BusyRetry{std::chrono::milliseconds(2000), std::chrono::milliseconds(20)}};
  test_support::Process process_;
};

}  // namespace quarnel::standin::server
