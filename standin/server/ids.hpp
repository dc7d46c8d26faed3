#pragma once

#include "common/win32/win_headers.hpp"

namespace quarnel::standin::server {

inline constexpr wchar_t kProgId[] = L"Excel.Application";
inline constexpr wchar_t kDescription[] = L"Microsoft Excel Application (Quarnel stand-in)";
// Our own class, not Excel's: the per-user ProgID entry points COM here instead.
inline constexpr CLSID kClsid = {
    0xdc46e214, 0xdeff, 0x436d, {0xb4, 0xdb, 0x30, 0x7a, 0x36, 0xe3, 0x65, 0x8e}};

}  // namespace quarnel::standin::server
