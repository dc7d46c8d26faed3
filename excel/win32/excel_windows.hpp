#pragma once

#include <chrono>
#include <string_view>
#include <vector>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// The class of Excel's main window, of its desk and of a workbook window on that desk.
inline constexpr wchar_t kExcelMainClass[] = L"XLMAIN";
inline constexpr wchar_t kExcelDeskClass[] = L"XLDESK";
inline constexpr wchar_t kExcelBookClass[] = L"EXCEL7";

// Excel's visible main windows, the one in front first.
std::vector<HWND> ExcelMainWindows();

// What the workbook windows of an Excel main window answer when asked for the object model.
struct NativeAnswer {
  Microsoft::WRL::ComPtr<IDispatch> object;  // the Window object; null when none hands one out
  bool late = false;  // one did not answer in time: Excel's window thread is stuck or busy
};

// How long one look at Excel's window waits for its answer: short, for the asking thread's windows
// take no posted message meanwhile.
inline constexpr std::chrono::milliseconds kWindowAnswerLimit{100};

// Asks the workbook windows of `main` for their Window object (OBJID_NATIVEOM), giving each
// `limit` to answer, so a stuck Excel never stops the caller's thread for longer. Throws Failure
// when the accessibility library cannot be loaded.
NativeAnswer NativeWindowObject(HWND main, std::chrono::milliseconds limit = kWindowAnswerLimit);

// Brings `window` to the front and gives it the focus, restoring it when minimised, whether or not
// the calling thread has the focus itself.
void BringToFront(HWND window);

// Of Excel's visible main windows, the first titled exactly `title`, else the first whose title
// begins with it; null when none, or when `title` is empty (it would match any window).
HWND FindExcelWindow(std::wstring_view title);

}  // namespace quarnel::win32
