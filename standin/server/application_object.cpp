#include "standin/server/application_object.hpp"

#include <chrono>
#include <limits>
#include <optional>
#include <string>
#include <variant>

#include "standin/model/failures.hpp"
#include "standin/server/private_arguments.hpp"
#include "standin/server/refusal_members.hpp"
#include "standin/server/session_members.hpp"

namespace quarnel::standin::server {
namespace {

using excel::Value;

constexpr std::string_view kPrefix = "standin";

std::int32_t Count(std::uint64_t count) {
  return count > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())
             ? std::numeric_limits<std::int32_t>::max()
             : static_cast<std::int32_t>(count);
}

std::uint64_t Nth(const Value& value) {
  const std::int32_t nth = excel::ToLong(value);
  if (nth < 1) throw ApplicationDefined();
  return static_cast<std::uint64_t>(nth);
}

// True counts as 1, as the switch was a flag before it had kinds.
BusyKind Kind(const Value& value) {
  const std::int32_t kind =
      std::holds_alternative<bool>(value) ? (std::get<bool>(value) ? 1 : 0) : excel::ToLong(value);
  if (kind < 0 || kind > static_cast<std::int32_t>(BusyKind::IgnoredInException)) throw ApplicationDefined();
  return static_cast<BusyKind>(kind);
}

// The members that make the model busy or fail; false when `name` is none of them.
bool ArmFault(Model& model, std::string_view name, std::span<const Value> args) {
  if (name == "setbusy") {
    Arity(args, 1, 1);
    model.SetBusy(Kind(args[0]));
  } else if (name == "busyfor") {
    Arity(args, 2, 2);
    model.SetBusyFor(Kind(args[0]), Milliseconds(args[1]));
  } else if (name == "busyatcall") {
    Arity(args, 4, 4);
    model.BusyAtCall(excel::ToText(args[0]), Nth(args[1]), Kind(args[2]), Milliseconds(args[3]));
  } else if (name == "failcall") {
    Arity(args, 4, 5);
    model.FailCall(excel::ToText(args[0]), Nth(args[1]),
                   Failure(excel::ToLong(args[2]), excel::ToText(args[3])),
                   args.size() == 5 && excel::ToBool(args[4]));
  } else if (name == "quitatcall") {
    Arity(args, 2, 2);
    model.QuitAtCall(excel::ToText(args[0]), Nth(args[1]));
  } else {
    return false;
  }
  return true;
}

// The counters and the active sheet's hidden rows and columns; nothing when `name` is none of them.
std::optional<Value> AnswerReading(Session& session, std::string_view name, std::span<const Value> args) {
  Model& model = session.model;
  if (name == "calls") {
    Arity(args, 1, 1);
    return Count(model.Calls(excel::ToText(args[0])));
  }
  if (name == "isrowhidden" || name == "iscolumnhidden") {
    Arity(args, 1, 1);
    const std::int32_t index = excel::ToLong(args[0]);
    if (index < 1 || index > (name == "isrowhidden" ? kMaxRows : kMaxColumns)) throw ApplicationDefined();
    if (!model.State().ActiveSheet()) throw ApplicationDefined();
    return name == "isrowhidden" ? model.IsRowHidden(index) : model.IsColumnHidden(index);
  }
  const bool reading = name == "getidsofnamescount" || name == "invokecount" || name == "counters" ||
                       name == "totalcalls" || name == "processid";
  if (!reading) return std::nullopt;
  Arity(args, 0, 0);
  if (name == "getidsofnamescount") return Count(session.get_ids_of_names);
  if (name == "invokecount") return Count(session.invokes);
  if (name == "counters") {
    return "getidsofnames=" + std::to_string(session.get_ids_of_names) +
           ";invoke=" + std::to_string(session.invokes);
  }
  if (name == "totalcalls") return Count(model.TotalCalls());
  return static_cast<std::int32_t>(GetCurrentProcessId());
}

class ApplicationObject final : public AutomationObject {
 public:
  explicit ApplicationObject(const std::shared_ptr<Session>& session)
      : AutomationObject(session, session->model.Application()) {
    if (!session->application) session->application = this;
  }
  ~ApplicationObject() override {
    if (Shared().application == this) Shared().application = nullptr;
  }

 private:
  bool IsPrivate(const std::string& folded) const override { return folded.starts_with(kPrefix); }

  Value Answer(const std::string& folded, excel::CallKind kind, std::span<const Value> args) override {
    if (!IsPrivate(folded)) return AutomationObject::Answer(folded, kind, args);
    if (kind == excel::CallKind::Put) throw errors::NotSupported();
    Session& session = Shared();
    Model& model = session.model;
    const std::string_view name = std::string_view(folded).substr(kPrefix.size());
    if (AnswerRefusalMember(model, name, args)) return {};
    if (ArmFault(model, name, args)) return {};
    if (auto answer = AnswerSessionMember(session, name, args)) return *answer;
    if (auto answer = AnswerReading(session, name, args)) return *answer;
    Arity(args, 0, 0);
    if (name == "resetcounters") {
      session.get_ids_of_names = 0;
      session.invokes = 0;
      model.ResetCounters();
    } else if (name == "clearfaults") {
      model.ClearFaults();
    } else {
      throw errors::NotSupported();
    }
    return {};
  }
};

}  // namespace

Microsoft::WRL::ComPtr<IDispatch> MakeApplicationObject(const std::shared_ptr<Session>& session) {
  Microsoft::WRL::ComPtr<IDispatch> object;
  object.Attach(new ApplicationObject(session));
  return object;
}

}  // namespace quarnel::standin::server
