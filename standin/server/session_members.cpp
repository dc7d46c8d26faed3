#include "standin/server/session_members.hpp"

#include "standin/model/address.hpp"
#include "standin/server/private_arguments.hpp"

namespace quarnel::standin::server {

std::optional<excel::Value> AnswerSessionMember(Session& session, std::string_view name,
                                                std::span<const excel::Value> args) {
  if (name == "lcidonly") {
    Arity(args, 1, 1);
    const std::int32_t locale = excel::ToLong(args[0]);
    if (locale < 0) throw ApplicationDefined();
    session.onlyLocale = static_cast<LCID>(locale);
  } else if (name == "hangfor") {
    Arity(args, 1, 1);
    session.pacing.HangNext(Milliseconds(args[0]));
  } else if (name == "slowfor") {
    Arity(args, 2, 2);
    session.pacing.SlowFor(Milliseconds(args[0]), Milliseconds(args[1]));
  } else if (name == "freezefor") {
    Arity(args, 1, 1);
    const auto time = Milliseconds(args[0]);
    if (!PostThreadMessageW(GetCurrentThreadId(), kFreezeMessage, static_cast<WPARAM>(time.count()), 0))
      throw ApplicationDefined();
  } else if (name == "classictitles") {
    Arity(args, 1, 1);
    session.classicFrames = excel::ToBool(args[0]);
  } else if (name == "protectedview") {
    Arity(args, 1, 2);
    const bool open = excel::ToBool(args[0]);
    session.model.OpenProtectedView(open ? (args.size() == 2 ? excel::ToText(args[1]) : "Downloaded.xlsx")
                                         : "");
  } else if (name == "endseeshidden") {
    Arity(args, 1, 1);
    session.model.SetEndSeesHidden(excel::ToBool(args[0]));
  } else if (name == "areaslimit") {
    Arity(args, 1, 1);
    const std::int32_t limit = excel::ToLong(args[0]);
    if (limit < 0) throw ApplicationDefined();
    session.model.SetAreasLimit(limit);
  } else if (name == "merge") {
    Arity(args, 1, 1);
    const auto block = ParseRangeAddress(excel::ToText(args[0]));
    if (!block) throw ApplicationDefined();
    session.model.Merge(block->top, block->left, block->bottom, block->right);
  } else if (name == "window") {
    Arity(args, 0, 0);
    return session.model.FrameHandle();
  } else if (name == "frame") {
    Arity(args, 1, 1);
    const auto book = session.model.Workbook(excel::ToText(args[0]));
    return session.frameOf ? LongOf(session.frameOf(*book)) : 0;
  } else {
    return std::nullopt;
  }
  return excel::Value{};
}

}  // namespace quarnel::standin::server
