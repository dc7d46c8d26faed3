#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

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

// Numbers users know from Excel's own error boxes; descriptions as a Chinese system words them.
namespace errors {
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kFileAlreadyExists = 58;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kInternal = 51;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kNotSupported = 438;
inline constexpr std::int32_t kApplicationDefined = 1004;
inline constexpr std::int32_t kDialogCancelled = 32755;

inline Failure SubscriptOutOfRange() { return {kSubscriptOutOfRange, "下标越界"}; }
inline Failure TypeMismatch() { return {kTypeMismatch, "类型不匹配"}; }
inline Failure ObjectNotSet() { return {kObjectNotSet, "对象变量或 With 块变量未设置"}; }
inline Failure NotSupported() { return {kNotSupported, "对象不支持该属性或方法"}; }
}  // namespace errors

// The failure that the exception being handled stands for: ours as it is, running out of memory
// as 7, anything else as an internal error. Call it only inside a catch block.
Failure CurrentFailure();

}  // namespace quarnel
