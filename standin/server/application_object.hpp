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
//   StandinSetBusy(flag)                            reject every other call, as Excel in cell edit
//   StandinFailCall(member, nth, number, text)      the nth call of member from now fails, once
//   StandinQuitAtCall(member, nth)                  the nth call of member finds Excel gone
//   StandinClearFaults
//   StandinIsRowHidden(row), StandinIsColumnHidden(column)   on the active sheet
//   StandinProcessId, StandinWindow                 to wait for the exit, to find the grid
//   and the refusals of refusal_members.hpp (StandinProtectSheet, StandinAddChartSheet, ...)
Microsoft::WRL::ComPtr<IDispatch> MakeApplicationObject(const std::shared_ptr<Session>& session);

}  // namespace quarnel::standin::server
