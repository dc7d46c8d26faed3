#include "app/win32/clock.hpp"

#include "common/failure.hpp"
#include "common/win32/utf16.hpp"

namespace quarnel::win32 {
namespace {

Failure FormatFailure() { return errors::Catalogued(errors::kInvalidCall); }

std::wstring DatePart(const SYSTEMTIME& time, const wchar_t* locale) {
  const int size = GetDateFormatEx(locale, DATE_SHORTDATE, &time, nullptr, nullptr, 0, nullptr);
  if (size <= 0) throw FormatFailure();
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  if (GetDateFormatEx(locale, DATE_SHORTDATE, &time, nullptr, text.data(), size, nullptr) <= 0) {
    throw FormatFailure();
  }
  text.resize(text.find(L'\0'));
  return text;
}

std::wstring TimePart(const SYSTEMTIME& time, const wchar_t* locale) {
  const int size = GetTimeFormatEx(locale, 0, &time, nullptr, nullptr, 0);
  if (size <= 0) throw FormatFailure();
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  if (GetTimeFormatEx(locale, 0, &time, nullptr, text.data(), size) <= 0) throw FormatFailure();
  text.resize(text.find(L'\0'));
  return text;
}

}  // namespace

std::string DateTimeText(const SYSTEMTIME& time, const wchar_t* locale) {
  std::wstring text = DatePart(time, locale);
  // Whole seconds, as the clock value behind the text has no finer resolution.
  if (time.wHour != 0 || time.wMinute != 0 || time.wSecond != 0) text += L' ' + TimePart(time, locale);
  return ToUtf8(text);
}

std::string LocalDateTimeText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return DateTimeText(now);
}

}  // namespace quarnel::win32
