#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/desktop.hpp"

namespace quarnel::snapshot {

// The snapshots in `folder` written last, at most `most`, the newest first (by the time each was
// last written, then by name). A snapshot is a ".txt" file whose name holds the tag the record
// gives it. Asks nothing of Excel. Failures of the listing reach the caller.
std::vector<FoundFile> RecentSnapshots(FileSystem& files, const std::string& folder, std::size_t most);

}  // namespace quarnel::snapshot
