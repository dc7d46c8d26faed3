#pragma once

#include "excel/win32/com.hpp"
#include "excel/win32/dispatch.hpp"

namespace quarnel::win32 {

// Only objects that wrap an IDispatch of their own can go to COM; others fail with 13.
Variant ToVariant(const excel::Value& value);
// Writes into `out`, which must hold nothing that needs clearing.
void ToVariant(const excel::Value& value, VARIANT& out);

// Numbers of other types come back as 32-bit integers when they are whole and fit, else as Double.
// Objects come back calling through `retry`. Error values fail with their code; others with 13.
excel::Value FromVariant(const VARIANT& value, const BusyRetry& retry = {});

}  // namespace quarnel::win32
