#include <gtest/gtest.h>

#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/failure.hpp"
#include "support/failure_number.hpp"
#include "support/guide.hpp"

namespace quarnel {
namespace {

using test_support::FailureLine;
using test_support::FailureOf;

// Each entry under its own number with a text of its own, which the users' guide explains.
TEST(FailureCatalogue, EveryEntryHasOneTextOfItsOwnThatTheGuideExplains) {
  using namespace errors;
  const std::string guide = test_support::GuideText(test_support::GuidePath(QUARNEL_SOURCE_DIR));
  ASSERT_NE(guide.find("## 8."), std::string::npos)
      << "no guide at " << test_support::GuidePath(QUARNEL_SOURCE_DIR);
  std::set<std::string_view> texts;
  for (std::int32_t number = 0; number <= 0xFFFF; ++number) {
    const std::string_view text = Description(number);
    if (text.empty()) continue;
    SCOPED_TRACE(number);
    const Failure failure = Catalogued(number);
    EXPECT_EQ(failure.Number(), number);
    EXPECT_EQ(failure.Description(), text);
    EXPECT_TRUE(texts.insert(text).second) << text;
    EXPECT_TRUE(test_support::GuideShows(guide, std::string(text))) << text;
  }
  // Excel's 24 that users know from its boxes, and two of the tool's own: none dropped.
  EXPECT_EQ(texts.size(), 26u);
  // Numbers the catalogue does not hold, Excel's and the note refusals alike, have no text there.
  EXPECT_TRUE(Description(12345).empty());
  EXPECT_TRUE(Description(kNoteRefused).empty());
  EXPECT_EQ(Catalogued(kDllLoad, " (oleacc.dll)").Description(), "加载 DLL 错误 (oleacc.dll)");
}

TEST(FailureCatalogue, AnyExceptionBecomesAFailureWithItsNumber) {
  EXPECT_EQ(FailureLine(FailureOf([] { throw Failure(1004, "选定区域无效"); })), "1004 选定区域无效");
  EXPECT_EQ(FailureLine(FailureOf([] { throw std::bad_alloc(); })), "7 内存溢出");
  EXPECT_EQ(FailureLine(FailureOf([] { throw std::logic_error("broken"); })), "51 内部错误: broken");
  EXPECT_EQ(FailureOf([] { throw 42; }).Description(), "内部错误");
}

TEST(FailureCatalogue, TheReportNamesTheNumberAsARunTimeError) {
  EXPECT_EQ(RunTimeErrorText(Failure(91, "对象变量或 With 块变量未设置")),
            "运行时错误 '91':\n\n对象变量或 With 块变量未设置");
  // COM numbers that are no Excel error stay negative, as Excel's own boxes show them.
  EXPECT_EQ(RunTimeErrorText(Failure(-2147221021, "操作无法使用")),
            "运行时错误 '-2147221021':\n\n操作无法使用");
}

}  // namespace
}  // namespace quarnel
