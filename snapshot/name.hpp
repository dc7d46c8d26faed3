#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/failure.hpp"

namespace quarnel::snapshot {

inline constexpr std::string_view kTag = "-行列状态";
inline constexpr std::int32_t kNoteRefused = 32001;

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

}  // namespace quarnel::snapshot
