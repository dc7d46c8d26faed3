#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/desktop.hpp"

namespace quarnel::snapshot {

// How the file's text is stored, as its first bytes tell: Notepad's byte-order marks, or none.
enum class TextEncoding { Bytes, Utf8WithMark, Utf16Le, Utf16Be };

// Reads a text file line by line through a buffer of fixed size. A line ends at CR, CR LF or a
// lone LF; the line end is not part of the line, and a file's last line needs none.
// A file without a byte-order mark gives its bytes as they are; after a UTF-8 mark, the bytes
// that follow it; after a UTF-16 mark, the text in UTF-8, with U+FFFD for a lone surrogate or an
// odd last byte.
class LineReader {
 public:
  static constexpr std::size_t kChunk = 64 * 1024;

  explicit LineReader(InputFile& file, std::size_t chunk = kChunk);

  // Puts the next line into `line`; false, with `line` empty, once the file is at its end.
  bool Next(std::string& line);
  // The bytes of the file taken so far: the mark, the lines returned and their ends.
  std::uint64_t Consumed() const noexcept { return consumed_; }
  TextEncoding Encoding();

 private:
  bool Refill();
  bool Byte(unsigned char& byte);
  // One UTF-16 code unit, or U+FFFD for an odd byte at the end.
  bool Unit(char32_t& unit);
  // One character: a byte, or a UTF-16 code point.
  bool Character(char32_t& character);
  bool NextBytes(std::string& line);
  bool NextDecoded(std::string& line);
  void DetectEncoding();

  InputFile& file_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  std::uint64_t consumed_ = 0;
  std::optional<TextEncoding> encoding_;
  // The first bytes, read to look for a mark; what is no mark is handed out before the buffer.
  std::array<unsigned char, 3> head_{};
  std::size_t headSize_ = 0;
  std::size_t headPosition_ = 0;
  // A unit read after a lone high surrogate, still to be taken as a character of its own.
  std::optional<char32_t> pendingUnit_;
  // The last line ended at a CR: a LF right after it belongs to that line end.
  bool skipLineFeed_ = false;
};

}  // namespace quarnel::snapshot
