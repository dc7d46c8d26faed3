#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "snapshot/line_reader.hpp"
#include "standin/desk/memory_files.hpp"

namespace quarnel::snapshot {
namespace {

std::vector<std::string> ReadAll(const std::string& text, std::size_t chunk = LineReader::kChunk) {
  standin::ChunkedInput input(text);
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
    // Half of them after a UTF-8 mark, which the first reads may cut anywhere.
    if (round % 2 == 1) text.insert(0, "\xEF\xBB\xBF");
    const Lines whole = ReadAll(text, 1 << 16);
    for (std::size_t chunk : {1, 2, 3, 5, 7}) {
      ASSERT_EQ(ReadAll(text, chunk), whole) << "chunk " << chunk << " text '" << text << "'";
    }
  }
}

// The bytes Notepad writes for `text` as "Unicode" (little-endian) or big-endian, mark first.
std::string Utf16(std::u16string_view text, bool littleEndian = true) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += littleEndian ? low : high;
    bytes += littleEndian ? high : low;
  }
  return bytes;
}

TEST(SnapshotLineReader, ByteOrderMarks) {
  // UTF-8 with a mark: the mark belongs to no line; the rest stays as it is.
  const std::string mark = "\xEF\xBB\xBF";
  EXPECT_EQ(ReadAll(mark + "1:1/True\r\n2/False\r\n"), (Lines{"1:1/True", "2/False"}));
  EXPECT_EQ(ReadAll(mark), Lines{});
  EXPECT_EQ(ReadAll(mark + "\r\n"), Lines{""});
  EXPECT_EQ(ReadAll(mark + "\xE8\xA1\x8C/True"), Lines{"\xE8\xA1\x8C/True"});
  // Only at the very start is it a mark; elsewhere, and cut short, it is bytes as before.
  EXPECT_EQ(ReadAll("a\r\n" + mark + "b"), (Lines{"a", mark + "b"}));
  EXPECT_EQ(ReadAll(mark.substr(0, 2)), Lines{mark.substr(0, 2)});
  EXPECT_EQ(ReadAll(mark.substr(0, 2) + "1/True"), Lines{mark.substr(0, 2) + "1/True"});
  // UTF-16 in both byte orders, with every line end, into UTF-8.
  EXPECT_EQ(ReadAll(Utf16(u"1:1/True\r\n2/False\r3/true\n4")), (Lines{"1:1/True", "2/False", "3/true", "4"}));
  EXPECT_EQ(ReadAll(Utf16(u"5:5/False\r\n\r\n", false)), (Lines{"5:5/False", ""}));
  EXPECT_EQ(ReadAll(Utf16(u"")), Lines{});
  EXPECT_EQ(ReadAll(Utf16(u"\r\n")), Lines{""});
  EXPECT_EQ(ReadAll(Utf16(u"行列/True")), Lines{"行列/True"});
  EXPECT_EQ(ReadAll(Utf16(u"\U0001F600/x")), Lines{"\U0001F600/x"});
  EXPECT_EQ(ReadAll(Utf16(std::u16string(u"a\0b", 3))), Lines{std::string("a\0b", 3)});
  // UTF-16 without its mark is not guessed at: bytes, as before.
  EXPECT_EQ(ReadAll(std::string("1\0/\0", 4)), Lines{std::string("1\0/\0", 4)});
}

TEST(SnapshotLineReader, BrokenUtf16BecomesReplacementCharacters) {
  const char16_t high = 0xD83D;
  const char16_t low = 0xDE00;
  const std::u16string loneHigh{high, u'a', u'\r', u'\n', high};
  EXPECT_EQ(ReadAll(Utf16(loneHigh)), (Lines{"\uFFFDa", "\uFFFD"}));
  // A high surrogate before a line end leaves the line end in place.
  EXPECT_EQ(ReadAll(Utf16(std::u16string{u'1', high, u'\r', u'2'})), (Lines{"1\uFFFD", "2"}));
  EXPECT_EQ(ReadAll(Utf16(std::u16string{high, high, low})), Lines{"\uFFFD\U0001F600"});
  EXPECT_EQ(ReadAll(Utf16(std::u16string{low, u'x'})), Lines{"\uFFFDx"});
  // An odd last byte is no unit of its own.
  EXPECT_EQ(ReadAll(Utf16(u"1/True\r\nx") + "y"), (Lines{"1/True", "x\uFFFD"}));
  EXPECT_EQ(ReadAll(Utf16(u"") + "y"), Lines{"\uFFFD"});
}

TEST(SnapshotLineReader, Utf16UnitsAndPairsSplitAcrossReadsReadTheSame) {
  std::mt19937 random(20261209);
  const std::u16string alphabet{u'a', u'/', u'\r', u'\n', u'行', 0xD83D, 0xDE00, 0};
  for (int round = 0; round < 300; ++round) {
    std::u16string text(random() % 30, u' ');
    for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
    const std::string bytes = Utf16(text, round % 2 == 0) + std::string(round % 3 == 0 ? 1 : 0, 'z');
    const Lines whole = ReadAll(bytes, 1 << 16);
    for (std::size_t chunk : {1, 2, 3, 5, 7}) {
      ASSERT_EQ(ReadAll(bytes, chunk), whole) << "chunk " << chunk << " round " << round;
    }
  }
}

TEST(SnapshotLineReader, ConsumedCountsTheMarkAndEveryByteOfTheLinesTaken) {
  standin::ChunkedInput utf16(Utf16(u"ab\r\nc"));
  LineReader fromUtf16(utf16, 3);
  std::string line;
  ASSERT_TRUE(fromUtf16.Next(line));
  EXPECT_EQ(fromUtf16.Consumed(), 8u);  // the mark, "a", "b" and CR; the LF comes with the next line
  ASSERT_TRUE(fromUtf16.Next(line));
  EXPECT_EQ(fromUtf16.Consumed(), 12u);
  standin::ChunkedInput utf8(
      "\xEF\xBB\xBF"
      "ab\r\n");
  LineReader fromUtf8(utf8, 2);
  ASSERT_TRUE(fromUtf8.Next(line));
  EXPECT_EQ(fromUtf8.Consumed(), 6u);
  EXPECT_FALSE(fromUtf8.Next(line));
  EXPECT_EQ(fromUtf8.Consumed(), 7u);
}

// Many snapshot lines made on demand after an optional mark.
standin::ChunkedInput ManyLines(const std::string& mark, const std::string& line, std::uint64_t lines) {
  const std::uint64_t size = mark.size() + lines * line.size();
  return {[=](std::uint64_t offset, std::span<char> buffer) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - offset));
            for (std::size_t i = 0; i < n; ++i) {
              const std::uint64_t at = offset + i;
              buffer[i] = at < mark.size() ? mark[at] : line[(at - mark.size()) % line.size()];
            }
            return n;
          },
          size};
}

TEST(SnapshotLineReader, ReadsAMillionLinesWithoutReadingAheadInEitherEncoding) {
  const std::string utf16 = Utf16(u"65536:65536/True\r\n");
  struct Case {
    standin::ChunkedInput input;
    std::uint64_t lines;
  };
  for (Case c : {Case{ManyLines("", "65536:65536/True\r\n", 1000000), 1000000},
                 Case{ManyLines(utf16.substr(0, 2), utf16.substr(2), 200000), 200000}}) {
    LineReader reader(c.input);
    std::uint64_t count = 0;
    std::uint64_t furthestAhead = 0;
    std::uint64_t wrongLines = 0;
    for (std::string line; reader.Next(line);) {
      ++count;
      wrongLines += line != "65536:65536/True";
      furthestAhead = std::max(furthestAhead, c.input.delivered - reader.Consumed());
    }
    EXPECT_EQ(count, c.lines);
    EXPECT_EQ(wrongLines, 0u);
    EXPECT_EQ(reader.Consumed(), c.input.delivered);
    EXPECT_LE(furthestAhead, LineReader::kChunk);
  }
}

}  // namespace
}  // namespace quarnel::snapshot
