#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/desktop.hpp"

namespace quarnel::snapshot {

// Reads a text file line by line through a buffer of fixed size. A line ends at CR, CR LF or a
// lone LF; the line end is not part of the line, and a file's last line needs none.
class LineReader {
 public:
  static constexpr std::size_t kChunk = 64 * 1024;

  explicit LineReader(InputFile& file, std::size_t chunk = kChunk);

  // Puts the next line into `line`; false, with `line` empty, once the file is at its end.
  bool Next(std::string& line);
  // The bytes of the file taken so far: the lines returned and their ends.
  std::uint64_t Consumed() const noexcept { return read_ - (end_ - position_); }

 private:
  bool Refill();
  // Leaves at least one unread byte in the buffer; false at the end of the file.
  bool MoreToRead();

  InputFile& file_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  // The last line ended at a CR: a LF right after it belongs to that line end.
  bool skipLineFeed_ = false;
  std::uint64_t read_ = 0;
};

}  // namespace quarnel::snapshot
