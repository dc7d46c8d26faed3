#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "snapshot/commands.hpp"
#include "support/attached_excel.hpp"

namespace quarnel::test_support {
namespace {

// Rows and columns a little past the recorded area, to see that those keep their state.
constexpr std::int32_t kMargin = 15;

class RoundTripTest : public SnapshotCommandTest {
 public:
  std::mt19937 random{4242};

  bool Coin(unsigned percent) { return random() % 100 < percent; }
  std::int32_t Upto(std::int32_t most) { return static_cast<std::int32_t>(random() % most) + 1; }

  // Column A down to `lastRow` and row 1 across to `lastColumn` with gaps; other cells anywhere off
  // column A and row 1.
  void FillSheet(std::int32_t lastRow, std::int32_t lastColumn) {
    model.SetCell(lastRow, 1, 1.5);
    model.SetCell(1, lastColumn, std::string("t"));
    for (std::int32_t row = 1; row < lastRow; ++row) {
      if (Coin(40)) model.SetCell(row, 1, std::int32_t{row});
    }
    for (std::int32_t column = 1; column < lastColumn; ++column) {
      if (Coin(40)) model.SetCell(1, column, std::string("h"));
    }
    for (int n = 0; n < 20; ++n)
      model.SetCell(Upto(lastRow + kMargin) + 1, Upto(lastColumn + kMargin) + 1, true);
  }

  void Shuffle(std::int32_t rows, std::int32_t columns, unsigned percent) {
    for (std::int32_t row = 1; row <= rows; ++row) model.SetRowsHidden(row, row, Coin(percent));
    for (std::int32_t column = 1; column <= columns; ++column)
      model.SetColumnsHidden(column, column, Coin(percent));
  }

  std::vector<bool> Rows(std::int32_t last) const {
    std::vector<bool> flags;
    for (std::int32_t row = 1; row <= last; ++row) flags.push_back(model.IsRowHidden(row));
    return flags;
  }
  std::vector<bool> Columns(std::int32_t last) const {
    std::vector<bool> flags;
    for (std::int32_t column = 1; column <= last; ++column) flags.push_back(model.IsColumnHidden(column));
    return flags;
  }
};

TEST_F(RoundTripTest, RestoreBringsBackWhatWasRecordedAndOnlyThat) {
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Restart();
    // Every fifth sheet leaves column A or row 1 empty, which still records row 1 or column 1.
    const std::int32_t lastRow = round % 5 == 1 ? 1 : Upto(200);
    const std::int32_t lastColumn = round % 5 == 2 ? 1 : Upto(40);
    if (round % 5 == 1) {
      model.SetCell(1, lastColumn, std::string("t"));
    } else if (round % 5 == 2) {
      model.SetCell(lastRow, 1, std::string("t"));
    } else {
      FillSheet(lastRow, lastColumn);
    }
    const std::int32_t rows = lastRow + kMargin;
    const std::int32_t columns = lastColumn + kMargin;
    Shuffle(rows, columns, 30);
    const auto recordedRows = Rows(lastRow);
    const auto recordedColumns = Columns(lastColumn);

    snapshot::RecordSnapshot(host);
    ASSERT_EQ(desktop.files.files.size(), 1u);
    const auto& [path, content] = *desktop.files.files.begin();
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), lastRow + lastColumn);

    Shuffle(rows, columns, 50);
    auto expectedRows = Rows(rows);
    auto expectedColumns = Columns(columns);
    std::copy(recordedRows.begin(), recordedRows.end(), expectedRows.begin());
    std::copy(recordedColumns.begin(), recordedColumns.end(), expectedColumns.begin());

    desktop.dialog.answers.push_back(path);
    snapshot::RestoreSnapshot(host);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "处理完毕!");
    EXPECT_EQ(Rows(rows), expectedRows);
    EXPECT_EQ(Columns(columns), expectedColumns);
  }
}

}  // namespace
}  // namespace quarnel::test_support
