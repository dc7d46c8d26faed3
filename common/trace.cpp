#include "common/trace.hpp"

#include <cstdio>
#include <string>

namespace quarnel::trace {
namespace {

Sink sink = nullptr;

}  // namespace

void SetSink(Sink to) noexcept { sink = to; }

std::string Line(std::string_view place, const Failure& failure) {
  char number[16];
  if (failure.Number() < 0) {
    std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(failure.Number()));
  } else {
    std::snprintf(number, sizeof number, "%d", static_cast<int>(failure.Number()));
  }
  std::string line(place);
  line += ": ";
  line += number;
  line += ' ';
  line += failure.Description();
  const SourcePlace& origin = failure.Origin();
  if (origin.line != 0) {
    line += " (";
    line += origin.file;
    line += ':';
    line += std::to_string(origin.line);
    line += ')';
  }
  return line;
}

// The one catch of the trace: a line it has no memory for goes unwritten.
template <typename MakeFailure>
void Write(std::string_view place, MakeFailure&& failure) noexcept {
  if (!sink) return;
  try {
    sink(Line(place, failure()));
  } catch (...) {
  }
}

void PassedOver(std::string_view place, const Failure& failure) noexcept {
  Write(place, [&]() -> const Failure& { return failure; });
}

void PassedOverCurrent(std::string_view place) noexcept {
  Write(place, [] { return CurrentFailure(); });
}

}  // namespace quarnel::trace
