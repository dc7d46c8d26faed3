#include "snapshot/name.hpp"

#include <algorithm>
#include <cstdio>

#include "common/text.hpp"

namespace quarnel::snapshot {

namespace {

std::string Refused(std::string_view what) { return errors::Worded(errors::Words::NoteRefused, {what}); }

}  // namespace

std::string Stamp(std::string_view dateTimeText) {
  std::string stamp;
  for (char c : dateTimeText) {
    if (c != '/' && c != ':' && c != ' ' && c != '-') stamp += c;
  }
  return stamp;
}

std::optional<Failure> RefuseNote(std::string_view note) {
  constexpr std::string_view kForbidden = "\\/:*?\"<>|";
  for (char c : note) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(byte));
      return Failure(errors::kNoteRefused, Refused(errors::Worded(errors::Words::ControlCharacter, {code})));
    }
    if (kForbidden.find(c) != std::string_view::npos) {
      return Failure(errors::kNoteRefused,
                     Refused(errors::Worded(errors::Words::Character, {std::string_view(&c, 1)})));
    }
  }
  return std::nullopt;
}

std::string SnapshotFileName(std::string_view workbookName, std::string_view note, std::string_view stamp) {
  std::string name = 常用函数::BaseNameOfPath(workbookName);
  name += kTag;
  name += '_';
  if (!note.empty()) {
    name += note;
    name += '_';
  }
  name += stamp;
  name += ".txt";
  return name;
}

std::string NumberedFileName(std::string_view fileName, int number) {
  constexpr std::string_view kExtension = ".txt";
  std::string_view stem = fileName;
  if (stem.ends_with(kExtension)) stem.remove_suffix(kExtension.size());
  return std::string(stem) + "_" + 常用函数::ValueText(number) + std::string(kExtension);
}

std::string AttemptedFileName(std::string_view fileName, int number) {
  return number == 1 ? std::string(fileName) : NumberedFileName(fileName, number);
}

std::string PartFileName(int number) { return "quarnel-" + 常用函数::ValueText(number) + ".part"; }

namespace {

struct Lengths {
  std::size_t name;
  std::size_t path;
};

// The name and path attempt `number` creates; the part file's are never longer, but counted too.
Lengths LengthsOf(std::string_view workbookName, std::string_view note, std::string_view stamp,
                  std::string_view folder, int number) {
  const std::size_t name =
      Utf16Length(AttemptedFileName(SnapshotFileName(workbookName, note, stamp), number));
  const std::size_t part = Utf16Length(PartFileName(kNameAttempts));
  return {name, Utf16Length(folder) + 1 + std::max(name, part)};
}

std::string Count(std::size_t count) { return 常用函数::ValueText(static_cast<std::int64_t>(count)); }

}  // namespace

std::optional<Failure> RefuseLength(std::string_view workbookName, std::string_view note,
                                    std::string_view stamp, std::string_view folder, int number) {
  const Lengths with = LengthsOf(workbookName, note, stamp, folder, number);
  const Lengths without = LengthsOf(workbookName, "", stamp, folder, number);
  const std::string noteLength = Count(CharacterCount(note));
  using errors::Words;
  const auto refuse = [](Words words, std::initializer_list<std::string_view> counts) {
    return Failure(errors::kNameTooLong, errors::Worded(words, counts));
  };
  if (with.name > kMaxNameLength) {
    if (!note.empty() && without.name <= kMaxNameLength) {
      return refuse(Words::NoteMakesNameTooLong, {noteLength, Count(with.name)});
    }
    return refuse(Words::WorkbookNameTooLong, {Count(with.name)});
  }
  if (with.path > kMaxPathLength) {
    if (!note.empty() && without.path <= kMaxPathLength) {
      return refuse(Words::NoteMakesPathTooLong, {noteLength, Count(with.path)});
    }
    return refuse(Words::FolderPathTooLong, {Count(with.path)});
  }
  return std::nullopt;
}

}  // namespace quarnel::snapshot
