#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "standin/model/end_move.hpp"
#include "standin/model/model.hpp"
#include "support/failure_number.hpp"

namespace quarnel::standin {
namespace {

using excel::Object;

// One line of cells (column 1 for vertical moves, row 1 for horizontal ones), a start and a move.
struct Move {
  const char* what;
  std::vector<std::int32_t> filled;
  std::int32_t from;
  Direction direction;
  std::int32_t expected;
};

void PrintTo(const Move& move, std::ostream* out) { *out << move.what; }

class EndMoveTest : public ::testing::TestWithParam<Move> {};

TEST_P(EndMoveTest, ReachesTheEdgeOfTheData) {
  const Move& move = GetParam();
  // With nothing hidden, both kinds of End move alike.
  for (const bool seesHidden : {false, true}) {
    Model model;
    model.SetEndSeesHidden(seesHidden);
    model.AddWorkbook();
    const bool vertical = move.direction == Direction::Up || move.direction == Direction::Down;
    for (std::int32_t at : move.filled) model.SetCell(vertical ? at : 1, vertical ? 1 : at, 1.0);

    // The caller's way: 32-bit row, 16-bit column and direction, member names in lower case.
    const Object sheet = model.Application().GetObject("ActiveSheet");
    const Object cell = vertical ? sheet.GetObject("cells", {move.from, std::int16_t{1}})
                                 : sheet.GetObject("cells", {std::int32_t{1}, move.from});
    const Object reached = cell.GetObject("end", {static_cast<std::int16_t>(move.direction)});
    EXPECT_EQ(excel::ToLong(reached.Get(vertical ? "Row" : "Column")), move.expected) << move.what;
    EXPECT_EQ(excel::ToLong(reached.Get(vertical ? "Column" : "Row")), 1) << move.what;
  }
}

constexpr std::int32_t kLastRow = kMaxRows;
constexpr std::int32_t kLastColumn = kMaxColumns;

using enum Direction;
const Move kMoves[] = {
    {"up from empty to nearest filled", {1, 2, 3, 4, 5}, 65536, Up, 5},
    {"up from empty skips a gap", {2, 9}, 65536, Up, 9},
    {"up from empty over empty column", {}, 65536, Up, 1},
    {"up from empty just below a run stops at its end", {2, 3, 4}, 5, Up, 4},
    {"up along a filled run", {10, 11, 12, 20, 21, 22}, 22, Up, 20},
    {"up along a run that reaches row 1", {1, 2, 3}, 3, Up, 1},
    {"up from filled facing a gap", {3, 10}, 10, Up, 3},
    {"up from filled with nothing above", {10}, 10, Up, 1},
    {"up from row 1 stays", {1, 2}, 1, Up, 1},
    {"up from filled A65536", {65534, 65535, 65536}, 65536, Up, 65534},
    {"down from empty to nearest filled", {7, 8}, 2, Down, 7},
    {"down from empty just above a run", {7, 8}, 6, Down, 7},
    {"down from empty to the last row", {1}, 2, Down, kLastRow},
    {"down along a run", {5, 6, 7, 9}, 5, Down, 7},
    {"down from filled facing a gap", {5, 9}, 5, Down, 9},
    {"down along a run that reaches the edge", {kLastRow - 1, kLastRow}, kLastRow - 1, Down, kLastRow},
    {"down from the last row stays", {}, kLastRow, Down, kLastRow},
    {"left from empty IV1 to nearest filled", {1, 2, 3, 4}, 256, ToLeft, 4},
    {"left over empty row", {}, 256, ToLeft, 1},
    {"left along a run", {2, 3, 4}, 4, ToLeft, 2},
    {"left from filled facing a gap", {1, 6}, 6, ToLeft, 1},
    {"left from column 1 stays", {}, 1, ToLeft, 1},
    {"right from empty to nearest filled", {300}, 256, ToRight, 300},
    {"right over empty row", {}, 1, ToRight, kLastColumn},
    {"right along a run", {1, 2, 3}, 1, ToRight, 3},
    {"right from filled facing a gap", {1, 3}, 1, ToRight, 3},
    {"right from the last column stays", {kLastColumn}, kLastColumn, ToRight, kLastColumn}};

INSTANTIATE_TEST_SUITE_P(Moves, EndMoveTest, ::testing::ValuesIn(kMoves));

// Column A with rows hidden, or row 1 with columns hidden. Passed over, as Excel's End is reported
// to do in filtered lists, a move stops at the last one shown; seen, it stops on them.
TEST(EndMove, OverHiddenRowsAndColumnsOrOntoThem) {
  struct HiddenMove {
    std::vector<std::int32_t> filled;
    std::int32_t firstHidden, lastHidden, from;
    Direction direction;
    std::int32_t passedOver, seen;
  };
  for (const HiddenMove& m : std::vector<HiddenMove>{{{1, 2, 3, 4, 5}, 4, 5, 65536, Up, 3, 5},
                                                     {{1, 2, 4, 5}, 3, 3, 5, Up, 1, 4},
                                                     {{1, 2}, 1, 3, 65536, Up, 4, 2},
                                                     {{1, 2, 3, 4}, 3, 4, 256, ToLeft, 2, 4}}) {
    Model model;
    model.AddWorkbook();
    const bool vertical = m.direction == Up;
    for (std::int32_t at : m.filled) model.SetCell(vertical ? at : 1, vertical ? 1 : at, 1.0);
    if (vertical) model.SetRowsHidden(m.firstHidden, m.lastHidden, true);
    if (!vertical) model.SetColumnsHidden(m.firstHidden, m.lastHidden, true);
    const CellPosition from = vertical ? CellPosition{m.from, 1} : CellPosition{1, m.from};
    const SheetState& sheet = *model.State().ActiveSheet();
    EXPECT_EQ(EndMove(sheet, from, m.direction, HiddenCells::Skipped),
              (vertical ? CellPosition{m.passedOver, 1} : CellPosition{1, m.passedOver}));
    EXPECT_EQ(EndMove(sheet, from, m.direction, HiddenCells::Seen),
              (vertical ? CellPosition{m.seen, 1} : CellPosition{1, m.seen}));
  }
}

TEST(EndMove, LooksAtContentOnlyNotAtHiddenRowsOrOtherColumns) {
  Model model;
  model.AddWorkbook();
  for (std::int32_t row = 1; row <= 5; ++row) model.SetCell(row, 1, "x");
  model.SetCell(40, 2, "other column");
  model.SetRowsHidden(2, 4, true);
  model.SetCell(5, 1, "");  // empty text empties the cell
  const SheetState& sheet = *model.State().ActiveSheet();
  EXPECT_EQ(EndMove(sheet, {65536, 1}, Up, HiddenCells::Seen), (CellPosition{4, 1}));
  EXPECT_EQ(EndMove(sheet, {1, 1}, Direction::Down, HiddenCells::Seen), (CellPosition{4, 1}));
}

TEST(EndMove, StartsFromTheFirstCellOfABlockAndRefusesOtherDirections) {
  Model model;
  model.AddWorkbook();
  model.SetCell(2, 3, 1.0);
  const Object block = model.Application().GetObject("Range", {std::string("C9:E12")});
  EXPECT_EQ(excel::ToLong(block.GetObject("End", {std::int32_t{-4162}}).Get("Row")), 2);
  EXPECT_EQ(test_support::FailureNumber([&] { block.Get("end", {std::int16_t{1}}); }), 1004)
      << "a direction that is none of the four must fail";
}

}  // namespace
}  // namespace quarnel::standin
