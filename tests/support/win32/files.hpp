#pragma once

// Files as the tests see them from outside the program under test, through the wide APIs.

#include <string>
#include <string_view>
#include <vector>

namespace quarnel::test_support {

// The names in `folder` that match `pattern`, "." and ".." left out; none when there is no folder.
std::vector<std::wstring> FileNamesIn(const std::wstring& folder, const std::wstring& pattern = L"*");

// Writes `bytes` into a new file, or at the end of an existing one; false when a step failed.
bool WriteBytes(const std::wstring& path, std::string_view bytes, bool append = false);

// The whole file; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);

}  // namespace quarnel::test_support
