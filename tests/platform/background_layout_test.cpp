// The background window's bands and text positions.
#include "platform/background_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TextOf(const BackgroundText& text) { return std::string(text.text, text.length); }

TEST(BackgroundLayout, BandsReachTheBottomEdgeFadingFromBlueAtAnyHeight) {
  BackgroundLayout layout;
  for (const int height : {39, 600, 768, 2160}) {
    ComputeBackgroundLayout(800, height, "T", "", &layout);
    EXPECT_GE(kBackgroundBandCount * layout.bandHeight, height) << height;
    EXPECT_GT(layout.fontHeight, 0) << height;
    EXPECT_GT(layout.bandBlue[0], layout.bandBlue[kBackgroundBandCount - 1]);
    EXPECT_EQ(layout.textCount, 1) << "an empty bottom text draws nothing";
  }
}

// A line break splits the bottom text once, the first line one font height up; the
// caller's text stays as it was, so that the next paint splits it alike.
TEST(BackgroundLayout, TitleTopLeftBottomTextBottomRightAndSplitOnce) {
  BackgroundLayout layout;
  ComputeBackgroundLayout(1024, 768, "Demo", "Bottom", &layout);
  ASSERT_EQ(layout.textCount, 2);
  EXPECT_EQ(TextOf(layout.texts[0]), "Demo");
  EXPECT_EQ(layout.texts[0].x, 15);
  EXPECT_EQ(layout.texts[0].y, 15);
  EXPECT_FALSE(layout.texts[0].bottomRight);
  EXPECT_EQ(TextOf(layout.texts[1]), "Bottom");
  EXPECT_EQ(layout.texts[1].x, 1009);
  EXPECT_EQ(layout.texts[1].y, 753);
  EXPECT_TRUE(layout.texts[1].bottomRight);

  const char bottom[] = "one\ntwo\nthree";
  for (int paint = 0; paint < 2; ++paint) {
    ComputeBackgroundLayout(800, 600, "", bottom, &layout);
    ASSERT_EQ(layout.textCount, 2);  // the empty title draws nothing
    EXPECT_EQ(TextOf(layout.texts[0]), "one");
    EXPECT_EQ(layout.texts[0].y, 585 - layout.fontHeight);
    EXPECT_EQ(TextOf(layout.texts[1]), "two\nthree");
    EXPECT_EQ(layout.texts[1].y, 585);
    EXPECT_STREQ(bottom, "one\ntwo\nthree");
  }
  ComputeBackgroundLayout(800, 600, nullptr, nullptr, &layout);
  EXPECT_EQ(layout.textCount, 0);
}

}  // namespace
