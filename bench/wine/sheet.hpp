#pragma once

// The sheet every figure is taken on, set up and checked through automation: column A filled to
// `rows`, row 1 to `columns`, every kRowStep-th row and kColumnStep-th column hidden.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "excel/automation.hpp"

namespace quarnel::bench {

constexpr std::int32_t kRowStep = 97;
constexpr std::int32_t kColumnStep = 16;

[[noreturn]] void Fail(const std::string& why);

// The stand-in's own members: counted apart from, and never among, the calls it counts.
class Server {
 public:
  struct Counters {
    std::int64_t names = 0;
    std::int64_t invokes = 0;
  };

  explicit Server(excel::Object application) : app_(std::move(application)) {}
  const excel::Object& App() const { return app_; }
  void ResetCounters() const;
  Counters Read() const;
  bool RowIsHidden(std::int32_t row) const;
  bool ColumnIsHidden(std::int32_t column) const;

 private:
  excel::Object app_;
};

// A new workbook in front, its sheet as above.
void SetUpSheet(const excel::Object& app, std::int32_t rows, std::int32_t columns);
// Every row and column of the sheet hidden, so that a restore has all to do.
void ScrambleSheet(const excel::Object& app, std::int32_t rows, std::int32_t columns);

// The lines of a snapshot, each checked for its CR LF and given without it.
std::vector<std::string> ReadLines(const std::filesystem::path& path);
// How many rows the lines record, after checking every line against the set-up.
std::int32_t CheckRecord(const std::vector<std::string>& lines, std::int32_t columns);
// Checks a sample of the rows and all the columns against the set-up.
void CheckRestored(const Server& server, std::int32_t rows, std::int32_t columns);

}  // namespace quarnel::bench
