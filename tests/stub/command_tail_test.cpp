// The command-line tail that the process entry hands to the program entry.
#include "stub/command_tail.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandTailTest, NameEndsAtTheFirstBlankOutsideQuotes) {
  EXPECT_STREQ(CommandTail("C:\\SETUP.EXE /step2"), "/step2");
  EXPECT_STREQ(CommandTail("\"C:\\Program Files\\SETUP.EXE\" /step2"), "/step2");
  EXPECT_STREQ(CommandTail("C:\\\"Program Files\"\\SETUP.EXE  \t /a /b "), "/a /b ");
}

TEST(CommandTailTest, NoTailIsEmpty) {
  EXPECT_STREQ(CommandTail("C:\\SETUP.EXE"), "");
  EXPECT_STREQ(CommandTail("C:\\SETUP.EXE   "), "");
  EXPECT_STREQ(CommandTail("\"C:\\Program Files\\SETUP.EXE"), "");
  EXPECT_STREQ(CommandTail(""), "");
}

// Letters above 127 (here of code page 1252) are no blanks, neither in the name nor at
// the start of the tail.
TEST(CommandTailTest, LettersOfOtherCodePagesAreKept) {
  EXPECT_STREQ(CommandTail("C:\\Users\\Jos\xe9\\Temp\\UNINST.EXE /step2"), "/step2");
  EXPECT_STREQ(CommandTail("SETUP.EXE \xc4nderung"), "\xc4nderung");
}

}  // namespace
