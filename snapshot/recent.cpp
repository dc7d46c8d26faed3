#include "snapshot/recent.hpp"

#include <algorithm>
#include <utility>

#include "snapshot/name.hpp"

namespace quarnel::snapshot {

std::vector<FoundFile> RecentSnapshots(FileSystem& files, const std::string& folder, std::size_t most) {
  std::vector<FoundFile> found = files.ListText(folder);
  std::erase_if(found, [](const FoundFile& file) { return file.name.find(kTag) == std::string::npos; });
  const auto newer = [](const FoundFile& a, const FoundFile& b) {
    return std::pair(a.written, a.name) > std::pair(b.written, b.name);
  };
  const std::size_t kept = std::min(most, found.size());
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(kept), found.end(), newer);
  found.resize(kept);
  return found;
}

}  // namespace quarnel::snapshot
