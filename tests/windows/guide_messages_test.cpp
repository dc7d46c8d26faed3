// The Windows side's own texts are explained in the users' guide too: COM's failures in the
// tool's words, the busy and stopped calls, and the question about an Excel that does not answer.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "app/win32/desktop.hpp"
#include "excel/win32/com_failure.hpp"
#include "support/guide.hpp"

namespace quarnel::win32 {
namespace {

TEST(WindowsGuide, ExplainsEveryTextOfTheToolsOwnForExcelAndComFailures) {
  const std::string guide = test_support::GuideText(test_support::GuidePath(QUARNEL_SOURCE_DIR));
  ASSERT_NE(guide.find("## 8."), std::string::npos);
  const HRESULT ours[] = {RPC_E_CALL_REJECTED,
                          RPC_E_CALL_CANCELED,
                          CO_E_CLASSSTRING,
                          REGDB_E_CLASSNOTREG,
                          CO_E_SERVER_EXEC_FAILURE,
                          RPC_E_DISCONNECTED,
                          HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE),
                          static_cast<HRESULT>(0x8004F3A7)};  // no text anywhere: "自动化错误"
  for (const HRESULT hr : ours) {
    const std::string text = FailureFromHresult(hr).Description();
    // Where the system has words of its own, those are shown, and no guide can list them all.
    if (text == SystemMessage(hr)) continue;
    EXPECT_TRUE(test_support::GuideShows(guide, text)) << std::hex << hr << ": " << text;
  }
  EXPECT_TRUE(test_support::GuideShows(guide, KeepWaitingQuestion(std::chrono::seconds(45)), {"45"}));
}

}  // namespace
}  // namespace quarnel::win32
