#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/desktop.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// Files through the wide APIs, so names keep their Chinese characters under any ANSI code page.
class WideFileSystem final : public FileSystem {
 public:
  std::unique_ptr<OutputFile> CreateNew(const std::string& path) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
  void RenameNoReplace(const std::string& from, const std::string& to) override;
  bool Exists(const std::string& path) override;
  void Remove(const std::string& path) noexcept override;
  std::vector<FoundFile> ListText(const std::string& folder) override;
};

// A Win32 file error as the tool reports it: file not found 53, path not found 76, permission
// denied 70, file exists 58, bad file name 52, disk full 61, anything else device I/O error 57.
Failure FileFailure(DWORD error);

}  // namespace quarnel::win32
