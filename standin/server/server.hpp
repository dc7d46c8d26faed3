#pragma once

#include "standin/server/switches.hpp"

namespace quarnel::standin::server {

// Runs the stand-in until its application quits: the window, the running object table entry and,
// when COM started it, the class object. Returns the process's exit code.
int RunServer(const Switches& switches);

}  // namespace quarnel::standin::server
