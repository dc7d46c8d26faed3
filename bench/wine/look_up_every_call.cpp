#include "bench/wine/look_up_every_call.hpp"

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "common/win32/utf16.hpp"
#include "excel/win32/dispatch.hpp"

namespace quarnel::bench {

IDispatch* RawOf(const excel::Object& object) {
  return dynamic_cast<const win32::DispatchClient&>(*object.Get()).Raw();
}

excel::Object LookUpEveryCall::Wrap(const excel::Object& object) {
  return object ? excel::Object(std::make_shared<LookUpEveryCall>(object)) : object;
}

excel::Value LookUpEveryCall::Invoke(std::string_view member, excel::CallKind kind,
                                     std::span<const excel::Value> args) {
  std::wstring name = win32::ToUtf16(member);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  // Its answer is the client's to give: a name it does not know fails there as it would here.
  RawOf(inner_)->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  // The client passes on only objects of its own.
  std::vector<excel::Value> unwrapped(args.begin(), args.end());
  for (excel::Value& arg : unwrapped) {
    if (const auto* object = std::get_if<excel::Object>(&arg); object && *object) {
      if (const auto* naive = dynamic_cast<const LookUpEveryCall*>(object->Get())) arg = naive->inner_;
    }
  }
  excel::Value result = inner_.Get()->Invoke(member, kind, unwrapped);
  if (const auto* object = std::get_if<excel::Object>(&result)) return Wrap(*object);
  return result;
}

}  // namespace quarnel::bench
