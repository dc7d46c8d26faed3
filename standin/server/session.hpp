#pragma once

#include <cstdint>
#include <functional>

#include "common/win32/win_headers.hpp"
#include "standin/model/model.hpp"

namespace quarnel::standin::server {

// What every automation object of one server shares: the model, the COM-level call counters and
// what to do once a call has changed the model.
struct Session {
  Model model;
  std::uint64_t get_ids_of_names = 0;
  std::uint64_t invokes = 0;
  HWND window = nullptr;
  // The application object, for the workbook window's Window object; the server owns it.
  IDispatch* application = nullptr;
  std::function<void()> changed;      // after every call, answered or failed
  std::function<void()> quit;         // once, after the call in which the application quit
  std::function<void()> deactivated;  // each time the main window loses the focus

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

}  // namespace quarnel::standin::server
