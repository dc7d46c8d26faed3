#pragma once

// The users' guide as the tests read it: every message the program can show must stand in it.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel::test_support {

// The guide in the source tree, whatever the system's code page.
inline std::filesystem::path GuidePath(const char* sourceDir) {
  return std::filesystem::path(sourceDir) / "docs" / u8"使用说明.md";
}

// The guide's text with Markdown's escaped "|" (inside tables) taken as it reads.
inline std::string GuideText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::string text = bytes.str();
  for (std::size_t at = 0; (at = text.find("\\|", at)) != std::string::npos;) text.erase(at, 1);
  return text;
}

// Whether `guide` quotes `message`, line breaks aside; where the message holds one of `varying`
// (a length, a number of seconds) the guide may write a short placeholder such as "N" instead.
inline bool GuideShows(const std::string& guide, std::string message,
                       const std::vector<std::string>& varying = {}) {
  constexpr std::size_t kPlaceholder = 8;  // bytes: "N", "M", "…"
  std::erase(message, '\n');
  std::string marked = message;
  for (const std::string& value : varying) {
    for (std::size_t at = 0; (at = marked.find(value, at)) != std::string::npos;)
      marked.replace(at, value.size(), "\x01");
  }
  std::vector<std::string> pieces(1);
  for (char c : marked) {
    if (c == '\x01') {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  for (std::size_t start = guide.find(pieces[0]); start != std::string::npos;
       start = guide.find(pieces[0], start + 1)) {
    std::size_t end = start + pieces[0].size();
    bool all = true;
    for (std::size_t i = 1; i < pieces.size() && all; ++i) {
      const std::size_t next = guide.find(pieces[i], end);
      all = next != std::string::npos && next - end <= kPlaceholder;
      if (all) end = next + pieces[i].size();
    }
    if (all) return true;
  }
  return false;
}

}  // namespace quarnel::test_support
