#pragma once

#include <string>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// A date and time as Windows turns a date into text: the short date, one blank, the long time;
// the date alone when the time is exactly 00:00:00. `locale` null: the user's regional settings.
std::string DateTimeText(const SYSTEMTIME& time, const wchar_t* locale = nullptr);

// The current local date and time so.
std::string LocalDateTimeText();

}  // namespace quarnel::win32
