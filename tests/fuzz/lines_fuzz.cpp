#include <cstdio>
#include <cstdlib>

#include "fuzz/checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto broken = quarnel::fuzz::CheckLines({data, size})) {
    std::fprintf(stderr, "broken: %s\n", broken->c_str());
    std::abort();
  }
  return 0;
}
