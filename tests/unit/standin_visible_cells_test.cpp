#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <variant>

#include "standin/model/model.hpp"
#include "support/failure_number.hpp"

namespace quarnel::standin {
namespace {

using excel::Object;
using quarnel::test_support::FailureNumber;

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
    return std::to_string(failure.Number()) + " " + failure.Description();
  }
}

TEST(StandinVisibleCells, AnswersAsExcelDoes) {
  struct Case {
    const char* what;
    std::function<void(Model&)> arrange;
    const char* range;
    const char* visible;
    double height, width;
    excel::Value merged;
  };
  const auto hideRows = [](std::int32_t a, std::int32_t b) {
    return [=](Model& m) { m.SetRowsHidden(a, b, true); };
  };
  const Case cases[] = {
      {"all shown", [](Model&) {}, "A1:A5", "$A$1:$A$5", 75, 48, false},
      {"runs of shown rows", hideRows(2, 3), "A1:A6", "$A$1 $A$4:$A$6", 60, 48, false},
      {"hidden through", hideRows(1, 6), "A1:A6", "1004 No cells were found.", 0, 48, false},
      {"in a hidden column", [](Model& m) { m.SetColumnsHidden(2, 2, true); }, "B1:B3",
       "1004 No cells were found.", 45, 0, false},
      {"along a row", [](Model& m) { m.SetColumnsHidden(3, 4, true); }, "A2:F2", "$A$2:$B$2 $E$2:$F$2", 15,
       192, false},
      {"one cell is the used range",
       [](Model& m) {
         m.SetCell(3, 1, std::string("x"));
         m.SetCell(6, 2, std::string("x"));
         m.SetRowsHidden(4, 4, true);
       },
       "A1", "$A$3:$B$3 $A$5:$B$6", 15, 48, false},
      {"a merged block comes back whole",
       [](Model& m) {
         m.Merge(2, 1, 4, 1);
         m.SetRowsHidden(3, 3, true);
         m.SetRowsHidden(6, 6, true);
       },
       "A1:A7", "$A$1:$A$5 $A$7", 75, 48, excel::Value{}},
      {"wholly merged", [](Model& m) { m.Merge(2, 1, 4, 1); }, "A2:A4", "$A$2:$A$4", 45, 48, true},
      {"beyond the areas limit, the range itself",
       [](Model& m) {
         m.SetAreasLimit(2);
         for (std::int32_t row = 2; row <= 6; row += 2) m.SetRowsHidden(row, row, true);
       },
       "A1:A7", "$A$1:$A$7", 60, 48, false},
      {"up to the limit, its areas",
       [](Model& m) {
         m.SetAreasLimit(3);
         for (std::int32_t row = 2; row <= 6; row += 2) m.SetRowsHidden(row, row, true);
       },
       "A1:A6", "$A$1 $A$3 $A$5", 45, 48, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Model model;
    model.AddWorkbook();
    c.arrange(model);
    const Object range = model.Application().GetObject("Range", {std::string(c.range)});
    EXPECT_EQ(VisibleOf(range), c.visible);
    EXPECT_EQ(excel::ToDouble(range.Get("Height")), c.height);
    EXPECT_EQ(excel::ToDouble(range.Get("Width")), c.width);
    EXPECT_EQ(range.Get("MergeCells"), c.merged);
    EXPECT_EQ(excel::ToLong(range.GetObject("Rows").Get("Count")),
              excel::ToLong(range.Get("Count")) / excel::ToLong(range.GetObject("Columns").Get("Count")));
  }
}

TEST(StandinVisibleCells, OnlyVisibleCellsAreKnownAndAreasCountFromOne) {
  Model model;
  model.AddWorkbook();
  const Object range = model.Application().GetObject("Range", {std::string("A1:A3")});
  EXPECT_EQ(FailureNumber([&] { range.GetObject("SpecialCells", {std::int32_t{2}}); }), 1004);
  const Object areas = range.GetObject("Areas");
  EXPECT_EQ(excel::ToLong(areas.Get("Count")), 1);
  EXPECT_EQ(FailureNumber([&] { areas.GetObject("Item", {std::int32_t{2}}); }), 1004);
  EXPECT_EQ(excel::ToLong(areas.GetObject("Item", {std::int32_t{1}}).GetObject("Rows").Get("Count")), 3);
}

}  // namespace
}  // namespace quarnel::standin
