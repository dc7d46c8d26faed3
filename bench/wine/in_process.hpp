#pragma once

// The commands and the raw client against the stand-in's objects inside this process: no round
// trip at all, so what differs between the two is the tool's own cost per line.

#include <cstdint>
#include <filesystem>

#include "bench/wine/figures.hpp"

namespace quarnel::bench {

struct InProcessSides {
  Side tool;
  Side raw;
};

// Both ways, `repeats` times in turn, on new sheets of the bench's size; every result checked.
InProcessSides MeasureInProcess(std::int32_t rows, std::int32_t columns, int repeats,
                                const std::filesystem::path& folder);

}  // namespace quarnel::bench
