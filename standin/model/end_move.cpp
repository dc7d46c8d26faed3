#include "standin/model/end_move.hpp"

#include <iterator>
#include <optional>
#include <utility>

namespace quarnel::standin {
namespace {

// One row or column as a Ctrl+arrow sees it: the positions it can stop on, and which are filled.
template <typename Keys, typename KeyOf>
class Line {
 public:
  Line(const Keys& keys, KeyOf keyOf, std::int32_t line, const IntervalSet* hidden, std::int32_t size)
      : keys_(keys), keyOf_(keyOf), line_(line), hidden_(hidden), size_(size) {}

  bool Filled(std::int32_t at) const { return Shown(at) && keys_.find({line_, at}) != keys_.end(); }

  // The next position it can stop on after `at`, skipping a hidden run in one step.
  std::optional<std::int32_t> Next(std::int32_t at, bool forward) const {
    at += forward ? 1 : -1;
    if (const auto run = HiddenRunAt(at)) at = forward ? run->second + 1 : run->first - 1;
    if (at < 1 || at > size_) return std::nullopt;
    return at;
  }

  // The nearest filled position beyond `from`, hidden ones passed over when they do not count.
  std::optional<std::int32_t> NextFilled(std::int32_t from, bool forward) const {
    if (forward) {
      for (auto it = keys_.upper_bound({line_, from}); it != keys_.end() && keyOf_(*it).first == line_;
           ++it) {
        if (Shown(keyOf_(*it).second)) return keyOf_(*it).second;
      }
    } else {
      for (auto it = keys_.lower_bound({line_, from}); it != keys_.begin();) {
        --it;
        if (keyOf_(*it).first != line_) break;
        if (Shown(keyOf_(*it).second)) return keyOf_(*it).second;
      }
    }
    return std::nullopt;
  }

  // The farthest position it can stop on.
  std::int32_t Edge(bool forward) const {
    const std::int32_t at = forward ? size_ : 1;
    if (const auto run = HiddenRunAt(at)) return forward ? run->first - 1 : run->second + 1;
    return at;
  }

 private:
  // The first and last of the hidden run that holds `at`, when hidden positions do not count.
  std::optional<std::pair<std::int32_t, std::int32_t>> HiddenRunAt(std::int32_t at) const {
    if (hidden_ == nullptr) return std::nullopt;
    const auto& runs = hidden_->Runs();
    const auto after = runs.upper_bound(at);
    if (after == runs.begin() || std::prev(after)->second < at) return std::nullopt;
    return *std::prev(after);
  }
  bool Shown(std::int32_t at) const { return hidden_ == nullptr || !hidden_->Contains(at); }

  const Keys& keys_;
  KeyOf keyOf_;
  std::int32_t line_;
  const IntervalSet* hidden_;  // null: hidden positions count as any other
  std::int32_t size_;
};

template <typename Keys, typename KeyOf>
std::int32_t MoveAlong(const Line<Keys, KeyOf>& line, std::int32_t from, bool forward) {
  const std::optional<std::int32_t> next = line.Next(from, forward);
  if (!next) return from;
  if (line.Filled(from) && line.Filled(*next)) {
    std::int32_t at = *next;
    for (auto further = line.Next(at, forward); further && line.Filled(*further);
         further = line.Next(at, forward)) {
      at = *further;
    }
    return at;
  }
  // Empty start, or a filled one facing a gap: the next filled cell beyond, else the edge.
  if (const auto filled = line.NextFilled(from, forward)) return *filled;
  return line.Edge(forward);
}

}  // namespace

CellPosition EndMove(const SheetState& sheet, CellPosition from, Direction direction, HiddenCells hidden) {
  const auto cellKey = [](const auto& entry) -> const SheetState::Key& { return entry.first; };
  const auto plainKey = [](const SheetState::Key& key) -> const SheetState::Key& { return key; };
  const bool skip = hidden == HiddenCells::Skipped;
  const bool forward = direction == Direction::Down || direction == Direction::ToRight;
  switch (direction) {
    case Direction::Up:
    case Direction::Down:
      from.row = MoveAlong(
          Line(sheet.filledByColumn, plainKey, from.column, skip ? &sheet.hiddenRows : nullptr, kMaxRows),
          from.row, forward);
      break;
    case Direction::ToLeft:
    case Direction::ToRight:
      from.column =
          MoveAlong(Line(sheet.cells, cellKey, from.row, skip ? &sheet.hiddenColumns : nullptr, kMaxColumns),
                    from.column, forward);
      break;
  }
  return from;
}

}  // namespace quarnel::standin
