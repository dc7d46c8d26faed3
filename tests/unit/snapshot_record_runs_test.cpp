#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "common/text.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/last_used.hpp"
#include "snapshot/lines.hpp"
#include "snapshot_fixture.hpp"

namespace quarnel::test_support {
namespace {

using snapshot::RecordSnapshot;

// A sheet to record: used rows and columns, and how its rows and columns are hidden and merged.
struct Shape {
  const char* what;
  std::int32_t rows, columns;
  int runs, longest;                    // random hidden runs of 1 to `longest`, in rows and in columns
  bool first, last;                     // the first and the last used row and column hidden
  std::int32_t probesHidden;            // columns (and rows) from 1 on hidden, where runs are asked along
  bool merged;                          // merged blocks in column A and row 1, over hidden lines
  std::int32_t filterFrom, filterTo;    // every other row hidden between them, as a filter leaves it
  std::int32_t throughFrom, throughTo;  // every row hidden between them
};

class RecordByRunsTest : public SnapshotCommandTest {
 protected:
  // A fresh sheet in front, shaped as `shape` says with `rng`'s choices.
  void Build(const Shape& shape, std::mt19937& rng) {
    model.AddSheet();
    desktop.files = {};
    model.SetCell(shape.rows, 1, std::string("x"));
    model.SetCell(1, shape.columns, std::string("x"));
    HideRuns(shape, rng, shape.rows, [&](auto a, auto b) { model.SetRowsHidden(a, b, true); });
    HideRuns(shape, rng, shape.columns, [&](auto a, auto b) { model.SetColumnsHidden(a, b, true); });
    if (shape.probesHidden > 0) {
      model.SetColumnsHidden(1, shape.probesHidden, true);
      model.SetRowsHidden(1, shape.probesHidden, true);
    }
    for (std::int32_t row = shape.filterFrom; row > 0 && row <= shape.filterTo; row += 2) {
      model.SetRowsHidden(row, row, true);
    }
    if (shape.throughFrom > 0) model.SetRowsHidden(shape.throughFrom, shape.throughTo, true);
    if (shape.merged && shape.rows > 20) {
      const std::int32_t top = std::uniform_int_distribution<std::int32_t>(2, shape.rows - 10)(rng);
      model.Merge(top, 1, top + 4, 2);
      model.SetRowsHidden(top + 2, top + 2, true);
    }
    if (shape.merged && shape.columns > 20) {
      model.Merge(1, 5, 1, 9);
      model.SetColumnsHidden(7, 7, true);
    }
  }

  template <typename Hide>
  static void HideRuns(const Shape& shape, std::mt19937& rng, std::int32_t used, Hide hide) {
    auto at = [&](std::int32_t low, std::int32_t high) {
      return std::uniform_int_distribution<std::int32_t>(low, high)(rng);
    };
    for (int i = 0; i < shape.runs && used > 1; ++i) {
      const std::int32_t first = at(1, used);
      hide(first, std::min(used, first + at(0, shape.longest - 1)));
    }
    if (shape.first) hide(1, 1);
    if (shape.last) hide(used, used);
  }

  // The file as reading each row's and each column's Hidden, one by one, writes it.
  std::string OneByOne() {
    const excel::Object sheet = model.Application().GetObject("ActiveSheet");
    snapshot::LastUsed lastUsed(model.Application(), sheet);
    std::string file;
    const std::int32_t rows = lastUsed.Row();
    for (std::int32_t row = 1; row <= rows; ++row) {
      const auto entire = sheet.GetObject("Rows", {RowAddress(row)}).GetObject("EntireRow");
      file += snapshot::RowRecord(row, excel::ToBool(entire.Get("Hidden")));
    }
    const std::int32_t columns = lastUsed.Column();
    for (std::int32_t column = 1; column <= columns; ++column) {
      const auto entire = sheet.GetObject("Columns", {column}).GetObject("EntireColumn");
      file += snapshot::ColumnRecord(column, excel::ToBool(entire.Get("Hidden")));
    }
    return file;
  }

  // Calls of the record by runs, then of the one-by-one way; the two files must be the same.
  std::pair<std::uint64_t, std::uint64_t> RecordBothWays() {
    model.ResetCounters();
    RecordSnapshot(host);
    const std::uint64_t byRuns = model.TotalCalls();
    const std::string written = desktop.files.files.at(kSnapshotPath);
    model.ResetCounters();
    const std::string expected = OneByOne();
    // Only the first difference: a whole file's diff would not fit in memory.
    const auto differ = std::ranges::mismatch(written, expected).in1 - written.begin();
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_EQ(written.substr(static_cast<std::size_t>(differ), 40),
              expected.substr(static_cast<std::size_t>(differ), 40))
        << "from byte " << differ;
    return {byRuns, model.TotalCalls()};
  }
};

TEST_F(RecordByRunsTest, WritesTheSameFileAsReadingEachRowAndColumn) {
  const std::vector<Shape> shapes = {
      {"one row, one column", 1, 1, 0, 1, false, false, 0, false, 0, 0, 0, 0},
      {"one row and column, hidden", 1, 1, 0, 1, true, true, 0, false, 0, 0, 0, 0},
      {"two rows and columns", 2, 2, 1, 1, false, true, 0, false, 0, 0, 0, 0},
      {"just long enough to ask by runs", 17, 17, 3, 3, true, true, 0, false, 0, 0, 0, 0},
      {"short runs, ends hidden", 300, 40, 20, 5, true, true, 0, false, 0, 0, 0, 0},
      {"long runs, probe hidden", 300, 256, 40, 30, false, true, 1, false, 0, 0, 0, 0},
      {"no shown line to ask along", 500, 100, 10, 10, false, false, 8, false, 0, 0, 0, 0},
      {"merged blocks over hidden lines", 400, 60, 10, 4, false, false, 0, true, 0, 0, 0, 0},
      {"a filter's hidden rows", 400, 256, 5, 20, true, false, 0, false, 50, 350, 0, 0},
      {"a last stretch of one row", 2 * 16382 + 1, 30, 1000, 40, false, true, 0, false, 0, 0, 0, 0},
      {"a stretch hidden through", 65536, 256, 20, 2000, true, true, 2, false, 0, 0, 16000, 33000},
      {"8,191 areas a stretch", 65536, 256, 0, 1, false, true, 0, false, 1, 40000, 0, 0},
  };
  for (const std::int32_t limit : {0, 8192}) {
    for (const Shape& shape : shapes) {
      const int seeds = shape.rows > 20000 ? 1 : 4;
      for (int seed = 0; seed < seeds; ++seed) {
        SCOPED_TRACE(std::string(shape.what) + ", seed " + std::to_string(seed) + ", limit " +
                     std::to_string(limit));
        std::mt19937 rng(static_cast<std::uint32_t>(seed));
        Build(shape, rng);
        model.SetAreasLimit(limit);
        const auto [byRuns, oneByOne] = RecordBothWays();
        if (shape.rows >= 300 && shape.probesHidden < 8 && !shape.merged) {
          EXPECT_LT(byRuns, oneByOne) << "runs ask less where they can be trusted";
        }
      }
    }
  }
}

// Calls into Excel for a record of 10,000 filled rows and 256 columns with that many hidden runs.
TEST_F(RecordByRunsTest, CallsForTenThousandRows) {
  struct Case {
    int runs;
    std::uint64_t fraction;  // at most this share of the one-by-one calls
  };
  for (const Case c : {Case{100, 30}, Case{1000, 4}}) {
    std::mt19937 rng(7);
    model.AddSheet();
    desktop.files = {};
    model.SetCell(10000, 1, std::string("x"));
    model.SetCell(1, 256, std::string("x"));
    // Runs of random length, apart from one another.
    const std::int32_t stride = 10000 / c.runs;
    for (int i = 0; i < c.runs; ++i) {
      const std::int32_t first = i * stride + 2;
      const std::int32_t length = std::uniform_int_distribution<std::int32_t>(1, stride / 2)(rng);
      model.SetRowsHidden(first, first + length - 1, true);
    }
    const auto [byRuns, oneByOne] = RecordBothWays();
    std::cout << "record of 10,000 rows with " << c.runs << " hidden runs: " << byRuns << " calls by runs, "
              << oneByOne << " one by one\n";
    EXPECT_LE(byRuns * c.fraction, oneByOne);
  }
}

}  // namespace
}  // namespace quarnel::test_support
