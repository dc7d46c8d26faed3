#include "standin/desk/memory_files.hpp"

#include <algorithm>

#include "common/text.hpp"

namespace quarnel::standin {
namespace {

// Counts a file among the open ones until it is closed or let go, so a test sees one left open.
std::shared_ptr<void> Opened(int& count) {
  ++count;
  return {nullptr, [&count](void*) { --count; }};
}

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(MemoryFiles& owner, std::string path)
      : owner_(owner), path_(std::move(path)), open_(Opened(owner.openFiles)) {}
  void Write(std::string_view bytes) override {
    if (auto& room = owner_.failWritesAfterBytes) {
      if (*room < bytes.size()) {
        owner_.files[path_] += bytes.substr(0, *room);
        room = 0;
        throw errors::Catalogued(errors::kDeviceIoError);
      }
      *room -= bytes.size();
    }
    owner_.files[path_] += bytes;
  }
  void Close() override {
    open_.reset();
    if (owner_.failClose) throw *owner_.failClose;
  }

 private:
  MemoryFiles& owner_;
  std::string path_;
  std::shared_ptr<void> open_;
};

// Subject to the owner's read faults.
class MemoryInput : public ChunkedInput {
 public:
  MemoryInput(MemoryFiles& owner, Source source, std::uint64_t size)
      : ChunkedInput(std::move(source), size, owner.readChunk),
        owner_(owner),
        open_(Opened(owner.openFiles)) {}
  std::size_t Read(std::span<char> buffer) override {
    if (owner_.whileReading) owner_.whileReading();
    if (const auto limit = owner_.failReadAfterBytes) {
      if (delivered >= *limit) throw errors::Catalogued(errors::kDeviceIoError);
      buffer = buffer.first(std::min<std::uint64_t>(buffer.size(), *limit - delivered));
    }
    return ChunkedInput::Read(buffer);
  }

 private:
  MemoryFiles& owner_;
  std::shared_ptr<void> open_;
};

// Holds at most one line beyond what the reader's buffer takes.
class GeneratedBytes {
 public:
  explicit GeneratedBytes(const LineSource& source) : source_(&source) {}
  std::size_t operator()(std::uint64_t, std::span<char> buffer) {
    std::size_t filled = 0;
    while (filled < buffer.size()) {
      if (position_ == pending_.size()) {
        if (!(*source_)(next_++, pending_)) break;
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
  const LineSource* source_;
  std::string pending_;
  std::size_t position_ = 0;
  std::size_t next_ = 0;
};

}  // namespace

ChunkedInput::Source ChunkedInput::CopyOf(std::string bytes) {
  return [bytes = std::move(bytes)](std::uint64_t offset, std::span<char> buffer) {
    return bytes.copy(buffer.data(), buffer.size(), static_cast<std::size_t>(offset));
  };
}

std::size_t ChunkedInput::Read(std::span<char> buffer) {
  largest = std::max(largest, buffer.size());
  const std::size_t n = source_(delivered, piece_ ? buffer.first(std::min(buffer.size(), piece_)) : buffer);
  delivered += n;
  return n;
}

std::unique_ptr<OutputFile> MemoryFiles::CreateNew(const std::string& path) {
  log.push_back("create " + path);
  if (failCreate) throw *failCreate;
  if (Taken(path)) throw errors::Catalogued(errors::kFileAlreadyExists);
  files[path];
  return std::make_unique<MemoryOutput>(*this, path);
}

std::unique_ptr<InputFile> MemoryFiles::OpenRead(const std::string& path) {
  log.push_back("open " + path);
  if (failOpen) throw *failOpen;
  if (const auto found = generated.find(path); found != generated.end()) {
    // Its size is not known before it is read through.
    return std::make_unique<MemoryInput>(*this, GeneratedBytes(found->second), 0);
  }
  const auto found = files.find(path);
  if (found == files.end()) throw errors::Catalogued(errors::kFileNotFound);
  const std::string& bytes = found->second;
  return std::make_unique<MemoryInput>(*this, ChunkedInput::CopyOf(bytes), bytes.size());
}

void MemoryFiles::RenameNoReplace(const std::string& from, const std::string& to) {
  log.push_back("rename " + from + " -> " + to);
  if (failRename) throw *failRename;
  if (Taken(to)) throw errors::Catalogued(errors::kFileAlreadyExists);
  const auto found = files.find(from);
  if (found == files.end()) throw errors::Catalogued(errors::kFileNotFound);
  files[to] = std::move(found->second);
  files.erase(found);
}

std::vector<FoundFile> MemoryFiles::ListText(const std::string& folder) {
  if (failList) throw *failList;
  std::vector<FoundFile> found;
  const std::string prefix = folder + "\\";
  for (const auto& [path, content] : files) {
    if (!path.starts_with(prefix) || path.find('\\', prefix.size()) != std::string::npos) continue;
    if (path.size() < 4 || AsciiLower(path.substr(path.size() - 4)) != ".txt") continue;
    const auto time = times.find(path);
    FoundFile file = time == times.end() ? FoundFile{} : time->second;
    file.name = path.substr(prefix.size());
    found.push_back(std::move(file));
  }
  return found;
}

void MemoryFiles::Remove(const std::string& path) noexcept {
  log.push_back("remove " + path);
  files.erase(path);
}

}  // namespace quarnel::standin
