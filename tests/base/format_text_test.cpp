// FormatText against the C library's snprintf, which it stands in for in the stub: the
// same text and the same result for every conversion it supports, at every room.
#include "base/format_text.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <climits>
#include <string>

namespace {

// Formats `format` with both into buffers of 0 .. whole length + 2 bytes, and checks the
// text, the result and that no byte past the room is touched.
#define EXPECT_LIKE_SNPRINTF(format, ...)                                               \
  do {                                                                                 \
    char whole[256];                                                                   \
    const int expected = snprintf(whole, sizeof whole, format, __VA_ARGS__);           \
    for (size_t room = 0; room <= static_cast<size_t>(expected) + 2; ++room) {         \
      char want[258];                                                                  \
      char got[258];                                                                   \
      memset(want, '#', sizeof want);                                                  \
      memset(got, '#', sizeof got);                                                    \
      snprintf(want, room, format, __VA_ARGS__);                                       \
      EXPECT_EQ(FormatText(got, room, format, __VA_ARGS__), expected) << format;       \
      EXPECT_EQ(std::string(got, sizeof got), std::string(want, sizeof want))          \
          << format << " into " << room << " bytes";                                   \
    }                                                                                  \
  } while (false)

TEST(FormatTextTest, TextsAndCharactersAsSnprintf) {
  EXPECT_LIKE_SNPRINTF("%s", "C:\\Program Files\\Demo");
  EXPECT_LIKE_SNPRINTF("%s%s%s", "C:\\a", "\\", "b c");
  EXPECT_LIKE_SNPRINTF("Could not write the file %s.", "");
  EXPECT_LIKE_SNPRINTF("%c:\\Program Files", 'D');
  EXPECT_LIKE_SNPRINTF("[%5s|%3c]", "ab", 'z');
  EXPECT_LIKE_SNPRINTF("100%% of %s", "it");
  EXPECT_LIKE_SNPRINTF("%s", "");
}

TEST(FormatTextTest, PrecisionReadsNoFurtherThanItSays) {
  EXPECT_LIKE_SNPRINTF("%.*s:\\", 1, "C:\\Windows");
  EXPECT_LIKE_SNPRINTF("%.*s|", 0, "abc");
  EXPECT_LIKE_SNPRINTF("%.2s|%.9s", "abc", "abc");
  EXPECT_LIKE_SNPRINTF("%.*s|", -1, "abc");
  // Three characters with no NUL after them: a bounded precision must stop there.
  const char unterminated[3] = {'x', 'y', 'z'};
  char out[8];
  EXPECT_EQ(FormatText(out, sizeof out, "%.*s!", 3, unterminated), 4);
  EXPECT_STREQ(out, "xyz!");
}

TEST(FormatTextTest, NumbersAsSnprintf) {
  EXPECT_LIKE_SNPRINTF(".%03d", 1);
  EXPECT_LIKE_SNPRINTF(".%03d", 999);
  EXPECT_LIKE_SNPRINTF(".%03d", 1000);
  EXPECT_LIKE_SNPRINTF("%d %d %d", 0, -7, INT_MIN);
  EXPECT_LIKE_SNPRINTF("%04d|%4d", -5, -5);
  EXPECT_LIKE_SNPRINTF("%u %u", 0u, UINT_MAX);
  EXPECT_LIKE_SNPRINTF("up to %luKb, up to %luKb", 0UL, 4294967295UL);
  EXPECT_LIKE_SNPRINTF("%ld %ld", LONG_MIN, LONG_MAX);
  EXPECT_LIKE_SNPRINTF("%lu", ULONG_MAX);
  EXPECT_LIKE_SNPRINTF("\\StringFileInfo\\%04X%04X\\x", 0x409u, 0x4E4u);
  EXPECT_LIKE_SNPRINTF("%x %X %08x %lx", 0xABCDEFu, 0xABCDEFu, 0u, 0xFFFFFFFFUL);
}

TEST(FormatTextTest, NullTextIsEmptyAndZeroRoomWritesNothing) {
  char out[4] = {'#', '#', '#', '#'};
  const char* volatile none = nullptr;  // hidden from the compiler's check of the format
  EXPECT_EQ(FormatText(out, sizeof out, "<%s>", none), 2);
  EXPECT_STREQ(out, "<>");
  EXPECT_EQ(FormatText(nullptr, 0, "%s and %d", "text", 42), 11);
}

}  // namespace
