#include "standin/server/window_object.hpp"

#include <oleacc.h>

#include "standin/server/automation_object.hpp"

namespace quarnel::standin::server {

std::optional<LRESULT> NativeObjectAnswer(Session& session, const std::shared_ptr<WorkbookState>& book,
                                          WPARAM wParam, LPARAM lParam) {
  // Without the application object the Window would lead to one that lacks the server's members.
  if (static_cast<LONG>(lParam) != OBJID_NATIVEOM || !book || !session.application) return std::nullopt;
  const Microsoft::WRL::ComPtr<IDispatch> window =
      Wrap(session.shared_from_this(), session.model.WindowOf(book));
  return LresultFromObject(IID_IDispatch, wParam, window.Get());
}

}  // namespace quarnel::standin::server
