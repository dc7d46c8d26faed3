#pragma once

#include "excel/attach.hpp"

namespace quarnel::snapshot {

// Writes a new snapshot of which rows and columns of the sheet in front are hidden, into the
// program's folder. Failures reach the caller.
void RecordSnapshot(Host& host);

// Lets the user pick a snapshot and applies it line by line to the sheet in front. Catches and
// shows its own failures.
void RestoreSnapshot(Host& host);

}  // namespace quarnel::snapshot
