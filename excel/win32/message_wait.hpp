#pragma once

#include <chrono>

namespace quarnel::win32 {

// Lets `time` pass while the calling thread's windows go on taking their messages, so that none of
// them is marked "Not Responding" however long a wait on Excel lasts. A WM_QUIT that arrives is
// left for the thread's own message loop.
void WaitTakingMessages(std::chrono::milliseconds time);

}  // namespace quarnel::win32
