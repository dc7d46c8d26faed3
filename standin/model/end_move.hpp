#pragma once

// Excel's Ctrl+arrow: the move to the edge of the data.

#include <cstdint>

#include "standin/model/state.hpp"

namespace quarnel::standin {

enum class Direction : std::int32_t { Up = -4162, Down = -4121, ToLeft = -4159, ToRight = -4161 };

struct CellPosition {
  std::int32_t row = 1;
  std::int32_t column = 1;
  friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

// Which Excel's End is taken to be: one that moves as if hidden rows (or columns, for a move along a
// row) were not there, stopping at the last one shown, or one that stops on them as on any other.
enum class HiddenCells { Skipped, Seen };

CellPosition EndMove(const SheetState& sheet, CellPosition from, Direction direction, HiddenCells hidden);

}  // namespace quarnel::standin
