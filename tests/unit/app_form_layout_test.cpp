#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/form_layout.hpp"

namespace quarnel::app {
namespace {

TEST(Form1Definition, ControlsAreInTabOrderWithUniqueNamesAndTheirOwnButtons) {
  const FormDef& form = Form1Definition();
  std::set<std::string_view> names;
  std::set<Button> buttons;
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const ControlDef& c = form.controls[i];
    EXPECT_EQ(c.tabIndex, static_cast<int>(i)) << c.name;
    EXPECT_TRUE(names.insert(c.name).second) << c.name;
    EXPECT_EQ(FindControl(c.name), &c);
    if (c.kind == ControlKind::TextBox) {
      EXPECT_EQ(c.name, "Text1");
      EXPECT_FALSE(c.button.has_value());
      EXPECT_EQ(c.text, " ");
      continue;
    }
    ASSERT_TRUE(c.button.has_value()) << c.name;
    EXPECT_TRUE(buttons.insert(*c.button).second) << c.name;
    // CommandN raises Button::CommandN.
    EXPECT_EQ(std::string(c.name), "Command" + std::to_string(static_cast<int>(*c.button) + 1));
    EXPECT_EQ(c.tooltip.empty(), c.name == "Command5") << c.name;
  }
  EXPECT_EQ(buttons.size(), 7u);
  EXPECT_EQ(FindControl("CommonDialog1"), nullptr);
}

TEST(Form1Definition, ControlsFillTwoRowsOfFourEqualCellsInsideTheClientArea) {
  const FormDef& form = Form1Definition();
  const std::set<int> lefts{120, 1200, 2280, 3360};
  const std::set<int> tops{50, 480};
  std::set<std::pair<int, int>> cells;
  for (const ControlDef& c : form.controls) {
    EXPECT_EQ(c.rect.width, 975) << c.name;
    EXPECT_EQ(c.rect.height, 375) << c.name;
    EXPECT_TRUE(lefts.contains(c.rect.left)) << c.name;
    EXPECT_TRUE(tops.contains(c.rect.top)) << c.name;
    EXPECT_TRUE(cells.insert({c.rect.left, c.rect.top}).second) << c.name;
    EXPECT_LE(c.rect.left + c.rect.width, form.clientWidth);
    EXPECT_LE(c.rect.top + c.rect.height, form.clientHeight);
  }
  // Each hide button over its unhide button, record over restore, the note over exit.
  for (auto [upper, lower] : {std::pair{"Command1", "Command6"}, std::pair{"Command2", "Command7"},
                              std::pair{"Command3", "Command4"}, std::pair{"Text1", "Command5"}}) {
    EXPECT_EQ(FindControl(upper)->rect.left, FindControl(lower)->rect.left) << upper;
    EXPECT_LT(FindControl(upper)->rect.top, FindControl(lower)->rect.top) << upper;
  }
}

TEST(TwipsToPixels, ConvertsAtTheScreensResolution) {
  EXPECT_EQ(TwipsToPixels(4440, 96), 296);
  EXPECT_EQ(TwipsToPixels(915, 96), 61);
  EXPECT_EQ(TwipsToPixels(50, 96), 3);     // 3.33
  EXPECT_EQ(TwipsToPixels(915, 144), 92);  // 91.5 rounds up
  EXPECT_EQ(TwipsToPixels(975, 192), 130);
  EXPECT_EQ(TwipsToPixels(-30, 96), -2);
  EXPECT_EQ(TwipsToPixels(2'000'000'000, 1440), 2'000'000'000);
}

}  // namespace
}  // namespace quarnel::app
