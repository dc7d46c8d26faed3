#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "snapshot/line_reader.hpp"

namespace quarnel::snapshot {
namespace {

class TextInput : public InputFile {
 public:
  explicit TextInput(std::string text) : text_(std::move(text)) {}
  std::size_t Read(std::span<char> buffer) override {
    const std::size_t n = std::min(buffer.size(), text_.size() - position_);
    std::copy_n(text_.data() + position_, n, buffer.data());
    position_ += n;
    return n;
  }

 private:
  std::string text_;
  std::size_t position_ = 0;
};

std::vector<std::string> ReadAll(const std::string& text, std::size_t chunk = LineReader::kChunk) {
  TextInput input(text);
  LineReader reader(input, chunk);
  std::vector<std::string> lines;
  for (std::string line; reader.Next(line);) lines.push_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(SnapshotLineReader, LineEnds) {
  EXPECT_EQ(ReadAll(""), Lines{});
  EXPECT_EQ(ReadAll("1:1/True\r\n2/False\r\n"), (Lines{"1:1/True", "2/False"}));
  EXPECT_EQ(ReadAll("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(ReadAll("a\n"), Lines{"a"});
  EXPECT_EQ(ReadAll("a\r"), Lines{"a"});
  // Blank lines are lines: the restore command must see them to refuse them.
  EXPECT_EQ(ReadAll("\r\n"), Lines{""});
  EXPECT_EQ(ReadAll("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(ReadAll("a\n\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(ReadAll("a\r\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(ReadAll("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(ReadAll(std::string("a\0b\r\n", 5)), Lines{std::string("a\0b", 3)});
}

TEST(SnapshotLineReader, ChunkSizeNeverChangesTheLines) {
  std::mt19937 random(20261208);
  const std::string alphabet = "ab/\r\n";
  for (int round = 0; round < 300; ++round) {
    std::string text(random() % 40, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    const Lines whole = ReadAll(text, 1 << 16);
    for (std::size_t chunk : {1, 2, 3, 5, 7}) {
      ASSERT_EQ(ReadAll(text, chunk), whole) << "chunk " << chunk << " text '" << text << "'";
    }
  }
}

// A million snapshot lines made on demand, remembering how far the reader has asked.
class MillionLines : public InputFile {
 public:
  static constexpr std::uint64_t kLines = 1000000;
  static constexpr std::string_view kLine = "65536:65536/True\r\n";
  std::size_t Read(std::span<char> buffer) override {
    const std::uint64_t left = kLines * kLine.size() - delivered;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), left));
    for (std::size_t i = 0; i < n; ++i) buffer[i] = kLine[(delivered + i) % kLine.size()];
    delivered += n;
    return n;
  }
  std::uint64_t delivered = 0;
};

TEST(SnapshotLineReader, ReadsAMillionLinesWithoutReadingAhead) {
  MillionLines input;
  LineReader reader(input);
  std::uint64_t consumed = 0;
  std::uint64_t count = 0;
  std::uint64_t furthestAhead = 0;
  std::uint64_t wrongLines = 0;
  for (std::string line; reader.Next(line);) {
    ++count;
    consumed += line.size() + 2;
    wrongLines += line != "65536:65536/True";
    furthestAhead = std::max(furthestAhead, input.delivered - consumed);
  }
  EXPECT_EQ(count, MillionLines::kLines);
  EXPECT_EQ(wrongLines, 0u);
  EXPECT_EQ(consumed, input.delivered);
  EXPECT_LE(furthestAhead, LineReader::kChunk);
}

}  // namespace
}  // namespace quarnel::snapshot
