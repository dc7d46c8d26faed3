#include "standin/model/member.hpp"

#include <chrono>
#include <optional>

#include "standin/model/address.hpp"
#include "standin/model/failures.hpp"

namespace quarnel::standin {
namespace {

// Turns the call away when Excel is busy or a fault armed for it fires.
void Admit(AppState& app, const std::string& name) {
  if (app.quit) throw Disconnected();
  ++app.totalCalls;
  ++app.calls[name];
  if (const BusyKind busy = app.BusyNow(); busy != BusyKind::None) throw BusyFailure(busy);
  std::optional<Fault> fired;
  for (Fault& fault : app.faults) {
    if (fault.member != name || --fault.callsLeft != 0) continue;
    if (!fired) fired = fault;
    if (fault.lasting) fault.callsLeft = 1;
  }
  std::erase_if(app.faults, [](const Fault& fault) { return fault.callsLeft == 0; });
  if (!fired) return;
  if (fired->quit) {
    app.quit = true;
    throw Disconnected();
  }
  if (fired->busy != BusyKind::None) {
    app.busy = fired->busy;
    app.busyUntil = std::chrono::steady_clock::now() + fired->busyFor;
    throw BusyFailure(fired->busy);
  }
  throw Failure(fired->number, fired->description);
}

}  // namespace

void Call::Arity(std::size_t least, std::size_t most) const {
  if (args.size() < least) throw ArgumentNotOptional();
  if (args.size() > most) throw WrongArgumentCount();
}

void Call::ReadOnly() const {
  if (IsPut()) throw errors::NotSupported();
}

excel::Value Member::Invoke(std::string_view member, excel::CallKind kind,
                            std::span<const excel::Value> args) {
  Call call{FoldCase(member), kind, args};
  Admit(*app_, call.name);
  if (kind == excel::CallKind::Put) {
    if (args.empty()) throw ArgumentNotOptional();
    call.assigned = &args.back();
    call.args = args.first(args.size() - 1);
  }
  return Answer(call);
}

std::int32_t Number(const excel::Value& value) {
  try {
    return excel::ToLong(value);
  } catch (const Failure& failure) {
    // Too large for a Long is simply no row or column.
    if (failure.Number() == Overflow().Number()) throw ApplicationDefined();
    throw;
  }
}

std::int32_t RowIn(const excel::Value& value) {
  const std::int32_t row = Number(value);
  if (row < 1 || row > kMaxRows) throw ApplicationDefined();
  return row;
}

std::int32_t ColumnIn(const excel::Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (auto column = ColumnFromLetters(*text)) return *column;
  }
  const std::int32_t column = Number(value);
  if (column < 1 || column > kMaxColumns) throw ApplicationDefined();
  return column;
}

}  // namespace quarnel::standin
