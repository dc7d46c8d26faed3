#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quarnel {

// The tool's one failure state: a number and a description, as COM and the file APIs report them.
class Failure : public std::runtime_error {
 public:
  Failure(std::int32_t number, std::string description)
      : std::runtime_error(description), number_(number), description_(std::move(description)) {}

  std::int32_t Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }

 private:
  std::int32_t number_;
  std::string description_;
};

// A failure that is the tool's own refusal, whose description says all the user needs: its box
// shows the description alone, without the run-time error heading.
class Refusal : public Failure {
 public:
  explicit Refusal(const Failure& failure) : Failure(failure) {}
};

// The catalogue: numbers users know from Excel's own error boxes, and the tool's own, each with its
// description as a Chinese system words it (in failure.cpp).
namespace errors {
inline constexpr std::int32_t kInvalidCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kDivisionByZero = 11;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kDllLoad = 48;
inline constexpr std::int32_t kInternal = 51;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kFileAlreadyExists = 58;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kObjectRequired = 424;
inline constexpr std::int32_t kNotSupported = 438;
inline constexpr std::int32_t kBadArgument = 450;
inline constexpr std::int32_t kApplicationDefined = 1004;
inline constexpr std::int32_t kBufferTooSmall = 20476;
inline constexpr std::int32_t kBadDialogFileName = 20477;
inline constexpr std::int32_t kDialogFailed = 32765;
inline constexpr std::int32_t kDialogCancelled = 32755;
// The tool's own: a note or a snapshot name that Windows would not take. Their texts say why.
inline constexpr std::int32_t kNoteRefused = 32001;
inline constexpr std::int32_t kNameTooLong = 32002;
// Excel's window in front shows a file in Protected View, which no program may change.
inline constexpr std::int32_t kProtectedView = 32003;
// The undo of the last restore belongs to another sheet than the one in front.
inline constexpr std::int32_t kUndoElsewhere = 32004;

// The catalogue's description for `number`; empty for a number it does not hold.
std::string_view Description(std::int32_t number) noexcept;
// The failure `number` with the catalogue's description.
Failure Catalogued(std::int32_t number);
// The failure `number` with the catalogue's description and `detail` after it, as "内部错误: ...".
Failure Catalogued(std::int32_t number, std::string_view detail);

inline Failure SubscriptOutOfRange() { return Catalogued(kSubscriptOutOfRange); }
inline Failure TypeMismatch() { return Catalogued(kTypeMismatch); }
inline Failure ObjectNotSet() { return Catalogued(kObjectNotSet); }
inline Failure NotSupported() { return Catalogued(kNotSupported); }
}  // namespace errors

// The failure that the exception being handled stands for: ours as it is, running out of memory
// as 7, anything else as an internal error. Call it only inside a catch block.
Failure CurrentFailure();

// The text of the box that reports a failure: "运行时错误 'n':", a blank line, the description.
std::string RunTimeErrorText(const Failure& failure);

}  // namespace quarnel
