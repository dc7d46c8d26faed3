#include "standin/model/end_move.hpp"

#include <iterator>

namespace quarnel::standin {
namespace {

// Works on any ordered container whose keys are (line, position along the line).
template <typename Keys, typename KeyOf>
std::int32_t MoveAlong(const Keys& keys, KeyOf keyOf, std::int32_t line, std::int32_t from, bool forward,
                       std::int32_t edge) {
  if (from == edge) return from;
  const std::int32_t step = forward ? 1 : -1;
  const auto filled = [&](std::int32_t at) { return keys.find({line, at}) != keys.end(); };

  if (filled(from) && filled(from + step)) {
    std::int32_t at = from + step;
    while (at != edge && filled(at + step)) at += step;
    return at;
  }
  // Empty start, or a filled one facing a gap: the next filled cell beyond, else the edge.
  if (forward) {
    auto it = keys.upper_bound({line, from});
    if (it != keys.end() && keyOf(*it).first == line) return keyOf(*it).second;
  } else {
    auto it = keys.lower_bound({line, from});
    if (it != keys.begin() && keyOf(*std::prev(it)).first == line) return keyOf(*std::prev(it)).second;
  }
  return edge;
}

}  // namespace

CellPosition EndMove(const SheetState& sheet, CellPosition from, Direction direction) {
  const auto cellKey = [](const auto& entry) -> const SheetState::Key& { return entry.first; };
  const auto plainKey = [](const SheetState::Key& key) -> const SheetState::Key& { return key; };
  switch (direction) {
    case Direction::Up:
      from.row = MoveAlong(sheet.filledByColumn, plainKey, from.column, from.row, false, 1);
      break;
    case Direction::Down:
      from.row = MoveAlong(sheet.filledByColumn, plainKey, from.column, from.row, true, kMaxRows);
      break;
    case Direction::ToLeft:
      from.column = MoveAlong(sheet.cells, cellKey, from.row, from.column, false, 1);
      break;
    case Direction::ToRight:
      from.column = MoveAlong(sheet.cells, cellKey, from.row, from.column, true, kMaxColumns);
      break;
  }
  return from;
}

}  // namespace quarnel::standin
