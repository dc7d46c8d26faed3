#pragma once

#include "excel/attach.hpp"
#include "snapshot/line_applier.hpp"

namespace quarnel::snapshot {

// Writes a new snapshot of which rows and columns of the sheet in front are hidden, into the
// program's folder. Failures reach the caller.
void RecordSnapshot(Host& host);

// Lets the user pick a snapshot and applies it in file order to the sheet in front, neighbouring
// lines of the same state in one call. Catches and shows its own failures.
void RestoreSnapshot(Host& host, Lines lines = Lines::InRuns);

}  // namespace quarnel::snapshot
