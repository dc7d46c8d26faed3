#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quarnel {

// Where in the source a failure was made: the file, relative to the source folder, and the line.
// Taken as a default argument, __builtin_FILE and __builtin_LINE name the caller (std::source_location
// would too, but clang 14, which builds the fuzz targets, lacks it).
struct SourcePlace {
  const char* file = "";
  unsigned line = 0;
};

// The tool's one failure state: a number and a description, as COM and the file APIs report them,
// and the place in the source that raised it, for the trace only: a user's box never shows it.
class Failure : public std::runtime_error {
 public:
  Failure(std::int32_t number, std::string description,
          SourcePlace origin = {__builtin_FILE(), __builtin_LINE()})
      : std::runtime_error(description),
        number_(number),
        description_(std::move(description)),
        origin_(origin) {}

  std::int32_t Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const SourcePlace& Origin() const noexcept { return origin_; }

 private:
  std::int32_t number_;
  std::string description_;
  SourcePlace origin_;
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
inline constexpr std::int32_t kArgumentNotOptional = 449;
// COM's numbers, HRESULTs, which Excel's boxes show as they are: negative. Each is named as in
// the Windows headers after it.
constexpr std::int32_t Hresult(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }
inline constexpr std::int32_t kCallRejected = Hresult(0x80010001);        // RPC_E_CALL_REJECTED
inline constexpr std::int32_t kCallCanceled = Hresult(0x80010002);        // RPC_E_CALL_CANCELED
inline constexpr std::int32_t kDisconnected = Hresult(0x80010108);        // RPC_E_DISCONNECTED
inline constexpr std::int32_t kRetryLater = Hresult(0x8001010A);          // RPC_E_SERVERCALL_RETRYLATER
inline constexpr std::int32_t kClassNotRegistered = Hresult(0x80040154);  // REGDB_E_CLASSNOTREG
inline constexpr std::int32_t kObjectDeleted = Hresult(0x800401A8);       // a closed workbook's objects
inline constexpr std::int32_t kUnavailable = Hresult(0x800401E3);         // MK_E_UNAVAILABLE
inline constexpr std::int32_t kBadClassString = Hresult(0x800401F3);      // CO_E_CLASSSTRING
inline constexpr std::int32_t kServerExecFailure = Hresult(0x80080005);   // CO_E_SERVER_EXEC_FAILURE
inline constexpr std::int32_t kServerUnavailable = Hresult(0x800706BA);   // RPC_S_SERVER_UNAVAILABLE
// VBA_E_IGNORE: Excel busy, as a call's own answer, and as Excel's error number inside EXCEPINFO.
inline constexpr std::int32_t kIgnored = Hresult(0x800AC472);
inline constexpr std::int32_t kIgnoredNumber = 0xC472;
// The tool's own: a note or a snapshot name that Windows would not take. Their texts say why.
inline constexpr std::int32_t kNoteRefused = 32001;
inline constexpr std::int32_t kNameTooLong = 32002;
// Excel's window in front shows a file in Protected View, which no program may change.
inline constexpr std::int32_t kProtectedView = 32003;
// The undo of the last restore belongs to another sheet than the one in front.
inline constexpr std::int32_t kUndoElsewhere = 32004;

// The catalogue's description for `number`; empty for a number it does not hold. For COM's numbers
// it holds the words Windows gives in Chinese, for a system (Wine) that has none.
std::string_view Description(std::int32_t number) noexcept;
// The failure `number` with the catalogue's description.
Failure Catalogued(std::int32_t number, SourcePlace origin = {__builtin_FILE(), __builtin_LINE()});
// The failure `number` with the catalogue's description and `detail` after it, as "内部错误: ...".
Failure Catalogued(std::int32_t number, std::string_view detail,
                   SourcePlace origin = {__builtin_FILE(), __builtin_LINE()});

// The tool's own words that are no one number's description: for an Excel that is busy or that
// the user stopped waiting for, and the parts of refusals that name what was refused.
enum class Words {
  Busy,
  Stopped,
  AutomationError,
  NoteRefused,
  ControlCharacter,
  Character,
  NoteMakesNameTooLong,
  WorkbookNameTooLong,
  NoteMakesPathTooLong,
  FolderPathTooLong,
  LastRestoredSheet,
};
// The words, each "{}" in them replaced by the next of `values`.
std::string Worded(Words words, std::initializer_list<std::string_view> values = {});

inline Failure SubscriptOutOfRange(SourcePlace origin = {__builtin_FILE(), __builtin_LINE()}) {
  return Catalogued(kSubscriptOutOfRange, origin);
}
inline Failure TypeMismatch(SourcePlace origin = {__builtin_FILE(), __builtin_LINE()}) {
  return Catalogued(kTypeMismatch, origin);
}
inline Failure ObjectNotSet(SourcePlace origin = {__builtin_FILE(), __builtin_LINE()}) {
  return Catalogued(kObjectNotSet, origin);
}
inline Failure NotSupported(SourcePlace origin = {__builtin_FILE(), __builtin_LINE()}) {
  return Catalogued(kNotSupported, origin);
}
}  // namespace errors

// The failure that the exception being handled stands for: ours as it is, running out of memory
// as 7, anything else as an internal error. Call it only inside a catch block.
Failure CurrentFailure();

// The text of the box that reports a failure: "运行时错误 'n':", a blank line, the description.
std::string RunTimeErrorText(const Failure& failure);

}  // namespace quarnel
