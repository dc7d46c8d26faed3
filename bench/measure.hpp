#pragma once

// What the in-process figures share: printing, giving up, the measure of one command, and the
// chosen file the restores read.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "standin/model/model.hpp"

namespace quarnel::bench {

inline constexpr std::int32_t kSnapshotColumns = 256;
inline constexpr const char* kChosen = "C:\\Bench\\chosen.txt";

inline void Print(const std::string& name, double value) { std::printf("%s: %.3f\n", name.c_str(), value); }
inline void Print(const std::string& name, std::uint64_t value) {
  std::printf("%s: %llu\n", name.c_str(), static_cast<unsigned long long>(value));
}

[[noreturn]] inline void Fail(const std::string& why) {
  std::fprintf(stderr, "quarnel_bench: %s\n", why.c_str());
  std::exit(1);
}

struct Measured {
  double wallMs = 0;
  double cpuMs = 0;
  std::uint64_t calls = 0;
};

template <typename Command>
Measured Measure(standin::Model& model, Command command) {
  model.ResetCounters();
  const std::clock_t cpu = std::clock();
  const auto wall = std::chrono::steady_clock::now();
  command();
  Measured m;
  m.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count();
  m.cpuMs = 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
  m.calls = model.TotalCalls();
  return m;
}

// The figures, each printing its own lines.
void RecordRestoreFigures(std::int32_t rows, std::int32_t columns);
void LoadFigures();
void RunsFigures();

}  // namespace quarnel::bench
