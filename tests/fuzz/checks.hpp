#pragma once

// What must hold for any bytes given to the line reader or to the restore command. Shared by the
// fuzz targets and by the unit test that replays their corpus and the inputs that once failed.
// Each check answers the first broken rule, or nothing.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.hpp"
#include "excel/attach.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/line_reader.hpp"
#include "snapshot/lines.hpp"
#include "standin/model/model.hpp"
#include "support/scripted_desktop.hpp"

namespace quarnel::fuzz {

using Broken = std::optional<std::string>;

// Lines as a file's bytes hold them, by the plainest reading: CR, CR LF or LF end a line; a last
// line needs none.
inline std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

// The text a reader should see in a file's bytes, decoded whole: after a UTF-8 mark the bytes that
// follow it, after a UTF-16 mark the text as UTF-8 with U+FFFD for every unit that is no character
// and for an odd last byte, otherwise the bytes themselves.
inline std::string DecodedText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  const bool little = bytes.starts_with("\xFF\xFE");
  if (!little && !bytes.starts_with("\xFE\xFF")) return std::string(bytes);
  std::vector<char32_t> units;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(little ? char32_t{a} | char32_t{b} << 8 : char32_t{a} << 8 | char32_t{b});
  }
  if (bytes.size() % 2 == 1) units.push_back(0xFFFD);
  std::string text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    const int trailing = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    text += static_cast<char>(kLead[trailing] | (c >> (6 * trailing)));
    for (int k = trailing - 1; k >= 0; --k) text += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
  }
  return text;
}

inline Broken CheckColumnNumber(std::string_view target) {
  const double number = snapshot::ColumnNumber(target);
  if (std::isnan(number)) return "column number NaN for '" + std::string(target) + "'";
  std::string packed;
  for (char c : target) {
    if (c != ' ' && c != '\t' && c != '\n') packed += c;
  }
  const bool hex = packed.size() > 1 && packed[0] == '&' && (packed[1] == 'H' || packed[1] == 'h');
  if (!hex && target.find_first_of("0123456789") == std::string_view::npos && number != 0) {
    return "a number read without digits from '" + std::string(target) + "'";
  }
  // Plain digits read as themselves.
  if (!target.empty() && target.size() <= 15 &&
      target.find_first_not_of("0123456789") == std::string_view::npos &&
      number != std::stod(std::string(target))) {
    return "digits '" + std::string(target) + "' misread";
  }
  return std::nullopt;
}

inline Broken CheckRecord(std::string_view line) {
  const auto slash = line.find('/');
  if (slash == std::string_view::npos) {
    try {
      snapshot::ReadRecord(line);
    } catch (const Failure& failure) {
      if (failure.Number() == errors::kSubscriptOutOfRange) return CheckColumnNumber(line);
      return "a line without '/' fails with " + std::to_string(failure.Number());
    }
    return "a line without '/' was read";
  }
  const snapshot::Record record = snapshot::ReadRecord(line);
  if (record.target != line.substr(0, slash)) return "target is not what stands before the first '/'";
  std::string_view state = line.substr(slash + 1);
  state = state.substr(0, state.find('/'));
  const std::string lower = AsciiLower(state);
  const std::optional<bool> expected = lower == "true"    ? std::optional(true)
                                       : lower == "false" ? std::optional(false)
                                                          : std::nullopt;
  if (record.state != expected) return "state misread in '" + std::string(line) + "'";
  const bool colon = record.target.find(':') != std::string_view::npos;
  if (snapshot::IsRowTarget(record.target) != colon) return "row target decided without regard to ':'";
  return colon ? std::nullopt : CheckColumnNumber(record.target);
}

// The first byte picks the reader's buffer size and the sizes the file reads in, so that line ends
// fall on every boundary; the rest is the file.
inline Broken CheckLines(std::span<const std::uint8_t> data) {
  if (data.empty()) return std::nullopt;
  const std::size_t chunk = data[0] % 16 + 1;
  const std::size_t piece = (data[0] >> 4) + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data.data() + 1), data.size() - 1);
  const std::string text = DecodedText(bytes);
  const auto expected = SplitLines(text);

  standin::ChunkedInput file(std::string(bytes), piece);
  snapshot::LineReader reader(file, chunk);
  std::size_t count = 0;
  for (std::string line; reader.Next(line); ++count) {
    if (count >= expected.size()) return "more lines than the bytes hold";
    if (line != expected[count]) return "line " + std::to_string(count + 1) + " misread";
    if (auto broken = CheckRecord(line)) return broken;
  }
  if (count != expected.size()) return "fewer lines than the bytes hold";
  if (file.largest > chunk) return "the reader asked for more than its buffer";
  std::string line = "x";
  if (reader.Next(line) || !line.empty()) return "a line after the end";
  return std::nullopt;
}

// What a restore leaves: the whole sheet's hidden rows and columns, the boxes, drawing, open files.
struct Restored {
  std::map<std::int32_t, std::int32_t> rows;
  std::map<std::int32_t, std::int32_t> columns;
  std::vector<std::string> boxes;
  bool drawing = false;
  int openFiles = 0;
  std::uint64_t writes = 0;
  std::uint64_t calls = 0;
  // With an undo after the restore: the sheet before the restore, and whether the undo was there.
  std::map<std::int32_t, std::int32_t> rowsBefore;
  std::map<std::int32_t, std::int32_t> columnsBefore;
  bool undone = false;
};

// Restores the bytes as the chosen file through the click, onto a fresh sheet that `setUp` makes;
// with `thenUndo`, keeps what it replaces and puts that back after.
template <typename SetUp>
Restored RestoreOnto(const std::string& bytes, snapshot::Lines lines, SetUp setUp, bool thenUndo = false) {
  constexpr const char* kPath = "C:\\Tools\\Quarnel\\chosen.txt";
  standin::Model model;
  model.AddWorkbook("Plan.xlsx");
  setUp(model);
  test_support::ScriptedDesktop desktop;
  test_support::ScriptedConnector connector;
  connector.running = model.Application();
  connector.windowTitles = {"Microsoft Excel"};
  desktop.files.files[kPath] = bytes;
  desktop.dialog.answers.push_back(kPath);
  Host host{connector, desktop};
  model.ResetCounters();
  Restored restored;
  const auto sheet = model.State().ActiveSheet();
  restored.rowsBefore = sheet->hiddenRows.Runs();
  restored.columnsBefore = sheet->hiddenColumns.Runs();
  snapshot::LastView undo;
  snapshot::RestoreSnapshot(host, {{}, thenUndo ? &undo : nullptr, lines});
  if (undo) {
    snapshot::UndoLastRestore(host, undo);
    restored.undone = !undo;
  }
  restored.rows = sheet->hiddenRows.Runs();
  restored.columns = sheet->hiddenColumns.Runs();
  for (const auto& box : desktop.messages) {
    restored.boxes.push_back(box.text + " | " + box.title + " | " +
                             std::to_string(static_cast<int>(box.icon)));
  }
  restored.drawing = model.ScreenUpdating();
  restored.openFiles = desktop.files.openFiles;
  restored.writes = model.Calls("Hidden");
  restored.calls = model.TotalCalls();
  return restored;
}

inline void SmallSheet(standin::Model& model) {
  for (std::int32_t row = 1; row <= 4; ++row) model.SetCell(row, 1, std::string("x"));
  model.SetRowsHidden(2, 2, true);
  model.SetColumnsHidden(3, 3, true);
}

// Restores the bytes in runs and each line alone, onto copies of a small sheet: the same sheet and
// boxes must come out, and the plain way must apply every line of a file it completes.
inline Broken CheckRestore(std::span<const std::uint8_t> data) {
  const std::string bytes(reinterpret_cast<const char*>(data.data()), data.size());
  const std::string text = DecodedText(bytes);
  const auto lines = SplitLines(text);
  Restored runs;
  Restored alone;
  try {
    runs = RestoreOnto(bytes, snapshot::Lines::InRuns, SmallSheet);
    alone = RestoreOnto(bytes, snapshot::Lines::EachAlone, SmallSheet);
  } catch (const std::exception& e) {
    return std::string("escaped the command: ") + e.what();
  }
  for (const Restored* r : {&runs, &alone}) {
    if (!r->drawing) return "drawing left off";
    if (r->openFiles != 0) return "file left open";
    if (r->boxes.size() != 1) return std::to_string(r->boxes.size()) + " message boxes";
  }
  const bool completed = alone.boxes[0].starts_with("处理完毕!");
  if (alone.writes > lines.size()) return "more writes than lines";
  if (completed && alone.writes != lines.size()) return "completed without applying every line";
  if (completed) {
    for (auto line : lines) {
      if (line.find('/') == std::string_view::npos) return "completed over a line without '/'";
    }
  }
  if (runs.boxes != alone.boxes)
    return "runs showed '" + runs.boxes[0] + "', one by one '" + alone.boxes[0] + "'";
  if (runs.rows != alone.rows || runs.columns != alone.columns)
    return "runs left another sheet than one by one";
  if (runs.calls > alone.calls) return "runs made more calls than one by one";
  return std::nullopt;
}

}  // namespace quarnel::fuzz
