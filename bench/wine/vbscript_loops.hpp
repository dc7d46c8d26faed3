#pragma once

// The peer the tool is measured against: the same record and restore loops in VBScript
// (vbscript/loops.vbs, beside this program), run by cscript against an Excel it starts itself.

#include <cstdint>
#include <filesystem>

#include "bench/wine/raw_client.hpp"

namespace quarnel::bench {

struct VbscriptRun {
  LoopTiming record;
  LoopTiming restore;
};

// The script sets up the bench's sheet itself, records it to `snapshot` and restores it from
// there; its record is checked line by line, its restore by the script against the set-up.
VbscriptRun RunVbscriptLoops(std::int32_t rows, std::int32_t columns, const std::filesystem::path& snapshot);

}  // namespace quarnel::bench
