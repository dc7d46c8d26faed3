#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/win32/win_headers.hpp"

namespace quarnel::standin::server {

// One numbering of member names, compared without regard to case, so a client that caches a
// DISPID from one object can use it on any other. As Excel's come from its type library, the
// numbers come from the names themselves: the same in every instance. DISPID_VALUE is the default
// member.
DISPID DispIdOf(std::string_view member);
// The case-folded name behind a DISPID; nothing for a number this process has not handed out.
std::optional<std::string> MemberOf(DISPID id);

}  // namespace quarnel::standin::server
