#include "standin/server/refusal_members.hpp"

#include <string>

#include "standin/server/private_arguments.hpp"

namespace quarnel::standin::server {
namespace {

std::string OptionalName(std::span<const excel::Value> args) {
  return args.empty() ? std::string() : excel::ToText(args[0]);
}

}  // namespace

bool AnswerRefusalMember(Model& model, std::string_view name, std::span<const excel::Value> args) {
  if (name == "protectsheet") {
    Arity(args, 1, 1);
    model.ProtectSheet(excel::ToBool(args[0]));
  } else if (name == "addchartsheet") {
    Arity(args, 0, 1);
    model.AddChartSheet(OptionalName(args));
  } else if (name == "selectshape") {
    Arity(args, 0, 0);
    model.SelectShape();
  } else if (name == "addhiddenworkbook") {
    Arity(args, 0, 1);
    if (args.empty()) {
      model.AddHiddenWorkbook();
    } else {
      model.AddHiddenWorkbook(OptionalName(args));
    }
  } else if (name == "setcellerror") {
    Arity(args, 3, 3);
    model.SetCellError(excel::ToLong(args[0]), excel::ToLong(args[1]), excel::ToLong(args[2]));
  } else {
    return false;
  }
  return true;
}

}  // namespace quarnel::standin::server
