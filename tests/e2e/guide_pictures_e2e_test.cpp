// The guide's pictures show what the tool shows. Run under zh-CN, as scripts/docs-images takes them.

#include <gtest/gtest.h>

#include <iostream>

#include "tests/e2e/fixture.hpp"
#include "tests/e2e/picture.hpp"

namespace quarnel::e2e {
namespace {

// scripts/docs-images reduces each picture to 64 colours, which moves no channel of the palette's
// pixels by more than 5. A button left undrawn moves 1.9% of the pixels below the title bar by more
// than 32, the note box alone 0.9%.
constexpr int kChannelTolerance = 32;
constexpr double kShareTolerance = 0.005;

// The first picture, also the README's: the palette as a user first sees it. Below the title bar
// only, whose colours follow the focus.
TEST_F(QuarnelE2E, GuidePictureOfThePaletteShowsItAsDrawnAtStartUp) {
  const Picture picture = ReadPicture(WindowsPath(QUARNEL_PALETTE_PICTURE));
  ASSERT_FALSE(picture.Empty()) << "cannot read " << QUARNEL_PALETTE_PICTURE;

  Quarnel& q = StartQuarnel();
  ASSERT_NE(q.Window(), nullptr);
  const Picture drawn = Capture(q.Window());
  ASSERT_FALSE(drawn.Empty());
  SaveScreenshot(q.Window(), L"palette-as-drawn");
  ASSERT_EQ(picture.width, drawn.width);
  ASSERT_EQ(picture.height, drawn.height);

  RECT frame{};
  GetWindowRect(q.Window(), &frame);
  POINT client{0, 0};
  ClientToScreen(q.Window(), &client);
  const int belowTitleBar = client.y - frame.top;
  ASSERT_GT(belowTitleBar, 0);
  const double apart = ShareApart(drawn, picture, belowTitleBar, kChannelTolerance);
  std::cout << "[ palette picture ] " << apart * 100 << "% of the pixels below the title bar apart\n";
  EXPECT_LE(apart, kShareTolerance) << QUARNEL_PALETTE_PICTURE
                                    << " is not the palette as drawn (scripts/docs-images takes it anew)";
}

}  // namespace
}  // namespace quarnel::e2e
