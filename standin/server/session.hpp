#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "common/win32/win_headers.hpp"
#include "standin/model/model.hpp"
#include "standin/server/call_pacing.hpp"

namespace quarnel::standin::server {

// What every automation object of one server shares: the model, the COM-level call counters, how
// calls are answered, and what to do once a call has changed the model.
struct Session : std::enable_shared_from_this<Session> {
  Model model;
  std::uint64_t get_ids_of_names = 0;
  std::uint64_t invokes = 0;
  // The application object, which the Window objects lead to; it enters itself here.
  IDispatch* application = nullptr;
  bool classicFrames = false;  // Excel 2010's one frame for every workbook
  LCID onlyLocale = 0;         // else calls made in any other locale are refused
  CallPacing pacing;
  std::function<HWND(const WorkbookState&)> frameOf;  // the frame that shows a workbook, or null
  std::function<void()> changed;                      // after every call, answered or failed
  std::function<void()> quit;                         // once, after the call in which the application quit
  std::function<void()> deactivated;     // each time Excel's windows lose the focus to another program
  std::function<void()> closedByPerson;  // a person closed Excel's window; without it, that quits
  std::uint64_t connections = 0;         // strong holds of clients on any object, as COM reports them

  void AfterCall() {
    if (changed) changed();
    if (model.HasQuit() && !quitting_) {
      quitting_ = true;
      if (quit) quit();
    }
  }

 private:
  bool quitting_ = false;
};

// Window handles keep to 32 significant bits, even in 64-bit processes: a Long carries them.
inline std::int32_t LongOf(HWND window) { return static_cast<std::int32_t>(HandleToLong(window)); }

}  // namespace quarnel::standin::server
