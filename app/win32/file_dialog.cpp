#include "app/win32/file_dialog.hpp"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "common/win32/utf16.hpp"

namespace quarnel::win32 {
namespace {

// Room for a long path; the dialog reports a name that does not fit as a failure.
constexpr std::size_t kNameCapacity = 32768;

Failure DialogFailure(DWORD error) {
  switch (error) {
    case FNERR_BUFFERTOOSMALL: return errors::Catalogued(errors::kBufferTooSmall);
    case FNERR_INVALIDFILENAME: return errors::Catalogued(errors::kBadDialogFileName);
    default: return errors::Catalogued(errors::kDialogFailed);
  }
}

}  // namespace

std::wstring DialogFilter(std::string_view filter) {
  if (filter.empty()) return {};
  std::wstring converted = ToUtf16(filter);
  for (wchar_t& c : converted) {
    if (c == L'|') c = L'\0';
  }
  converted.push_back(L'\0');
  converted.push_back(L'\0');
  return converted;
}

void OpenFileDialog::ShowOpen() {
  std::vector<wchar_t> name(kNameCapacity, L'\0');
  const std::wstring previous = ToUtf16(fileName_);
  std::copy_n(previous.begin(), std::min(previous.size(), kNameCapacity - 1), name.begin());
  const std::wstring filter = DialogFilter(filter_);
  const std::wstring title = ToUtf16(title_);
  const std::wstring initDir = ToUtf16(initDir_);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner_ && IsWindow(owner_) ? owner_ : nullptr;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = initDir.empty() ? nullptr : initDir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  // A typed name of a missing file is not refused here: opening it fails later, with its own error.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;

  if (GetOpenFileNameW(&ofn)) {
    fileName_ = ToUtf8(name.data());
    return;
  }
  const DWORD error = CommDlgExtendedError();
  if (error != 0) throw DialogFailure(error);
  if (cancelError_) throw errors::Catalogued(errors::kDialogCancelled);
}

}  // namespace quarnel::win32
