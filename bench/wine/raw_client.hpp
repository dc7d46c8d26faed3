#pragma once

// The limit the tool is measured against: the record and restore loops written straight on
// IDispatch, each member's DISPID looked up once, with none of the tool's code in between.

#include <filesystem>

#include "bench/wine/figures.hpp"

namespace quarnel::bench {

// Writes the lines of the active sheet's rows and columns to `path`, as the record command does.
LoopTiming RawRecord(IDispatch* application, const std::filesystem::path& path);

// Applies the lines of `path` to the active sheet with drawing paused, as the restore command does.
LoopTiming RawRestore(IDispatch* application, const std::filesystem::path& path);

}  // namespace quarnel::bench
