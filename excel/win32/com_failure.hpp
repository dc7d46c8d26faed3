#pragma once

#include <cstdint>
#include <string>

#include "common/failure.hpp"
#include "excel/win32/win_headers.hpp"

namespace quarnel::win32 {

// Busy Excel (a cell in edit mode) refuses calls with these.
bool IsBusy(HRESULT hr) noexcept;

// The failure a caller sees for an HRESULT: numbers as Excel's own error boxes show them.
Failure FailureFromHresult(HRESULT hr);
// The failure that an Invoke reported through EXCEPINFO. Fills in deferred fields first, and
// frees the strings, so `info` must not be read afterwards.
Failure FailureFromException(EXCEPINFO& info);

// The system's text for an HRESULT, without trailing line breaks; empty when it has none.
std::string SystemMessage(HRESULT hr);

}  // namespace quarnel::win32
