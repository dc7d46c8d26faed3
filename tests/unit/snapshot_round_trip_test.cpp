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

class RoundTripTest : public PlanInFrontTest {
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
    // What the restore must bring back; past the recorded area, the state it finds.
    Numbers expectedRows = HiddenRows(lastRow);
    Numbers expectedColumns = HiddenColumns(lastColumn);

    snapshot::RecordSnapshot(host);
    ASSERT_EQ(desktop.files.files.size(), 1u);
    const auto& [path, content] = *desktop.files.files.begin();
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), lastRow + lastColumn);

    Shuffle(rows, columns, 50);
    for (const auto row : HiddenRows(rows)) {
      if (row > lastRow) expectedRows.push_back(row);
    }
    for (const auto column : HiddenColumns(columns)) {
      if (column > lastColumn) expectedColumns.push_back(column);
    }

    desktop.dialog.answers.push_back(path);
    snapshot::RestoreSnapshot(host);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "处理完毕!");
    EXPECT_EQ(HiddenRows(rows), expectedRows);
    EXPECT_EQ(HiddenColumns(columns), expectedColumns);
  }
}

}  // namespace
}  // namespace quarnel::test_support
