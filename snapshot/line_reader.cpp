#include "snapshot/line_reader.hpp"

#include <algorithm>
#include <span>

namespace quarnel::snapshot {

LineReader::LineReader(InputFile& file, std::size_t chunk)
    : file_(file), buffer_(std::max<std::size_t>(chunk, 1)) {}

bool LineReader::Refill() {
  position_ = 0;
  end_ = file_.Read(std::span<char>(buffer_));
  read_ += end_;
  return end_ > 0;
}

bool LineReader::MoreToRead() {
  for (;;) {
    if (position_ == end_ && !Refill()) return false;
    if (!skipLineFeed_) return true;
    skipLineFeed_ = false;
    if (buffer_[position_] == '\n') ++position_;
  }
}

bool LineReader::Next(std::string& line) {
  line.clear();
  if (!MoreToRead()) return false;
  for (;;) {
    const char* begin = buffer_.data() + position_;
    const char* stop = buffer_.data() + end_;
    const char* lineEnd = std::find_if(begin, stop, [](char c) { return c == '\r' || c == '\n'; });
    line.append(begin, lineEnd);
    position_ = static_cast<std::size_t>(lineEnd - buffer_.data());
    if (lineEnd != stop) {
      skipLineFeed_ = *lineEnd == '\r';
      ++position_;
      return true;
    }
    if (!Refill()) return true;
  }
}

}  // namespace quarnel::snapshot
