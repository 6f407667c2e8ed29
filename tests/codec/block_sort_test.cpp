// The builder's block sort against a slow, obviously correct sort of the rotations.
#include <gtest/gtest.h>

#include "codec/block_sort_inverse.h"
#include "tests/codec/codec_test_support.h"

namespace {

// The last column of the sorted rotations, each rotation spelt out in full.
Bytes NaiveLastColumn(const Bytes& s) {
  std::vector<Bytes> rotations;
  for (size_t i = 0; i < s.size(); ++i) {
    Bytes rotation(s.begin() + static_cast<ptrdiff_t>(i), s.end());
    rotation.insert(rotation.end(), s.begin(), s.begin() + static_cast<ptrdiff_t>(i));
    rotations.push_back(rotation);
  }
  std::sort(rotations.begin(), rotations.end());
  Bytes last;
  for (const Bytes& rotation : rotations) last.push_back(rotation.back());
  return last;
}

void ExpectSortsLikeTheNaiveSort(const Bytes& s) {
  const Bytes sorted = BlockSort(s.data(), s.size());
  ASSERT_EQ(sorted.size(), s.size() + 4);
  EXPECT_EQ(Bytes(sorted.begin() + 4, sorted.end()), NaiveLastColumn(s));
  Bytes back(s.size());
  uint32_t length = static_cast<uint32_t>(sorted.size());
  ASSERT_TRUE(UndoBlockSort(sorted.data(), back.data(), &length));
  EXPECT_EQ(back, s);
}

TEST(BlockSort, SortsRotationsLikeTheNaiveSort) {
  for (uint32_t seed = 0; seed < 300; ++seed) {
    const int alphabet = seed % 4 == 0 ? 256 : static_cast<int>(seed % 4) + 1;
    const Bytes random = RandomBytes(1 + seed % 97, seed, alphabet);
    ExpectSortsLikeTheNaiveSort(random);
    // Periodic and nearly periodic blocks are where suffix order and rotation order part.
    const auto period = static_cast<ptrdiff_t>(std::min<size_t>(random.size(), 1 + seed % 5));
    Bytes periodic;
    for (size_t k = 0; k < 2 + seed % 9; ++k) {
      periodic.insert(periodic.end(), random.begin(), random.begin() + period);
    }
    ExpectSortsLikeTheNaiveSort(periodic);
    periodic.back() ^= 1;
    ExpectSortsLikeTheNaiveSort(periodic);
    periodic.insert(periodic.begin(), periodic.back());
    ExpectSortsLikeTheNaiveSort(periodic);
  }
}

TEST(UndoBlockSort, InvertsLongColumnsAlsoInPlace) {
  // Columns up to 65536 bytes are walked two rows a step, longer ones one row a step;
  // odd lengths end with a single row. The naive sort would take too long here: the
  // sort itself is checked above, the inverse against the original bytes.
  for (const size_t length : {65535u, 65536u, 65537u, 90001u}) {
    const Bytes data = RandomBytes(length, static_cast<uint32_t>(length), 256);
    const Bytes sorted = BlockSort(data.data(), data.size());
    Bytes back(length);
    auto count = static_cast<uint32_t>(sorted.size());
    ASSERT_TRUE(UndoBlockSort(sorted.data(), back.data(), &count)) << length;
    EXPECT_TRUE(back == data) << length;
    Bytes inPlace = sorted;
    count = static_cast<uint32_t>(inPlace.size());
    ASSERT_TRUE(UndoBlockSort(inPlace.data(), inPlace.data(), &count)) << length;
    EXPECT_TRUE(Bytes(inPlace.begin(), inPlace.begin() + length) == data) << length;
  }
}

}  // namespace
