#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "app/win32/placement.hpp"
#include "common/win32/owned.hpp"

namespace quarnel::win32 {

// The fonts of `Form1` at one resolution: the buttons' and the note box's.
struct FormFonts {
  OwnedFont button;
  OwnedFont note;
};

// Fonts that show every text of the window and any Latin letter or digit of a note.
FormFonts MakeFormFonts(Dpi dpi);

// An installed font family for Simplified Chinese that has a glyph for every character of
// `sample`: the first of `preferred` that does, else any; empty when none does.
std::wstring ChineseUiFace(std::wstring_view sample, std::initializer_list<const wchar_t*> preferred);

}  // namespace quarnel::win32
