#pragma once

// Record and restore of a big sheet with blocks of hidden rows: the commands beside the raw client
// making one call after another for every row and column, as the commands once did.

#include <cstdint>
#include <filesystem>

#include "bench/wine/sheet.hpp"

namespace quarnel::bench {

// Prints, for `rows` filled rows and `columns` columns with `runs` hidden runs of random length:
// calls and time of the record and the restore, the commands' and, with `oneByOne`, the raw
// client's, and their ratios. Fails when the two snapshots differ or a restore misses a row.
void PrintHiddenRuns(const Server& server, std::int32_t rows, std::int32_t columns, std::int32_t runs,
                     bool oneByOne, const std::filesystem::path& folder);

}  // namespace quarnel::bench
