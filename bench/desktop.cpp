#include "desktop.hpp"

#include <algorithm>

namespace quarnel::bench {
namespace {

class MemoryOutput : public OutputFile {
 public:
  explicit MemoryOutput(std::string& content) : content_(content) {}
  void Write(std::string_view bytes) override { content_ += bytes; }
  void Close() override {}

 private:
  std::string& content_;
};

class MemoryInput : public InputFile {
 public:
  explicit MemoryInput(std::string_view content) : content_(content) {}
  std::size_t Read(std::span<char> buffer) override {
    const std::size_t n = content_.copy(buffer.data(), buffer.size(), position_);
    position_ += n;
    return n;
  }

 private:
  std::string_view content_;
  std::size_t position_ = 0;
};

// Holds at most one line beyond what the reader's buffer takes.
class GeneratedInput : public InputFile {
 public:
  explicit GeneratedInput(const LineSource& source) : source_(source) {}
  std::size_t Read(std::span<char> buffer) override {
    std::size_t filled = 0;
    while (filled < buffer.size()) {
      if (position_ == pending_.size()) {
        if (!source_(next_++, pending_)) break;
        pending_ += "\r\n";
        position_ = 0;
      }
      const std::size_t n = pending_.copy(buffer.data() + filled, buffer.size() - filled, position_);
      position_ += n;
      filled += n;
    }
    return filled;
  }

 private:
  const LineSource& source_;
  std::string pending_;
  std::size_t position_ = 0;
  std::size_t next_ = 0;
};

}  // namespace

bool BenchFiles::Taken(const std::string& path) const {
  return written.contains(path) || generated.contains(path);
}

std::unique_ptr<OutputFile> BenchFiles::CreateNew(const std::string& path) {
  if (Taken(path)) throw errors::Catalogued(errors::kFileAlreadyExists);
  return std::make_unique<MemoryOutput>(written[path]);
}

std::unique_ptr<InputFile> BenchFiles::OpenRead(const std::string& path) {
  if (const auto found = generated.find(path); found != generated.end()) {
    return std::make_unique<GeneratedInput>(found->second);
  }
  if (const auto found = written.find(path); found != written.end()) {
    return std::make_unique<MemoryInput>(found->second);
  }
  throw errors::Catalogued(errors::kFileNotFound);
}

void BenchFiles::RenameNoReplace(const std::string& from, const std::string& to) {
  if (Taken(to)) throw errors::Catalogued(errors::kFileAlreadyExists);
  const auto found = written.find(from);
  if (found == written.end()) throw errors::Catalogued(errors::kFileNotFound);
  written[to] = std::move(found->second);
  written.erase(found);
}

}  // namespace quarnel::bench
