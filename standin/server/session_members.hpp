#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "excel/automation.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// The server's own members that shape how it answers and lead to its windows, named here without
// their "Standin" prefix and case-folded:
//   StandinLcidOnly(lcid)        calls made in any other locale fail with 0x80028018, as from an
//                                Excel without that language pack; 0 takes every locale again
//   StandinHangFor(ms)           the next call answers only after that long, the server blocked
//   StandinSlowFor(ms, delay)    every call in the next ms answers that much later
//   StandinClassicTitles(flag)   True: Excel 2010's one frame, titled "<Caption> - <workbook>";
//                                False: a frame per workbook, titled "<workbook> - Excel"
//   StandinEndSeesHidden(flag)   True: Range.End stops on hidden rows and columns as on shown ones;
//                                False: it moves as if they were not there
//   StandinWindow                the frame Hwnd answers (0 for none)
//   StandinFrame(workbook)       the frame that shows that workbook (0 for none: a hidden one)
// Answers the call, or nothing when `name` is none of them.
std::optional<excel::Value> AnswerSessionMember(Session& session, std::string_view name,
                                                std::span<const excel::Value> args);

}  // namespace quarnel::standin::server
