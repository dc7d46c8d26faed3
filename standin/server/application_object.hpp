#pragma once

#include <memory>

#include "standin/server/automation_object.hpp"

namespace quarnel::standin::server {

// The application object, which also answers the server's own members for tests and benchmarks
// (all named "Standin..."; they are not counted and work while busy):
//   StandinGetIDsOfNamesCount, StandinInvokeCount   COM calls answered since the last reset
//   StandinCounters                                 "getidsofnames=N;invoke=M"
//   StandinCalls(member), StandinTotalCalls         the model's calls, per member and in all
//   StandinResetCounters                            all of the above back to 0
//   StandinSetBusy(kind)                            turn every other call away, as Excel in cell edit:
//                                                   False/0 not busy, True/1 rejected, 2 retry later,
//                                                   3 VBA_E_IGNORE, 4 VBA_E_IGNORE inside EXCEPINFO
//   StandinBusyFor(kind, milliseconds)              busy from now for that long
//   StandinBusyAtCall(member, nth, kind, milliseconds)  the nth call of member from now finds
//                                                   Excel busy, and it stays so for that long
//   StandinFailCall(member, nth, number, text[, lasting])  the nth call of member from now fails:
//                                                   once, or with lasting True on every call after
//   StandinQuitAtCall(member, nth)                  the nth call of member finds Excel gone
//   StandinClearFaults
//   StandinIsRowHidden(row), StandinIsColumnHidden(column)   on the active sheet
//   StandinProcessId                                to wait for the exit
//   the refusals of refusal_members.hpp (StandinProtectSheet, StandinAddChartSheet, ...)
//   and the members of session_members.hpp (StandinWindow, StandinFrame, StandinHangFor, ...)
// It is the session's application: every Window object's Application answers it.
Microsoft::WRL::ComPtr<IDispatch> MakeApplicationObject(const std::shared_ptr<Session>& session);

}  // namespace quarnel::standin::server
