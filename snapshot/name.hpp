#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/failure.hpp"

namespace quarnel::snapshot {

inline constexpr std::string_view kTag = "-行列状态";
// The attempts at a free name before the failure of the last one is let through.
inline constexpr int kNameAttempts = 1000;
// Windows' limits in UTF-16 units: a name, and a full path without long-path support.
inline constexpr std::size_t kMaxNameLength = 255;
inline constexpr std::size_t kMaxPathLength = 259;

// The date-time text with every "/", ":", " " and "-" removed.
std::string Stamp(std::string_view dateTimeText);

// Why the note cannot go into a Windows file name, naming the first character at fault; nothing
// when it can.
std::optional<Failure> RefuseNote(std::string_view note);

// Base name of the workbook, tag, "_", the note and "_" when there is one, stamp, ".txt". The note
// comes trimmed.
std::string SnapshotFileName(std::string_view workbookName, std::string_view note, std::string_view stamp);

// The name that takes the place of a taken one: "_2", "_3", ... before ".txt".
std::string NumberedFileName(std::string_view fileName, int number);
// The name of attempt `number` at a free snapshot name: the name itself, then its numbered forms.
std::string AttemptedFileName(std::string_view fileName, int number);
// The name a snapshot is written under until it is complete, beside it: short and the same
// whatever the note, so that it never sets the limits. "quarnel-1.part", "quarnel-2.part", ...
std::string PartFileName(int number);

// Why the snapshot's name of attempt `number` (see AttemptedFileName) does not fit Windows'
// limits, worded after what makes it too long: the note when the name fits without it, else the
// workbook name or the folder; the lengths it gives are those of that name and its path. Nothing
// when it fits. The note comes trimmed; the folder has no trailing "\".
std::optional<Failure> RefuseLength(std::string_view workbookName, std::string_view note,
                                    std::string_view stamp, std::string_view folder, int number = 1);

}  // namespace quarnel::snapshot
