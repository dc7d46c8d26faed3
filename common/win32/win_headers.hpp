#pragma once

// The one way in for the Windows and COM headers (the build refuses <windows.h>, <ole2.h> and
// <oleauto.h> anywhere else), less the macros that rename the code's own names: with wingdi's
// GetObject, a file that sees it calls excel::Object::GetObject as GetObjectW, which nothing
// defines. Call the GDI function as GetObjectW. Other Windows headers come after this one.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
//
#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#ifdef GetObject
#undef GetObject
#endif
