#pragma once

// The main window as data: what the Win32 window builds and what the tests read back.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/button.hpp"

namespace quarnel::app {

enum class ControlKind { Button, TextBox };

// Twips (1/1440 inch) from the top left corner of the client area.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlDef {
  std::string_view name;
  ControlKind kind;
  // A button's caption, or the text box's initial text.
  std::string_view text;
  // Empty: the control has no tooltip.
  std::string_view tooltip;
  TwipsRect rect;
  int tabIndex;
  // The button whose click this control raises; none for the text box.
  std::optional<Button> button;
};

struct FontDef {
  std::string_view face;
  // Tenths of a point, so 10.5 pt stays a whole number.
  int decipoints;
  int weight;
  int charset;
};

struct FormDef {
  std::string_view caption;
  int clientWidth;
  int clientHeight;
  // In tab order, tab index 0 first.
  std::array<ControlDef, 8> controls;
  FontDef text1Font;
};

const FormDef& Form1Definition();

// The control named `name`, or nullptr.
const ControlDef* FindControl(std::string_view name);

// Twips to whole pixels at `dpi` dots per inch, rounded to the nearest pixel (halves away from 0).
std::int32_t TwipsToPixels(std::int32_t twips, std::int32_t dpi);

}  // namespace quarnel::app
