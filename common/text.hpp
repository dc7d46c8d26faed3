#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// 常用函数 means "common functions": the module of numbers to text and the taking apart of Windows paths.
namespace 常用函数 {

// A whole number as plain decimal digits, "-" in front when negative.
std::string ValueText(std::int64_t value);
template <std::integral T>
requires(!std::same_as<T, bool>) std::string ValueText(T value) {
  return ValueText(static_cast<std::int64_t>(value));
}
// A number in plain positional digits: "-" when negative, "." before a fraction, no exponent, no
// grouping, no blanks. Every number of up to 15 significant digits keeps exactly those digits.
std::string ValueText(double value);
// Text that reads as a decimal number comes back as that number's text; any other text, "nan" and
// "inf" among it, unchanged.
std::string ValueText(std::string_view text);
inline std::string ValueText(const char* text) { return ValueText(std::string_view(text)); }
inline std::string ValueText(const std::string& text) { return ValueText(std::string_view(text)); }

// The last component of a path: everything after the rightmost "\".
std::string FileNameOfPath(std::string_view path);
// The file name without its folder and without its last extension.
std::string BaseNameOfPath(std::string_view path);

}  // namespace 常用函数

namespace quarnel {
// ASCII's A to Z as a to z, every other byte as it is: member names, state words, hex digits and
// file extensions compare so, whatever else the text holds.
char AsciiLower(char c) noexcept;
std::string AsciiLower(std::string_view text);
// Removes leading and trailing spaces (only " ", as the note box's trimming does).
std::string_view TrimSpaces(std::string_view text);
// The characters of UTF-8 text as a person counts them: one per code point.
std::size_t CharacterCount(std::string_view utf8);
// The length of UTF-8 text in UTF-16 code units, as Windows measures names and paths: a
// character above U+FFFF counts 2.
std::size_t Utf16Length(std::string_view utf8);
}  // namespace quarnel
