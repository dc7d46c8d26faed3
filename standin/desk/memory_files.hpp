#pragma once

// Files in memory for tests and the benchmark, with a switch for each way a real file can fail.

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "common/desktop.hpp"

namespace quarnel::standin {

// Puts line `index` (without its line end) into `line`; false past the last line.
using LineSource = std::function<bool(std::size_t index, std::string& line)>;

// A file read from memory at most `piece` bytes a read (0: as many as asked), so that line ends
// fall across reads; it notes how many bytes it handed out and the largest read asked for.
class ChunkedInput : public InputFile {
 public:
  // Puts the bytes from `offset` on into `buffer`: how many (0 at the end).
  using Source = std::function<std::size_t(std::uint64_t offset, std::span<char> buffer)>;
  // The bytes as they are now: a test may change the files while one is read.
  static Source CopyOf(std::string bytes);
  explicit ChunkedInput(const std::string& bytes, std::size_t piece = 0)
      : ChunkedInput(CopyOf(bytes), bytes.size(), piece) {}
  ChunkedInput(Source source, std::uint64_t size, std::size_t piece = 0)
      : source_(std::move(source)), size_(size), piece_(piece) {}
  std::size_t Read(std::span<char> buffer) override;
  std::uint64_t Size() override { return size_; }

  std::uint64_t delivered = 0;
  std::size_t largest = 0;

 private:
  Source source_;
  std::uint64_t size_;
  std::size_t piece_;
};

class MemoryFiles : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  // Files produced line by line (each ended by CR LF) as they are read, never held whole.
  std::map<std::string, LineSource> generated;

  // Faults, each off when empty.
  std::optional<Failure> failCreate;
  std::optional<Failure> failOpen;
  std::optional<Failure> failClose;  // a written file's close, after its bytes are kept
  std::optional<Failure> failRename;
  // The next writes fail once this many more bytes are written (a full disk); the bytes that fit stay.
  std::optional<std::size_t> failWritesAfterBytes;
  // A read fails once this many bytes of the file have been handed out.
  std::optional<std::size_t> failReadAfterBytes;
  // At most this many bytes per read, so that lines straddle reads; 0 gives what is asked.
  std::size_t readChunk = 0;
  // Runs at every read of a file open for reading, and may throw (may be empty).
  std::function<void()> whileReading;
  // Files that Exists does not see, as if another program made them after it looked.
  std::set<std::string> unseen;
  // When each file was last written, by path: what ListText tells of it (all 0 when absent).
  std::map<std::string, FoundFile> times;
  std::optional<Failure> failList;

  std::vector<std::string> log;  // "create path", "rename a -> b", "remove path", "open path"
  int openFiles = 0;             // files still open for reading or writing

  std::unique_ptr<OutputFile> CreateNew(const std::string& path) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
  void RenameNoReplace(const std::string& from, const std::string& to) override;
  bool Exists(const std::string& path) override { return Taken(path) && !unseen.contains(path); }
  void Remove(const std::string& path) noexcept override;
  std::vector<FoundFile> ListText(const std::string& folder) override;

 private:
  bool Taken(const std::string& path) const { return files.contains(path) || generated.contains(path); }
};

}  // namespace quarnel::standin
