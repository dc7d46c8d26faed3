#pragma once

#include <string_view>

#include "excel/automation.hpp"

namespace quarnel::excel {

// How the tool finds Excel. Every member throws Failure when it cannot do what it says.
class Connector {
 public:
  virtual ~Connector() = default;
  // The running instance registered for the ProgID.
  virtual Object GetRunning(std::string_view progId) = 0;
  // A new instance of the ProgID.
  virtual Object Start(std::string_view progId) = 0;
  // Brings to the front the top-level window whose title equals, or else begins with, `title`.
  virtual void ActivateWindow(std::string_view title) = 0;
};

}  // namespace quarnel::excel
