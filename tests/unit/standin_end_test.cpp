#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "standin/model/end_move.hpp"
#include "standin/model/model.hpp"

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

INSTANTIATE_TEST_SUITE_P(
    Moves, EndMoveTest,
    ::testing::Values(Move{"up from empty to nearest filled", {1, 2, 3, 4, 5}, 65536, Direction::Up, 5},
                      Move{"up from empty skips a gap", {2, 9}, 65536, Direction::Up, 9},
                      Move{"up from empty over empty column", {}, 65536, Direction::Up, 1},
                      Move{"up from empty just below a run stops at its end", {2, 3, 4}, 5, Direction::Up, 4},
                      Move{"up along a filled run", {10, 11, 12, 20, 21, 22}, 22, Direction::Up, 20},
                      Move{"up along a run that reaches row 1", {1, 2, 3}, 3, Direction::Up, 1},
                      Move{"up from filled facing a gap", {3, 10}, 10, Direction::Up, 3},
                      Move{"up from filled with nothing above", {10}, 10, Direction::Up, 1},
                      Move{"up from row 1 stays", {1, 2}, 1, Direction::Up, 1},
                      Move{"up from filled A65536", {65534, 65535, 65536}, 65536, Direction::Up, 65534},
                      Move{"down from empty to nearest filled", {7, 8}, 2, Direction::Down, 7},
                      Move{"down from empty just above a run", {7, 8}, 6, Direction::Down, 7},
                      Move{"down from empty to the last row", {1}, 2, Direction::Down, kLastRow},
                      Move{"down along a run", {5, 6, 7, 9}, 5, Direction::Down, 7},
                      Move{"down from filled facing a gap", {5, 9}, 5, Direction::Down, 9},
                      Move{"down along a run that reaches the edge",
                           {kLastRow - 1, kLastRow},
                           kLastRow - 1,
                           Direction::Down,
                           kLastRow},
                      Move{"down from the last row stays", {}, kLastRow, Direction::Down, kLastRow},
                      Move{"left from empty IV1 to nearest filled", {1, 2, 3, 4}, 256, Direction::ToLeft, 4},
                      Move{"left over empty row", {}, 256, Direction::ToLeft, 1},
                      Move{"left along a run", {2, 3, 4}, 4, Direction::ToLeft, 2},
                      Move{"left from filled facing a gap", {1, 6}, 6, Direction::ToLeft, 1},
                      Move{"left from column 1 stays", {}, 1, Direction::ToLeft, 1},
                      Move{"right from empty to nearest filled", {300}, 256, Direction::ToRight, 300},
                      Move{"right over empty row", {}, 1, Direction::ToRight, kLastColumn},
                      Move{"right along a run", {1, 2, 3}, 1, Direction::ToRight, 3},
                      Move{"right from filled facing a gap", {1, 3}, 1, Direction::ToRight, 3},
                      Move{"right from the last column stays",
                           {kLastColumn},
                           kLastColumn,
                           Direction::ToRight,
                           kLastColumn}));

// Column A with rows hidden, or row 1 with columns hidden. Passed over, as Excel's End is reported
// to do in filtered lists, a move stops at the last one shown; seen, it stops on them.
TEST(EndMove, OverHiddenRowsAndColumnsOrOntoThem) {
  struct HiddenMove {
    std::vector<std::int32_t> filled;
    std::int32_t firstHidden, lastHidden, from;
    Direction direction;
    std::int32_t passedOver, seen;
  };
  for (const HiddenMove& m : std::vector<HiddenMove>{{{1, 2, 3, 4, 5}, 4, 5, 65536, Direction::Up, 3, 5},
                                                     {{1, 2, 4, 5}, 3, 3, 5, Direction::Up, 1, 4},
                                                     {{1, 2}, 1, 3, 65536, Direction::Up, 4, 2},
                                                     {{1, 2, 3, 4}, 3, 4, 256, Direction::ToLeft, 2, 4}}) {
    Model model;
    model.AddWorkbook();
    const bool vertical = m.direction == Direction::Up;
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
  EXPECT_EQ(EndMove(sheet, {65536, 1}, Direction::Up, HiddenCells::Seen), (CellPosition{4, 1}));
  EXPECT_EQ(EndMove(sheet, {1, 1}, Direction::Down, HiddenCells::Seen), (CellPosition{4, 1}));
}

TEST(EndMove, StartsFromTheFirstCellOfABlockAndRefusesOtherDirections) {
  Model model;
  model.AddWorkbook();
  model.SetCell(2, 3, 1.0);
  const Object block = model.Application().GetObject("Range", {std::string("C9:E12")});
  EXPECT_EQ(excel::ToLong(block.GetObject("End", {std::int32_t{-4162}}).Get("Row")), 2);
  try {
    block.Get("end", {std::int16_t{1}});
    FAIL() << "a direction that is none of the four must fail";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), 1004);
  }
}

}  // namespace
}  // namespace quarnel::standin
