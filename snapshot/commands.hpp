#pragma once

#include <optional>
#include <string>

#include "excel/attach.hpp"
#include "snapshot/line_applier.hpp"
#include "snapshot/saved_view.hpp"

namespace quarnel::snapshot {

// Writes a new snapshot of which rows and columns of the sheet in front are hidden, into the
// program's folder. Failures reach the caller.
void RecordSnapshot(Host& host);

// The view a restore or ShowAllLines replaced, until it is put back or replaced; in memory only.
using LastView = std::optional<SavedView>;

struct RestoreRequest {
  // The snapshot to restore; without one, the user picks it in `CommonDialog1`.
  std::optional<std::string> path;
  // Given, it gets what the restore replaces (nothing when that cannot be read), once the file's
  // lines are read and before the first is applied.
  LastView* undo = nullptr;
  Lines lines = Lines::InRuns;
};

// Applies a snapshot in file order to the sheet in front, neighbouring lines of the same state in
// one call. Catches and shows its own failures.
void RestoreSnapshot(Host& host, const RestoreRequest& request);
void RestoreSnapshot(Host& host, Lines lines = Lines::InRuns);

// Shows every row and column of the sheet in front up to those a record would write, keeping what
// it replaces in `undo`. Catches and shows its own failures, as a restore does.
void ShowAllLines(Host& host, LastView& undo);

// Puts `undo` back onto the sheet it was read from, then forgets it. With another sheet in front it
// changes nothing and says which sheet the undo belongs to. Catches and shows its own failures.
void UndoLastRestore(Host& host, LastView& undo);

}  // namespace quarnel::snapshot
