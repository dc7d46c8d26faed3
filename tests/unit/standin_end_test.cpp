#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <tuple>
#include <utility>
#include <vector>

#include "standin/model/end_move.hpp"
#include "standin/model/model.hpp"

namespace quarnel::standin {

void PrintTo(HiddenCells hidden, std::ostream* out) {
  *out << (hidden == HiddenCells::Skipped ? "hidden passed over" : "hidden seen");
}

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

// With no hidden rows or columns, both kinds of End move alike.
class EndMoveTest : public ::testing::TestWithParam<std::tuple<Move, HiddenCells>> {};

TEST_P(EndMoveTest, ReachesTheEdgeOfTheData) {
  const Move& move = std::get<0>(GetParam());
  Model model;
  model.SetEndSeesHidden(std::get<1>(GetParam()) == HiddenCells::Seen);
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

constexpr std::int32_t kLastRow = kMaxRows;
constexpr std::int32_t kLastColumn = kMaxColumns;

INSTANTIATE_TEST_SUITE_P(
    Moves, EndMoveTest,
    ::testing::Combine(
        ::testing::Values(
            Move{"up from empty to nearest filled", {1, 2, 3, 4, 5}, 65536, Direction::Up, 5},
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
                 kLastColumn}),
        ::testing::Values(HiddenCells::Skipped, HiddenCells::Seen)));

// Hidden rows for moves along a column, hidden columns for moves along a row. One End moves as if
// they were not there, as Excel's is reported to in filtered lists; the other stops on them.
struct HiddenMove {
  const char* what;
  std::vector<std::int32_t> filled;
  std::pair<std::int32_t, std::int32_t> hidden;
  std::int32_t from;
  Direction direction;
  std::int32_t skipped;
  std::int32_t seen;
};

TEST(EndMove, OverHiddenRowsAndColumnsOrOntoThem) {
  const std::vector<HiddenMove> moves = {
      {"up from empty over hidden filled last rows", {1, 2, 3, 4, 5}, {4, 5}, 65536, Direction::Up, 3, 5},
      {"up along a run with a hidden empty row", {1, 2, 4, 5}, {3, 3}, 5, Direction::Up, 1, 4},
      {"up with nothing shown filled stops at the first row shown",
       {1, 2},
       {1, 3},
       65536,
       Direction::Up,
       4,
       2},
      {"up with every row above hidden stays", {}, {1, 9}, 10, Direction::Up, 10, 1},
      {"down to the last row shown",
       {},
       {kMaxRows - 1, kMaxRows},
       1,
       Direction::Down,
       kMaxRows - 2,
       kMaxRows},
      {"left over hidden filled last columns", {1, 2, 3, 4}, {3, 4}, 256, Direction::ToLeft, 2, 4},
      {"right along a run with a hidden empty column", {1, 2, 4}, {3, 3}, 1, Direction::ToRight, 4, 2},
  };
  for (const HiddenMove& move : moves) {
    for (const HiddenCells hidden : {HiddenCells::Skipped, HiddenCells::Seen}) {
      Model model;
      model.AddWorkbook();
      const bool vertical = move.direction == Direction::Up || move.direction == Direction::Down;
      for (std::int32_t at : move.filled) model.SetCell(vertical ? at : 1, vertical ? 1 : at, 1.0);
      if (vertical) {
        model.SetRowsHidden(move.hidden.first, move.hidden.second, true);
      } else {
        model.SetColumnsHidden(move.hidden.first, move.hidden.second, true);
      }
      const CellPosition from = vertical ? CellPosition{move.from, 1} : CellPosition{1, move.from};
      const std::int32_t expected = hidden == HiddenCells::Skipped ? move.skipped : move.seen;
      const CellPosition reached = EndMove(*model.State().ActiveSheet(), from, move.direction, hidden);
      EXPECT_EQ(vertical ? reached.row : reached.column, expected)
          << move.what << (hidden == HiddenCells::Skipped ? ", skipped" : ", seen");
    }
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
