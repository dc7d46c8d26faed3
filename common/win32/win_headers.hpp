#pragma once

// The Windows and COM headers, less wingdi's GetObject macro: with it, every file that sees it
// calls excel::Object::GetObject as GetObjectW, which nothing defines. Include this, not
// <windows.h>, wherever Object is used; call the GDI function as GetObjectW.

#include <windows.h>
//
#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#ifdef GetObject
#undef GetObject
#endif
