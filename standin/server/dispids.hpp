#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/win32/win_headers.hpp"

namespace quarnel::standin::server {

// One process-wide numbering of member names, compared without regard to case, so a client that
// caches a DISPID from one object can use it on any other. DISPID_VALUE is the default member.
DISPID DispIdOf(std::string_view member);
// The case-folded name behind a DISPID; nothing for a number never handed out.
std::optional<std::string> MemberOf(DISPID id);

}  // namespace quarnel::standin::server
