// The overwrite policy's table beyond what the extraction tests ask: versions against
// times, and a version of all zeros.
#include <gtest/gtest.h>

#include "installer/overwrite_policy.h"

namespace {

constexpr platform::FileTime kEarly{100, 7};
constexpr platform::FileTime kLate{5, 8};  // later by its high word, though its low is less

OverwriteQuestion Decide(FileVersion entry, bool diskHasVersion, FileVersion disk,
                         platform::FileTime diskTime, bool shared = false) {
  OverwriteFacts facts = {};
  facts.shared = shared;
  facts.entryVersion = entry;
  facts.entryTime = kEarly;
  facts.diskHasVersion = diskHasVersion;
  facts.diskVersion = disk;
  facts.diskTime = diskTime;
  return DecideOverwrite(facts);
}

TEST(OverwritePolicy, AVersionOnDiskDecidesAloneAndTimesOtherwise) {
  const FileVersion v1_9{{1, 9, 0, 0}}, v1_10{{1, 10, 0, 0}}, zero{{0, 0, 0, 0}};
  EXPECT_EQ(Decide(v1_9, true, v1_10, kEarly), OverwriteQuestion::kNewerFile);
  EXPECT_EQ(Decide(v1_10, true, v1_9, kLate), OverwriteQuestion::kNone);
  EXPECT_EQ(Decide(v1_9, true, v1_9, kLate), OverwriteQuestion::kNone);
  EXPECT_EQ(Decide(zero, true, v1_9, kEarly), OverwriteQuestion::kNewerFile);
  EXPECT_EQ(Decide(v1_9, false, zero, kLate), OverwriteQuestion::kNewerFile);
  EXPECT_EQ(Decide(v1_9, false, zero, kEarly), OverwriteQuestion::kNone);
  EXPECT_EQ(Decide(v1_9, true, v1_9, kEarly, true), OverwriteQuestion::kSameFile);
  EXPECT_TRUE(IsVersionGreater({{1, 0, 0, 0xFFFF}}, {{0, 0xFFFF, 0xFFFF, 0xFFFF}}));
  EXPECT_FALSE(IsVersionGreater({{2, 0, 0, 1}}, {{2, 0, 1, 0}}));
}

}  // namespace
