#pragma once

// Excel's Ctrl+arrow: the move to the edge of the data, decided by content alone.

#include <cstdint>

#include "standin/model/state.hpp"

namespace quarnel::standin {

enum class Direction : std::int32_t { Up = -4162, Down = -4121, ToLeft = -4159, ToRight = -4161 };

struct CellPosition {
  std::int32_t row = 1;
  std::int32_t column = 1;
  friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

CellPosition EndMove(const SheetState& sheet, CellPosition from, Direction direction);

}  // namespace quarnel::standin
