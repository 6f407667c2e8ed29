// The stub's C library functions against the host's, on the same bytes.
#include <gtest/gtest.h>
#include <stddef.h>
#include <string.h>

#include <string>
#include <vector>

extern "C" {
void* StubMemcpy(void* to, const void* from, size_t count);
void* StubMemset(void* to, int value, size_t count);
void* StubMemmove(void* to, const void* from, size_t count);
void* StubMemchr(const void* block, int value, size_t count);
size_t StubStrlen(const char* text);
size_t StubStrnlen(const char* text, size_t limit);
char* StubStrchr(const char* text, int c);
char* StubStrrchr(const char* text, int c);
int StubStrcmp(const char* a, const char* b);
char* StubStrncpy(char* to, const char* from, size_t count);
}

namespace {

// Room for the farthest move below: 21 bytes from offset 12 moved 40 on.
constexpr size_t kRoom = 80;

std::vector<char> Numbered() {
  std::vector<char> bytes(kRoom);
  for (size_t i = 0; i < kRoom; ++i) bytes[i] = static_cast<char>(0x80 + i);
  return bytes;
}

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(StubCStringsTest, CopiesAndFillsTouchOnlyTheirBytes) {
  for (size_t count : {0u, 1u, 7u, 31u}) {
    std::vector<char> want(kRoom, '#');
    std::vector<char> got(kRoom, '#');
    const std::vector<char> from = Numbered();
    memcpy(want.data() + 3, from.data() + 5, count);
    EXPECT_EQ(StubMemcpy(got.data() + 3, from.data() + 5, count), got.data() + 3);
    EXPECT_EQ(got, want) << "memcpy of " << count;
    memset(want.data() + 1, 0x1E9, count);
    EXPECT_EQ(StubMemset(got.data() + 1, 0x1E9, count), got.data() + 1);
    EXPECT_EQ(got, want) << "memset of " << count;
  }
}

// Every length up to a few words, shifted by less than a word, by several and apart.
TEST(StubCStringsTest, MoveOverlapsEitherWay) {
  for (int shift : {-9, -1, 0, 1, 3, 9, 40}) {
    for (size_t count = 0; count <= 21; ++count) {
      std::vector<char> want = Numbered();
      std::vector<char> got = Numbered();
      const size_t from = 12;
      const size_t to = static_cast<size_t>(static_cast<int>(from) + shift);
      memmove(want.data() + to, want.data() + from, count);
      EXPECT_EQ(StubMemmove(got.data() + to, got.data() + from, count), got.data() + to);
      EXPECT_EQ(got, want) << "shift " << shift << ", " << count << " bytes";
    }
  }
}

TEST(StubCStringsTest, SearchesStopWhereTheyShould) {
  const char text[] = "C:\\Dir\\Sub\xe9\\x.exe";
  const int searched[] = {'\\', '.', 'C', 'q', '\0', 0xE9, static_cast<char>(0xE9)};
  for (int c : searched) {
    EXPECT_EQ(StubStrchr(text, c), strchr(text, c)) << c;
    EXPECT_EQ(StubStrrchr(text, c), strrchr(text, c)) << c;
    for (size_t count : {size_t{0}, size_t{3}, size_t{7}, sizeof text}) {
      EXPECT_EQ(StubMemchr(text, c, count), memchr(text, c, count)) << c << " in " << count;
    }
  }
  EXPECT_EQ(StubStrlen(text), strlen(text));
  EXPECT_EQ(StubStrlen(""), 0u);
  for (size_t limit : {size_t{0}, size_t{5}, strlen(text), sizeof text + 4}) {
    EXPECT_EQ(StubStrnlen(text, limit), strnlen(text, limit)) << limit;
  }
}

TEST(StubCStringsTest, ComparesBytesAsUnsigned) {
  const char* texts[] = {"", "a", "ab", "abc", "abd", "B", "\xe9", "a\xe9"};
  for (const char* a : texts) {
    for (const char* b : texts) {
      EXPECT_EQ(Sign(StubStrcmp(a, b)), Sign(strcmp(a, b))) << a << " against " << b;
    }
  }
}

TEST(StubCStringsTest, CopyUpToCountPadsWithNulsAndLeavesLongOnesOpen) {
  for (size_t count : {0u, 2u, 4u, 9u}) {
    char want[12];
    char got[12];
    memset(want, '#', sizeof want);
    memset(got, '#', sizeof got);
    strncpy(want, "abcd", count);
    EXPECT_EQ(StubStrncpy(got, "abcd", count), got);
    EXPECT_EQ(std::string(got, sizeof got), std::string(want, sizeof want)) << count;
  }
}

}  // namespace
