#include "snapshot/name.hpp"

#include <cstdio>

#include "common/text.hpp"

namespace quarnel::snapshot {

std::string Stamp(std::string_view dateTimeText) {
  std::string stamp;
  for (char c : dateTimeText) {
    if (c != '/' && c != ':' && c != ' ' && c != '-') stamp += c;
  }
  return stamp;
}

std::optional<Failure> RefuseNote(std::string_view note) {
  constexpr std::string_view kForbidden = "\\/:*?\"<>|";
  constexpr std::string_view kRule =
      "。Windows 文件名不允许使用 \\ / : * ? \" < > | 和控制字符，请修改备注后再记录。";
  for (char c : note) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(byte));
      return Failure(kNoteRefused, std::string("备注中含有控制字符 ") + code + std::string(kRule));
    }
    if (kForbidden.find(c) != std::string_view::npos) {
      return Failure(kNoteRefused, std::string("备注中含有字符“") + c + "”" + std::string(kRule));
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

}  // namespace quarnel::snapshot
