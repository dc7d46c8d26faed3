#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "excel/automation.hpp"
#include "standin/server/session.hpp"

namespace quarnel::standin::server {

// What StandinFreezeFor posts to the server's own thread, the time in wParam: the message loop
// takes it only after the answer has gone out.
inline constexpr UINT kFreezeMessage = WM_APP + 1;

// The server's own members that shape how it answers and lead to its windows, named here without
// their "Standin" prefix and case-folded:
//   StandinLcidOnly(lcid)        calls made in any other locale fail with 0x80028018, as from an
//                                Excel without that language pack; 0 takes every locale again
//   StandinHangFor(ms)           the next call answers only after that long, the server blocked
//   StandinSlowFor(ms, delay)    every call in the next ms answers that much later
//   StandinFreezeFor(ms)         once this call is answered, the server's thread stops for that
//                                long, as a long recalculation stops Excel's: no window message and
//                                no call is answered meanwhile
//   StandinClassicTitles(flag)   True: Excel 2010's one frame, titled "<Caption> - <workbook>";
//                                False: a frame per workbook, titled "<workbook> - Excel"
//   StandinProtectedView(flag[, name])  True: a file (Downloaded.xlsx) opens in Protected View, its
//                                window in front, not in Workbooks; False: it is closed
//   StandinEndSeesHidden(flag)   True: Range.End stops on hidden rows and columns as on shown ones;
//                                False: it moves as if they were not there
//   StandinAreasLimit(n)         beyond n areas SpecialCells answers the whole range, as Excel
//                                up to 2007 did; 0 (the default) sets no limit
//   StandinMerge(address)        merges the block of the active sheet ("A3:A5"), which must not
//                                overlap one merged before
//   StandinWindow                the frame Hwnd answers (0 for none)
//   StandinFrame(workbook)       the frame that shows that workbook (0 for none: a hidden one)
// Answers the call, or nothing when `name` is none of them.
std::optional<excel::Value> AnswerSessionMember(Session& session, std::string_view name,
                                                std::span<const excel::Value> args);

}  // namespace quarnel::standin::server
