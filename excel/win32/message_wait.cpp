#include "excel/win32/message_wait.hpp"

#include <optional>

#include "common/win32/win_headers.hpp"

namespace quarnel::win32 {

void WaitTakingMessages(std::chrono::milliseconds time) {
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + time;
  std::optional<WPARAM> quit;
  for (;;) {
    MSG message{};
    while (!quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = message.wParam;
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const auto now = Clock::now();
    if (now >= until) break;
    const auto left = static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(until - now).count());
    // Once the program is ending nothing more is dispatched; the wait itself still runs out.
    if (quit) {
      Sleep(left);
    } else {
      MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  }
  if (quit) PostQuitMessage(static_cast<int>(*quit));
}

}  // namespace quarnel::win32
