#pragma once

#include <string>
#include <string_view>

#include "common/desktop.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// `CommonDialog1`: the common file-open dialog, with the properties the restore command sets.
class OpenFileDialog final : public FileDialog {
 public:
  void SetOwner(HWND owner) noexcept { owner_ = owner; }

  void SetDialogTitle(std::string_view title) override { title_ = title; }
  void SetFilter(std::string_view filter) override { filter_ = filter; }
  void SetCancelError(bool cancelError) override { cancelError_ = cancelError; }
  void SetInitDir(std::string_view folder) override { initDir_ = folder; }
  void ShowOpen() override;
  std::string FileName() const override { return fileName_; }

 private:
  HWND owner_ = nullptr;
  std::string title_;
  std::string filter_;
  bool cancelError_ = false;
  std::string initDir_;
  std::string fileName_;
};

// "description|pattern|description|pattern" as the dialog takes it: NUL after each piece and one
// more at the end. Empty for an empty filter.
std::wstring DialogFilter(std::string_view filter);

}  // namespace quarnel::win32
