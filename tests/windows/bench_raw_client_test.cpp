// The benchmark's raw client is the limit the commands are held to: it must do the same work with
// the same three calls a line, or the ratio it yields means nothing.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/wine/raw_client.hpp"
#include "bench/wine/sheet.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/dispatch.hpp"
#include "standin/server/application_object.hpp"
#include "standin/server/session.hpp"

namespace quarnel::bench {
namespace {

namespace fs = std::filesystem;
using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;

class RawClient : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder);
    SetUpSheet(app, kRows, kColumns);
    session->get_ids_of_names = session->invokes = 0;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  void Write(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
  bool RowHidden(std::int32_t row) const { return server.RowIsHidden(row); }
  bool ColumnHidden(std::int32_t column) const { return server.ColumnIsHidden(column); }

  static constexpr std::int32_t kRows = 200;
  static constexpr std::int32_t kColumns = 40;
  win32::ComInit com;
  std::shared_ptr<standin::server::Session> session = std::make_shared<standin::server::Session>();
  ComPtr<IDispatch> raw = standin::server::MakeApplicationObject(session);
  excel::Object app = win32::WrapDispatch(raw.Get(), win32::BusyRetry{0ms, 0ms});
  Server server{app};
  fs::path folder =
      fs::temp_directory_path() / ("quarnel-raw-client-" + std::to_string(GetCurrentProcessId()));
  fs::path path = folder / L"snapshot.txt";
};

TEST_F(RawClient, RecordWritesEveryLineWithThreeCallsEachAndNamesLookedUpOnce) {
  const LoopTiming timing = RawRecord(raw.Get(), path);

  EXPECT_EQ(timing.lines, kRows + kColumns);
  EXPECT_EQ(CheckRecord(ReadLines(path), kColumns), kRows);  // every line as the tool writes it
  // ActiveSheet, and cells, Value, end and Row (or Column) for each corner.
  EXPECT_EQ(session->invokes, std::uint64_t{1 + 2 * 4 + 3 * (kRows + kColumns)});
  EXPECT_LE(session->get_ids_of_names, 11u);

  // A filled corner is taken as the last row.
  SetUpSheet(app, 65536, 3);
  EXPECT_EQ(RawRecord(raw.Get(), path).lines, 65536 + 3);
}

TEST_F(RawClient, RestoreReadsLinesAsTheToolDoesWithDrawingPausedAndBack) {
  ScrambleSheet(app, kRows, kColumns);
  // Row ranges, any case, a state carried over, a third piece, blanks around a column number.
  Write("3:7/False\r\n5:5/TRUE\r\n8:8/yes\r\n9:9/\r\n10:10/false/x\r\n 4 /False\r\n6/true\r\n");
  session->invokes = 0;

  const LoopTiming timing = RawRestore(raw.Get(), path);

  EXPECT_EQ(timing.lines, 7);
  // ActiveSheet, ScreenUpdating twice, three calls a line.
  EXPECT_EQ(session->invokes, std::uint64_t{3 + 3 * 7});
  for (std::int32_t row : {3, 4, 6, 7, 10}) EXPECT_FALSE(RowHidden(row)) << row;
  for (std::int32_t row : {1, 2, 5, 8, 9, 11}) EXPECT_TRUE(RowHidden(row)) << row;
  EXPECT_FALSE(ColumnHidden(4));
  EXPECT_TRUE(ColumnHidden(6));
  EXPECT_TRUE(excel::ToBool(app.Get("ScreenUpdating")));

  // It stops at a line without a slash.
  Write("5:5/False\r\n6:6\r\n7:7/False\r\n");
  ScrambleSheet(app, kRows, kColumns);
  EXPECT_ANY_THROW(RawRestore(raw.Get(), path));
  EXPECT_FALSE(RowHidden(5));
  EXPECT_TRUE(RowHidden(7));
}

TEST_F(RawClient, RestoreOfItsOwnRecordGivesTheSheetBack) {
  RawRecord(raw.Get(), path);
  ScrambleSheet(app, kRows, kColumns);
  EXPECT_EQ(RawRestore(raw.Get(), path).lines, kRows + kColumns);
  CheckRestored(server, kRows, kColumns);
}

}  // namespace
}  // namespace quarnel::bench
