#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/checks.hpp"

// Replays, under the unit tests' sanitizers, the fuzz targets' seeds and every input that once
// made a target fail.

namespace quarnel::test_support {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(const std::string& target) {
  std::vector<fs::path> inputs;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path folder = fs::path(QUARNEL_SOURCE_DIR) / "tests" / "fuzz" / kind / target;
    if (!fs::exists(folder)) continue;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
  }
  return inputs;
}

std::vector<std::uint8_t> Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename Check>
void Replay(const std::string& target, Check check) {
  const auto inputs = Inputs(target);
  // The hand-written seeds at least.
  EXPECT_GE(inputs.size(), 3u) << target;
  for (const auto& path : inputs) {
    const auto bytes = Bytes(path);
    EXPECT_EQ(check(std::span<const std::uint8_t>(bytes)), std::nullopt) << path;
  }
}

TEST(FuzzRegressionsTest, LineReaderInputs) { Replay("lines", fuzz::CheckLines); }

TEST(FuzzRegressionsTest, RestoreInputs) { Replay("restore", fuzz::CheckRestore); }

// The plain reading the line reader is held to.
TEST(FuzzRegressionsTest, ReferenceLineSplitting) {
  EXPECT_EQ(fuzz::SplitLines("a\r\nb\rc\n\nd"), (std::vector<std::string_view>{"a", "b", "c", "", "d"}));
  EXPECT_EQ(fuzz::SplitLines("a\r"), std::vector<std::string_view>{"a"});
  EXPECT_EQ(fuzz::SplitLines("\r\n\r"), (std::vector<std::string_view>{"", ""}));
  EXPECT_TRUE(fuzz::SplitLines("").empty());
}

}  // namespace
}  // namespace quarnel::test_support
