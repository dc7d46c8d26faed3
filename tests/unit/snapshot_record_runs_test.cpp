#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/text.hpp"
#include "excel/addresses.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/last_used.hpp"
#include "snapshot/lines.hpp"
#include "support/attached_excel.hpp"

namespace quarnel::test_support {
namespace {

class RecordByRunsTest : public PlanInFrontTest {
 protected:
  // A fresh Excel with Plan.xlsx, used to `rows` and `columns`, `runs` random runs of up to `longest`
  // hidden in both, so many rows and columns from 1 on hidden, the last of each hidden.
  void Build(std::int32_t rows, std::int32_t columns, int runs, std::int32_t longest, std::int32_t fromOne,
             std::uint32_t seed) {
    Restart();
    model.SetCell(rows, 1, std::string("x"));
    model.SetCell(1, columns, std::string("x"));
    std::mt19937 rng(seed);
    const auto at = [&](std::int32_t high) {
      return std::uniform_int_distribution<std::int32_t>(1, high)(rng);
    };
    for (int i = 0; i < runs; ++i) {
      const std::int32_t row = at(rows), column = at(columns);
      model.SetRowsHidden(row, std::min(rows, row + at(longest) - 1), true);
      model.SetColumnsHidden(column, std::min(columns, column + at(longest) - 1), true);
    }
    if (fromOne > 0) model.SetRowsHidden(1, fromOne, true);
    if (fromOne > 0) model.SetColumnsHidden(1, fromOne, true);
    model.SetRowsHidden(rows, rows, seed % 2 == 0);
    model.SetColumnsHidden(columns, columns, seed % 2 == 0);
  }

  // The file as reading each row's and each column's Hidden writes it.
  std::string OneByOne() {
    const excel::Object sheet = model.Application().GetObject("ActiveSheet");
    snapshot::LastUsed lastUsed(model.Application(), sheet);
    std::string file;
    for (std::int32_t row = 1, rows = lastUsed.Row(); row <= rows; ++row) {
      const auto entire = sheet.GetObject("Rows", {RowAddress(row)}).GetObject("EntireRow");
      file += snapshot::RowRecord(row, excel::ToBool(entire.Get("Hidden")));
    }
    for (std::int32_t column = 1, columns = lastUsed.Column(); column <= columns; ++column) {
      const auto entire = sheet.GetObject("Columns", {column}).GetObject("EntireColumn");
      file += snapshot::ColumnRecord(column, excel::ToBool(entire.Get("Hidden")));
    }
    return file;
  }

  // Calls of the record by runs, then of the one-by-one way, whose files must be the same.
  std::pair<std::uint64_t, std::uint64_t> RecordBothWays() {
    model.ResetCounters();
    snapshot::RecordSnapshot(host);
    const std::uint64_t byRuns = model.TotalCalls();
    const std::string written = desktop.files.files.at(kSnapshotPath);
    model.ResetCounters();
    const std::string expected = OneByOne();
    // Only the first difference: a whole file's diff would not fit in memory.
    const auto differ =
        static_cast<std::size_t>(std::ranges::mismatch(written, expected).in1 - written.begin());
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_EQ(written.substr(differ, 40), expected.substr(differ, 40)) << "from byte " << differ;
    return {byRuns, model.TotalCalls()};
  }
};

TEST_F(RecordByRunsTest, WritesTheSameFileAsReadingEachRowAndColumn) {
  struct Shape {
    const char* what;
    std::int32_t rows, columns;
    int runs;
    std::int32_t longest, fromOne;
    std::function<void(standin::Model&)> more;
  };
  const auto none = [](standin::Model&) {};
  const std::vector<Shape> shapes = {
      {"one row and column", 1, 1, 0, 1, 0, none},
      {"two rows and columns", 2, 2, 1, 1, 0, none},
      {"just long enough to ask by runs", 17, 17, 3, 3, 0, none},
      {"short runs, the first hidden", 300, 40, 20, 5, 1, none},
      {"long runs, the first two hidden", 300, 256, 40, 30, 2, none},
      {"no shown line to ask along", 500, 100, 10, 10, 8, none},
      {"merged blocks over hidden lines", 400, 60, 10, 4, 0,
       [](standin::Model& m) {
         m.Merge(20, 1, 24, 2);
         m.SetRowsHidden(22, 22, true);
         m.Merge(1, 5, 1, 9);
         m.SetColumnsHidden(7, 7, true);
       }},
      {"a filter's hidden rows", 400, 256, 5, 20, 0,
       [](standin::Model& m) {
         for (std::int32_t row = 50; row <= 350; row += 2) m.SetRowsHidden(row, row, true);
       }},
      {"a last stretch of one row", 2 * 16382 + 1, 30, 1000, 40, 0, none},
      {"a stretch hidden through", 65536, 256, 20, 2000, 2,
       [](standin::Model& m) { m.SetRowsHidden(16000, 33000, true); }},
      // 8,191 areas in the first stretch, as many as Excel up to 2007 answers.
      {"every other row", 65536, 256, 0, 1, 0,
       [](standin::Model& m) {
         for (std::int32_t row = 1; row <= 40000; row += 2) m.SetRowsHidden(row, row, true);
       }},
  };
  for (const std::int32_t limit : {0, 8192}) {
    for (const Shape& shape : shapes) {
      for (std::uint32_t seed = 0; seed < (shape.rows > 20000 ? 1u : 4u); ++seed) {
        SCOPED_TRACE(std::string(shape.what) + ", seed " + std::to_string(seed) + ", limit " +
                     std::to_string(limit));
        Build(shape.rows, shape.columns, shape.runs, shape.longest, shape.fromOne, seed);
        shape.more(model);
        model.SetAreasLimit(limit);
        const auto [byRuns, oneByOne] = RecordBothWays();
        if (shape.rows >= 300 && shape.fromOne < 8) {
          EXPECT_LT(byRuns, oneByOne) << "runs ask less";
        }
      }
    }
  }
}

// Calls into Excel for a record of 10,000 filled rows and 256 columns with that many hidden runs.
TEST_F(RecordByRunsTest, CallsForTenThousandRows) {
  for (const auto& [runs, fraction] : {std::pair{100, 30u}, std::pair{1000, 4u}}) {
    std::mt19937 rng(7);
    Build(10000, 256, 0, 1, 0, 1);
    const std::int32_t stride = 10000 / runs;
    for (std::int32_t first = 2; first < 10000; first += stride) {
      model.SetRowsHidden(first, first + std::uniform_int_distribution<std::int32_t>(0, stride / 2 - 1)(rng),
                          true);
    }
    const auto [byRuns, oneByOne] = RecordBothWays();
    std::cout << "record of 10,000 rows with " << runs << " hidden runs: " << byRuns << " calls by runs, "
              << oneByOne << " one by one\n";
    EXPECT_LE(byRuns * fraction, oneByOne);
  }
}

}  // namespace
}  // namespace quarnel::test_support
