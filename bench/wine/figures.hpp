#pragma once

// What one way of working took, and the medians and spreads over repeats.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"

namespace quarnel::bench {

// One figure a line, as "name: value".
inline void Print(const std::string& name, double value) { std::printf("%s: %.3f\n", name.c_str(), value); }
inline void Print(const std::string& name, std::int64_t value) {
  std::printf("%s: %lld\n", name.c_str(), static_cast<long long>(value));
}

// Wall time, and the processor time this process spent in it: the second is the client's own
// work, which a busy machine stretches far less than the round trips.
struct LoopTiming {
  double ms = 0;
  double cpuMs = 0;
  std::int64_t lines = 0;
  double PerLine() const { return ms / double(lines); }
  double CpuPerLine() const { return cpuMs / double(lines); }
};

class Stopwatch {
 public:
  Stopwatch() : wall_(Clock::now()), cpu_(CpuMs()) {}
  LoopTiming Stop(std::int64_t lines) const {
    return {std::chrono::duration<double, std::milli>(Clock::now() - wall_).count(), CpuMs() - cpu_, lines};
  }

 private:
  using Clock = std::chrono::steady_clock;
  static double CpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) {
      return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
    };
    return double(ticks(kernel) + ticks(user)) / 10'000;  // 100 ns ticks
  }
  Clock::time_point wall_;
  double cpu_;
};

class Series {
 public:
  void Add(double value) { values_.push_back(value); }
  bool Empty() const { return values_.empty(); }
  double Median() const {
    std::vector<double> sorted = values_;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  }
  // (max - min) / median, in percent.
  double SpreadPercent() const {
    const auto [low, high] = std::minmax_element(values_.begin(), values_.end());
    return (*high - *low) / Median() * 100;
  }

 private:
  std::vector<double> values_;
};

// Per line, one value a repeat.
struct Side {
  Series record, restore, recordCpu, restoreCpu;
  void Add(const LoopTiming& recorded, const LoopTiming& restored) {
    record.Add(recorded.PerLine());
    restore.Add(restored.PerLine());
    recordCpu.Add(recorded.CpuPerLine());
    restoreCpu.Add(restored.CpuPerLine());
  }
};

}  // namespace quarnel::bench
