#include "snapshot/line_reader.hpp"

#include <algorithm>
#include <span>
#include <utility>

namespace quarnel::snapshot {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& text, char32_t c) {
  const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
  if (c < 0x80) {
    text += byte(c);
  } else if (c < 0x800) {
    text += byte(0xC0 | (c >> 6));
    text += byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += byte(0xE0 | (c >> 12));
    text += byte(0x80 | ((c >> 6) & 0x3F));
    text += byte(0x80 | (c & 0x3F));
  } else {
    text += byte(0xF0 | (c >> 18));
    text += byte(0x80 | ((c >> 12) & 0x3F));
    text += byte(0x80 | ((c >> 6) & 0x3F));
    text += byte(0x80 | (c & 0x3F));
  }
}

}  // namespace

LineReader::LineReader(InputFile& file, std::size_t chunk)
    : file_(file), buffer_(std::max<std::size_t>(chunk, 1)) {}

bool LineReader::Refill() {
  position_ = 0;
  end_ = file_.Read(std::span<char>(buffer_));
  return end_ > 0;
}

bool LineReader::Byte(unsigned char& byte) {
  if (headPosition_ < headSize_) {
    byte = head_[headPosition_++];
  } else {
    if (position_ == end_ && !Refill()) return false;
    byte = static_cast<unsigned char>(buffer_[position_++]);
  }
  ++consumed_;
  return true;
}

void LineReader::DetectEncoding() {
  // Read through Byte, then handed out again: the head counts once, as it is taken.
  while (headSize_ < head_.size()) {
    if (position_ == end_ && !Refill()) break;
    head_[headSize_++] = static_cast<unsigned char>(buffer_[position_++]);
  }
  const auto starts = [this](std::initializer_list<unsigned char> mark) {
    return headSize_ >= mark.size() && std::equal(mark.begin(), mark.end(), head_.begin());
  };
  std::size_t mark = 0;
  encoding_ = TextEncoding::Bytes;
  if (starts({0xEF, 0xBB, 0xBF})) {
    encoding_ = TextEncoding::Utf8WithMark;
    mark = 3;
  } else if (starts({0xFF, 0xFE})) {
    encoding_ = TextEncoding::Utf16Le;
    mark = 2;
  } else if (starts({0xFE, 0xFF})) {
    encoding_ = TextEncoding::Utf16Be;
    mark = 2;
  }
  headPosition_ = mark;
  consumed_ = mark;
}

TextEncoding LineReader::Encoding() {
  if (!encoding_) DetectEncoding();
  return *encoding_;
}

bool LineReader::Unit(char32_t& unit) {
  unsigned char first = 0;
  unsigned char second = 0;
  if (!Byte(first)) return false;
  if (!Byte(second)) {
    unit = kReplacement;
    return true;
  }
  unit = *encoding_ == TextEncoding::Utf16Le ? char32_t{first} | char32_t{second} << 8
                                             : char32_t{first} << 8 | char32_t{second};
  return true;
}

bool LineReader::Character(char32_t& character) {
  if (Encoding() == TextEncoding::Bytes || *encoding_ == TextEncoding::Utf8WithMark) {
    unsigned char byte = 0;
    if (!Byte(byte)) return false;
    character = byte;
    return true;
  }
  if (pendingUnit_) {
    character = *std::exchange(pendingUnit_, std::nullopt);
  } else if (!Unit(character)) {
    return false;
  }
  if (IsLowSurrogate(character)) {
    character = kReplacement;
  } else if (IsHighSurrogate(character)) {
    char32_t low = 0;
    const bool more = Unit(low);
    if (more && IsLowSurrogate(low)) {
      character = 0x10000 + ((character - 0xD800) << 10) + (low - 0xDC00);
    } else {
      if (more) pendingUnit_ = low;
      character = kReplacement;
    }
  }
  return true;
}

bool LineReader::NextDecoded(std::string& line) {
  bool any = false;
  for (char32_t c = 0; Character(c);) {
    if (std::exchange(skipLineFeed_, false) && c == '\n') continue;
    if (c == '\r' || c == '\n') {
      skipLineFeed_ = c == '\r';
      return true;
    }
    AppendUtf8(line, c);
    any = true;
  }
  return any;
}

bool LineReader::NextBytes(std::string& line) {
  bool any = false;
  for (;;) {
    // The head and the refills a byte at a time; within the buffer, a line at once.
    if (headPosition_ < headSize_ || position_ == end_) {
      char32_t c = 0;
      if (!Character(c)) return any;
      if (std::exchange(skipLineFeed_, false) && c == '\n') continue;
      if (c == '\r' || c == '\n') {
        skipLineFeed_ = c == '\r';
        return true;
      }
      line += static_cast<char>(c);
      any = true;
      continue;
    }
    if (std::exchange(skipLineFeed_, false) && buffer_[position_] == '\n') {
      ++position_;
      ++consumed_;
      continue;
    }
    const char* begin = buffer_.data() + position_;
    const char* stop = buffer_.data() + end_;
    const char* lineEnd = std::find_if(begin, stop, [](char c) { return c == '\r' || c == '\n'; });
    line.append(begin, lineEnd);
    any = any || lineEnd != begin;
    consumed_ += static_cast<std::uint64_t>(lineEnd - begin);
    position_ = static_cast<std::size_t>(lineEnd - buffer_.data());
    if (lineEnd != stop) {
      skipLineFeed_ = *lineEnd == '\r';
      ++position_;
      ++consumed_;
      return true;
    }
  }
}

bool LineReader::Next(std::string& line) {
  line.clear();
  const TextEncoding encoding = Encoding();
  return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be ? NextDecoded(line)
                                                                                : NextBytes(line);
}

}  // namespace quarnel::snapshot
