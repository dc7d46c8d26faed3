#pragma once

#include <cstdint>
#include <string>

#include "common/failure.hpp"
#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

// Excel's own "busy, call ignored", which it answers while a modal state keeps it from running a call.
inline constexpr HRESULT kVbaIgnore = errors::kIgnored;

// Busy Excel (a cell in edit mode, a dialog open) refuses calls with these, having run nothing:
// COM's rejection, COM's "retry later", and Excel's own VBA_E_IGNORE.
bool IsBusy(HRESULT hr) noexcept;
// Whether an Invoke's DISP_E_EXCEPTION is a busy answer: its scode, once deferred fields are
// filled in, is one of the above. Leaves `info` filled in and its strings owned by the caller.
bool IsBusyException(EXCEPINFO& info);
// The scode of an Invoke's DISP_E_EXCEPTION when it is an answer that asks for the call again: busy,
// or the caller's locale turned away (TYPE_E_INVDATAREAD, which an English Excel may give there);
// else S_OK. Leaves `info` filled in.
HRESULT RetryableException(EXCEPINFO& info);

// The failure a caller sees for an HRESULT: numbers as Excel's own error boxes show them.
Failure FailureFromHresult(HRESULT hr);
// The failure that an Invoke reported through EXCEPINFO. Fills in deferred fields first, and
// frees the strings, so `info` must not be read afterwards.
Failure FailureFromException(EXCEPINFO& info);

// The system's text for an HRESULT, without trailing line breaks; empty when it has none.
std::string SystemMessage(HRESULT hr);

}  // namespace quarnel::win32
