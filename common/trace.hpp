#pragma once

#include <string>
#include <string_view>

#include "common/failure.hpp"

// What the program passes over by design (a window that leads to no Excel, a step of the attachment
// that failed, a clean-up that did not work) is written for a support person, one line each, and
// never shown to the user. The programs send it to the debugger's output; nothing keeps it.
namespace quarnel::trace {

// May throw: what it throws is swallowed.
using Sink = void (*)(std::string_view line);

// Where the lines go; nowhere until this is called.
void SetSink(Sink sink) noexcept;

// "<place>: <number> <description> (<file>:<line>)", the number as Windows writes an HRESULT when
// it is one, and the place in the source that raised the failure last.
std::string Line(std::string_view place, const Failure& failure);

void PassedOver(std::string_view place, const Failure& failure) noexcept;
// The failure that the exception being handled stands for. Call it only inside a catch block.
void PassedOverCurrent(std::string_view place) noexcept;

}  // namespace quarnel::trace
