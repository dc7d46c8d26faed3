#pragma once

#include <string>
#include <string_view>

#include "common/win32/win_headers.hpp"

namespace quarnel::standin::server {

// A class of a local server under the user's own classes (HKCU\Software\Classes), which Windows
// reads before the machine's, so no administrator is needed. Wine 8 reads only the machine's
// classes (which a Wine prefix lets any user write): there the same keys go there too.
struct ClassRegistration {
  std::wstring progId;
  CLSID clsid;
  std::wstring description;
};

ClassRegistration StandinRegistration();

// Writes ProgID\CLSID, CLSID\{clsid} with LocalServer32 (the quoted path) and ProgID, and
// succeeds only when the ProgID then resolves to the class.
HRESULT Register(const ClassRegistration& entry, std::wstring_view exePath);
// Removes the class, and the ProgID only while it still names our class: a ProgID that another
// program has since taken over is left alone. Removing what is absent succeeds.
HRESULT Unregister(const ClassRegistration& entry);

std::wstring GuidText(const GUID& guid);

}  // namespace quarnel::standin::server
