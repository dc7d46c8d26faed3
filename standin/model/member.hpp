#pragma once

// What every late-bound object of the model shares: the call as the objects see it, the check that
// admits a call (busy, armed faults), and the readers of row and column arguments. Only the
// model's objects include this.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "excel/automation.hpp"
#include "standin/model/failures.hpp"
#include "standin/model/state.hpp"

namespace quarnel::standin {

using AppPtr = std::shared_ptr<AppState>;

// One call as the objects see it: for a write the assigned value is split off the arguments.
struct Call {
  std::string name;  // case-folded
  excel::CallKind kind;
  std::span<const excel::Value> args;
  const excel::Value* assigned = nullptr;

  bool Is(std::string_view folded) const { return name == folded; }
  bool IsPut() const { return kind == excel::CallKind::Put; }
  void Arity(std::size_t least, std::size_t most) const;
  // A read-only member written, or a method given a value, is a member the object does not have.
  void ReadOnly() const;
};

// An object of the model: each call is counted and admitted before the object answers it.
class Member : public excel::Dispatch {
 public:
  explicit Member(AppPtr app) : app_(std::move(app)) {}

  excel::Value Invoke(std::string_view member, excel::CallKind kind,
                      std::span<const excel::Value> args) final;

 protected:
  virtual excel::Value Answer(const Call& call) = 0;
  AppPtr app_;
};

// An object that stands for one workbook or sheet of the model. Once that is closed or deleted,
// every call fails, as Excel's objects do when what they stood for is gone.
template <typename State>
class PartOf : public Member {
 public:
  PartOf(AppPtr app, std::weak_ptr<State> part) : Member(std::move(app)), part_(std::move(part)) {}

 protected:
  std::shared_ptr<State> Alive() const {
    auto part = part_.lock();
    if (!part) throw ObjectDeleted();
    return part;
  }
  std::weak_ptr<State> part_;
};

template <typename T, typename... Rest>
excel::Value Make(Rest&&... rest) {
  return excel::Object(std::make_shared<T>(std::forward<Rest>(rest)...));
}

std::int32_t Number(const excel::Value& value);
std::int32_t RowIn(const excel::Value& value);
// A column by number or by letters.
std::int32_t ColumnIn(const excel::Value& value);

}  // namespace quarnel::standin
