#pragma once

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

// The Window object that a workbook window of `main` hands out (OBJID_NATIVEOM); null when none
// answers. Throws Failure when the accessibility library cannot be loaded.
Microsoft::WRL::ComPtr<IDispatch> NativeWindowObject(HWND main);

// Brings `window` to the front and gives it the focus, restoring it when minimised, whether or not
// the calling thread has the focus itself.
void BringToFront(HWND window);

// Of Excel's visible main windows, the first titled exactly `title`, else the first whose title
// begins with it; null when none, or when `title` is empty (it would match any window).
HWND FindExcelWindow(std::wstring_view title);

}  // namespace quarnel::win32
