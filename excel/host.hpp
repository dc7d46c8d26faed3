#pragma once

#include "common/desktop.hpp"
#include "excel/connector.hpp"

namespace quarnel {

// What a command runs against: the way to Excel and the desktop around the tool.
struct Host {
  excel::Connector& connector;
  Desktop& desktop;
};

}  // namespace quarnel
