// The background window's bands and text positions.
#include "platform/background_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TextOf(const BackgroundText& text) { return std::string(text.text, text.length); }

TEST(BackgroundLayout, BandsAndFontFollowTheClientHeight) {
  BackgroundLayout layout;
  ComputeBackgroundLayout(800, 600, "T", "", &layout);
  EXPECT_EQ(layout.bandHeight, 16);
  EXPECT_EQ(layout.fontHeight, 40);
  EXPECT_EQ(layout.bandBlue[0], 250);
  EXPECT_EQ(layout.bandBlue[40], 50);
  // The bands reach the bottom edge.
  EXPECT_GE(kBackgroundBandCount * layout.bandHeight, 600);

  ComputeBackgroundLayout(100, 39, "T", "", &layout);
  EXPECT_EQ(layout.bandHeight, 1);
  EXPECT_EQ(layout.fontHeight, 2);
}

TEST(BackgroundLayout, TitleTopLeftAndOneLineBottomRight) {
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
}

TEST(BackgroundLayout, LineBreakSplitsTheBottomTextOnceAndLeavesItIntact) {
  const char bottom[] = "one\ntwo\nthree";
  BackgroundLayout layout;
  ComputeBackgroundLayout(800, 600, "", bottom, &layout);
  ASSERT_EQ(layout.textCount, 2);  // the empty title draws nothing
  EXPECT_EQ(TextOf(layout.texts[0]), "one");
  EXPECT_EQ(layout.texts[0].x, 785);
  EXPECT_EQ(layout.texts[0].y, 600 - 40 - 15);
  EXPECT_EQ(TextOf(layout.texts[1]), "two\nthree");
  EXPECT_EQ(layout.texts[1].y, 585);
  EXPECT_STREQ(bottom, "one\ntwo\nthree");

  // A repaint gives the same lines.
  BackgroundLayout again;
  ComputeBackgroundLayout(800, 600, "", bottom, &again);
  EXPECT_EQ(TextOf(again.texts[0]), "one");
  EXPECT_EQ(TextOf(again.texts[1]), "two\nthree");
}

TEST(BackgroundLayout, MissingTextsDrawNothing) {
  BackgroundLayout layout;
  ComputeBackgroundLayout(800, 600, nullptr, nullptr, &layout);
  EXPECT_EQ(layout.textCount, 0);
  ComputeBackgroundLayout(800, 600, "", "", &layout);
  EXPECT_EQ(layout.textCount, 0);
}

}  // namespace
