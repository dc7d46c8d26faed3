#include "bench/wine/sheet.hpp"

#include <algorithm>
#include <fstream>

#include "common/failure.hpp"
#include "common/text.hpp"
#include "excel/addresses.hpp"

namespace quarnel::bench {
namespace {

bool RowHidden(std::int32_t row) { return row % kRowStep == 0; }
bool ColumnHidden(std::int32_t column) { return column % kColumnStep == 0; }

std::string RowLine(std::int32_t row) {
  return std::to_string(row) + ":" + std::to_string(row) + (RowHidden(row) ? "/True" : "/False");
}
std::string ColumnLine(std::int32_t column) {
  return std::to_string(column) + (ColumnHidden(column) ? "/True" : "/False");
}

}  // namespace

void Fail(const std::string& why) { throw Failure(1, "quarnel_wine_bench: " + why); }

void Server::ResetCounters() const { app_.Call("StandinResetCounters"); }

Server::Counters Server::Read() const {
  return {excel::ToLong(app_.Get("StandinGetIDsOfNamesCount")),
          excel::ToLong(app_.Get("StandinInvokeCount"))};
}

bool Server::RowIsHidden(std::int32_t row) const {
  return excel::ToBool(app_.Call("StandinIsRowHidden", {row}));
}

bool Server::ColumnIsHidden(std::int32_t column) const {
  return excel::ToBool(app_.Call("StandinIsColumnHidden", {column}));
}

void SetUpSheet(const excel::Object& app, std::int32_t rows, std::int32_t columns) {
  app.GetObject("Workbooks").Call("Add");
  const excel::Object sheet = app.GetObject("ActiveSheet");
  sheet.GetObject("Range", {"A1:A" + std::to_string(rows)}).Put("Value", std::int32_t{1});
  sheet.GetObject("Range", {"A1:" + ColumnLetters(columns) + "1"}).Put("Value", std::int32_t{1});
  for (std::int32_t row = kRowStep; row <= rows; row += kRowStep) {
    sheet.GetObject("Rows", {std::to_string(row) + ":" + std::to_string(row)}).Put("Hidden", true);
  }
  for (std::int32_t column = kColumnStep; column <= columns; column += kColumnStep) {
    sheet.GetObject("Columns", {column}).Put("Hidden", true);
  }
}

void ScrambleSheet(const excel::Object& app, std::int32_t rows, std::int32_t columns) {
  const excel::Object sheet = app.GetObject("ActiveSheet");
  sheet.GetObject("Rows", {"1:" + std::to_string(rows)}).Put("Hidden", true);
  sheet.GetObject("Range", {"A1:" + ColumnLetters(columns) + "1"})
      .GetObject("EntireColumn")
      .Put("Hidden", true);
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.back() != '\r') Fail("a snapshot line without CR LF");
    line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::int32_t CheckRecord(const std::vector<std::string>& lines, std::int32_t columns) {
  std::int32_t rows = 0;
  while (rows < static_cast<std::int32_t>(lines.size()) && lines[rows].find(':') != std::string::npos) {
    if (lines[rows] != RowLine(rows + 1)) Fail("recorded " + lines[rows]);
    ++rows;
  }
  const auto recordedColumns = static_cast<std::int32_t>(lines.size()) - rows;
  if (rows == 0 || recordedColumns < 1 || recordedColumns > columns) Fail("the snapshot has the wrong size");
  for (std::int32_t c = 1; c <= recordedColumns; ++c) {
    if (lines[rows + c - 1] != ColumnLine(c)) Fail("recorded " + lines[rows + c - 1]);
  }
  return rows;
}

void CheckRestored(const Server& server, std::int32_t rows, std::int32_t columns) {
  std::vector<std::int32_t> probes;
  for (std::int32_t row = 1; row <= std::min(rows, 200); ++row) probes.push_back(row);
  for (std::int32_t row = kRowStep; row <= rows; row += kRowStep)
    probes.insert(probes.end(), {row - 1, row, std::min(row + 1, rows)});
  probes.push_back(rows);
  for (std::int32_t row : probes) {
    if (server.RowIsHidden(row) != RowHidden(row)) Fail("row " + std::to_string(row) + " not restored");
  }
  for (std::int32_t c = 1; c <= columns; ++c) {
    if (server.ColumnIsHidden(c) != ColumnHidden(c)) Fail("column " + std::to_string(c) + " not restored");
  }
}

}  // namespace quarnel::bench
