#pragma once

#include "excel/win32/com.hpp"
#include "excel/win32/dispatch.hpp"

namespace quarnel::win32 {

// Only objects that wrap an IDispatch of their own can go to COM; others fail with 13.
Variant ToVariant(const excel::Value& value);
// Writes into `out`, which must hold nothing that needs clearing.
void ToVariant(const excel::Value& value, VARIANT& out);

// Numbers of other types come back as 32-bit integers when they are whole and fit, else as Double.
// Objects come back calling through `retry` and sharing `context` (one of their own without it).
// A cell's error value (#N/A) comes back as an ErrorValue; any other error fails with its HRESULT,
// and a type with no counterpart with 13.
excel::Value FromVariant(const VARIANT& value, const BusyRetry& retry = {},
                         const std::shared_ptr<CallContext>& context = nullptr);

}  // namespace quarnel::win32
