#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "standin/model/model.hpp"
#include "support/failure_number.hpp"

namespace quarnel::standin {
namespace {

using excel::Object;

// The areas of the visible cells, as "$A$1:$A$3 $A$5", or the failure's number and text.
std::string VisibleOf(const Object& range) {
  try {
    const Object areas = range.GetObject("SpecialCells", {std::int32_t{12}}).GetObject("Areas");
    std::string text;
    for (std::int32_t i = 1; i <= excel::ToLong(areas.Get("Count")); ++i) {
      text += (i > 1 ? " " : "") + excel::ToText(areas.GetObject("Item", {i}).Get("Address"));
    }
    return text;
  } catch (const Failure& failure) {
    return test_support::FailureLine(failure);
  }
}

TEST(StandinVisibleCells, AnswersAsExcelDoes) {
  const auto everyOtherRowOfThree = [](Model& m) {
    m.SetAreasLimit(3);
    for (std::int32_t row = 2; row <= 6; row += 2) m.SetRowsHidden(row, row, true);
  };
  const struct {
    const char* range;
    std::function<void(Model&)> arrange;
    const char* visible;
    double height, width;
    excel::Value merged;
  } cases[] = {
      {"A1:A6", [](Model& m) { m.SetRowsHidden(2, 3, true); }, "$A$1 $A$4:$A$6", 60, 48, false},
      {"A1:A6", [](Model& m) { m.SetRowsHidden(1, 6, true); }, "1004 No cells were found.", 0, 48, false},
      {"A2:F2", [](Model& m) { m.SetColumnsHidden(3, 4, true); }, "$A$2:$B$2 $E$2:$F$2", 15, 192, false},
      {"A1",  // one cell stands for the used range
       [](Model& m) {
         m.SetCell(3, 1, std::string("x"));
         m.SetCell(6, 2, std::string("x"));
         m.SetRowsHidden(4, 4, true);
       },
       "$A$3:$B$3 $A$5:$B$6", 15, 48, false},
      {"A1:A7",  // a merged block comes back whole; partly merged is Null
       [](Model& m) {
         m.Merge(2, 1, 4, 1);
         m.SetRowsHidden(3, 3, true);
         m.SetRowsHidden(6, 6, true);
       },
       "$A$1:$A$5 $A$7", 75, 48, excel::Value{}},
      {"A2:A4", [](Model& m) { m.Merge(2, 1, 4, 1); }, "$A$2:$A$4", 45, 48, true},
      // Beyond the areas limit, the range itself.
      {"A1:A7", everyOtherRowOfThree, "$A$1:$A$7", 60, 48, false},
      {"A1:A6", everyOtherRowOfThree, "$A$1 $A$3 $A$5", 45, 48, false}};
  for (const auto& c : cases) {
    Model model;
    model.AddWorkbook();
    c.arrange(model);
    const Object range = model.Application().GetObject("Range", {std::string(c.range)});
    EXPECT_EQ(VisibleOf(range), c.visible) << c.visible;
    EXPECT_EQ(excel::ToDouble(range.Get("Height")), c.height) << c.visible;
    EXPECT_EQ(excel::ToDouble(range.Get("Width")), c.width) << c.visible;
    EXPECT_EQ(range.Get("MergeCells"), c.merged) << c.visible;
    // Only visible cells are known, and Areas count from 1.
    EXPECT_EQ(test_support::FailureNumber([&] { range.GetObject("SpecialCells", {std::int32_t{2}}); }), 1004);
    EXPECT_EQ(test_support::FailureNumber([&] { range.GetObject("Areas").GetObject("Item", {0}); }), 1004);
  }
}

}  // namespace
}  // namespace quarnel::standin
