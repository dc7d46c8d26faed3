#pragma once

// What the commands need of the desktop they run on, apart from Excel. Windows implements it with
// Win32; the tests with a scripted desktop. Every member may throw Failure.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/failure.hpp"

namespace quarnel {

inline constexpr std::string_view kAppTitle = "Quarnel";

enum class MessageIcon { None, Information };

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(std::string_view bytes) = 0;
  // Flushes and closes; a failure here means the file is not complete.
  virtual void Close() = 0;
};

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to buffer.size() bytes; 0 only at the end of the file.
  virtual std::size_t Read(std::span<char> buffer) = 0;
  // The file's length in bytes when it was opened; 0 when unknown.
  virtual std::uint64_t Size() { return 0; }
};

// A file found in a folder, with the time it was last written.
struct FoundFile {
  std::string name;
  // Comparable between the files of one listing: a later write is a larger number.
  std::uint64_t written = 0;
  // The same moment in the user's local time.
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
};

// Paths are UTF-8 with "\" between folders, as the tool builds them.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Fails with 58 when the path exists already: nothing is ever overwritten.
  virtual std::unique_ptr<OutputFile> CreateNew(const std::string& path) = 0;
  virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;
  // Fails with 58 when `to` exists; `from` is then left as it was.
  virtual void RenameNoReplace(const std::string& from, const std::string& to) = 0;
  // Whether a file or folder has that path now. Only a hint: another program may take or free it
  // the next moment, and a path that cannot be looked at counts as free.
  virtual bool Exists(const std::string& path) = 0;
  virtual void Remove(const std::string& path) noexcept = 0;
  // The files (not folders) directly in `folder` whose names end in ".txt", in no set order.
  virtual std::vector<FoundFile> ListText(const std::string& folder) = 0;
};

// The file-open dialog `CommonDialog1`. FileName keeps its value from one use to the next.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  virtual void SetDialogTitle(std::string_view title) = 0;
  virtual void SetFilter(std::string_view filter) = 0;
  virtual void SetCancelError(bool cancelError) = 0;
  virtual void SetInitDir(std::string_view folder) = 0;
  // Returns when a file is chosen; a cancel fails with 32755 when CancelError is set.
  virtual void ShowOpen() = 0;
  virtual std::string FileName() const = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual void ShowMessage(std::string_view text, std::string_view title = kAppTitle,
                           MessageIcon icon = MessageIcon::None) = 0;
  // The text of `Text1`.
  virtual std::string NoteText() = 0;
  // The folder that holds the program file, without a trailing "\".
  virtual std::string ProgramFolder() = 0;
  // The local date and time as the user's regional settings write it: short date, blank, long time.
  virtual std::string LocalDateTimeText() = 0;
  virtual FileSystem& Files() = 0;
  virtual FileDialog& CommonDialog1() = 0;
  // How far a long command has come. Called often: an implementation keeps it cheap and decides
  // itself how often to redraw. `total` may change as the command learns more; 0 means unknown.
  virtual void ShowProgress(std::uint64_t /*done*/, std::uint64_t /*total*/) noexcept {}
  virtual void EndProgress() noexcept {}
};

// Clears the progress display however the command ends.
class ProgressScope {
 public:
  explicit ProgressScope(Desktop& desktop) noexcept : desktop_(desktop) {}
  ~ProgressScope() { desktop_.EndProgress(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;
  void Show(std::uint64_t done, std::uint64_t total) noexcept { desktop_.ShowProgress(done, total); }

 private:
  Desktop& desktop_;
};

}  // namespace quarnel
