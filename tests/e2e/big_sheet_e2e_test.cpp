// A big sheet with many hidden runs, recorded and restored by the real tool beside the stand-in
// server.

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

// Column A filled to row 65,536 with 1,000 hidden runs: the file says of every row and column
// what its Hidden says, line by line as reading each one writes it, and a restore onto the sheet
// with everything shown hides the runs again.
TEST_F(QuarnelE2E, BigSheetWithAThousandHiddenRunsIsRecordedAsEachRowSaysAndRestored) {
  Standin& excel = StartDemo();
  Quarnel& q = StartQuarnel();
  excel.App().GetObject("Rows").GetObject("EntireRow").Put("Hidden", false);
  excel.App().GetObject("Range", {std::string("A1:A65536")}).Put("Value", std::string("x"));
  std::vector<std::pair<std::int32_t, std::int32_t>> runs;
  std::mt19937 rng(26);
  for (std::int32_t first = 2; runs.size() < 1000; first += 65) {
    runs.emplace_back(first, first + std::uniform_int_distribution<std::int32_t>(0, 40)(rng));
    const std::string rows = std::to_string(runs.back().first) + ":" + std::to_string(runs.back().second);
    excel.App().GetObject("Rows", {rows}).Put("Hidden", true);
  }
  std::string expected;
  for (std::int32_t row = 1, run = 0; row <= 65536; ++row) {
    while (run < 1000 && runs[run].second < row) ++run;
    const bool hidden = run < 1000 && runs[run].first <= row;
    expected += std::to_string(row) + ":" + std::to_string(row) + (hidden ? "/True\r\n" : "/False\r\n");
  }

  excel.App().Call("StandinResetCounters");
  // Some 6,000 calls across processes: on a busy machine more than the usual 20 s, as the restore.
  const std::wstring snapshot = RecordOne({}, 120s);
  ASSERT_FALSE(snapshot.empty());
  std::cout << "record of 65,536 rows with 1,000 hidden runs: "
            << excel::ToLong(excel.App().Call("StandinTotalCalls")) << " calls\n";
  const std::string written = q.ReadFile(snapshot);
  ASSERT_GT(written.size(), expected.size());
  EXPECT_TRUE(written.starts_with(expected));
  // Then every column up to the last of row 1, as the demo left them.
  std::string columns;
  for (std::int32_t column = 1; columns.size() < written.size() - expected.size(); ++column)
    columns += std::to_string(column) + (excel.ColumnHidden(column) ? "/True\r\n" : "/False\r\n");
  EXPECT_EQ(written.substr(expected.size()), columns);

  // Onto the sheet with everything shown, the runs come back.
  excel.App().GetObject("Rows").GetObject("EntireRow").Put("Hidden", false);
  ExpectDone(RestoreFrom(Beside(snapshot), 120s));
  for (const auto& [first, last] : runs) {
    EXPECT_FALSE(excel.RowHidden(first - 1)) << first;
    EXPECT_TRUE(excel.RowHidden(first) && excel.RowHidden(last)) << first << ":" << last;
    EXPECT_FALSE(excel.RowHidden(last + 1)) << last;
  }
}

}  // namespace
}  // namespace quarnel::e2e
