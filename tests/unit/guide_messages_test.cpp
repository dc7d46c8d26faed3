// Every message the program can show is explained in the users' guide (section 8 of
// docs/使用说明.md). The Windows side's own texts are checked by the Windows tests.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "common/failure.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/name.hpp"
#include "support/attached_excel.hpp"
#include "support/guide.hpp"

namespace quarnel::test_support {
namespace {

// The lengths a length refusal gives; Windows' own limits stay as they are written.
std::vector<std::string> Lengths(const std::string& text) {
  std::vector<std::string> numbers;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = at;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end > at) {
      const std::string number = text.substr(at, end - at);
      if (number != "255" && number != "259") numbers.push_back(number);
    }
    at = end > at ? end : at + 1;
  }
  return numbers;
}

class GuideTest : public PlanInFrontTest {
 protected:
  const std::string guide = GuideText(GuidePath(QUARNEL_SOURCE_DIR));
};

// The catalogue's own texts are checked with the catalogue.
TEST_F(GuideTest, ExplainsEveryMessageOfTheCommands) {
  ASSERT_NE(guide.find("## 8."), std::string::npos) << "no guide at " << GuidePath(QUARNEL_SOURCE_DIR);
  for (const char* note : {"a/b", "a\tb"}) {
    const std::string text = snapshot::RefuseNote(note)->Description();
    EXPECT_TRUE(GuideShows(guide, text)) << text;
  }
  const std::string longText(300, 'x');
  const std::string stamp = "20261208090507";
  // The note, the note in the path, the workbook's name, the folder: each refusal's own words.
  struct Names {
    std::string workbook, note, folder;
  };
  const Names refused[] = {{"Plan.xlsx", longText, "C:"},
                           {"Plan.xlsx", std::string(10, 'n'), "C:\\" + std::string(220, 'f')},
                           {longText + ".xlsx", "", "C:"},
                           {"Plan.xlsx", "", "C:\\" + longText}};
  for (const Names& names : refused) {
    const std::string text =
        snapshot::RefuseLength(names.workbook, names.note, stamp, names.folder)->Description();
    EXPECT_TRUE(GuideShows(guide, text, Lengths(text))) << text;
  }
  // The completion of a restore, as the command shows it.
  Restore("");
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_TRUE(GuideShows(guide, desktop.messages[0].text)) << desktop.messages[0].text;
}

}  // namespace
}  // namespace quarnel::test_support
