// The decoding stages against hand-worked blocks, and every guard against damaged input.
#include <gtest/gtest.h>

#include "codec/block_sort_inverse.h"
#include "codec/huffman_decoder.h"
#include "codec/run_length.h"
#include "tests/codec/codec_test_support.h"

namespace {

const Bytes kAbcStored = {0x80, 0xA0, 0x01, 0x2C, 0x70, 0x0A, 0x31, 0x6C};

struct StageCase {
  Bytes input;
  uint32_t capacity;
  bool ok;
  Bytes output;
};

TEST(HuffmanDecoder, DecodesHandWorkedStreamsAndRefusesDamagedOnes) {
  const StageCase cases[] = {
      {{0xA0, 0xC0}, 16, true, {0x41}},
      {{0xA0, 0xA8}, 16, true, {0x41, 0x41}},  // the second 0x41 trades places with the end
      {{0xA0, 0x80}, 1, true, {0x41}},         // a full output stops before the next symbol
      {kAbcStored, 64, true, {0x01, 0x01, 0x00, 0x00, 0x63, 0x02, 0x62, 0x63}},
      {{}, 16, false, {}},
      {{0xA0, 0x80}, 16, false, {0x41}},        // the input ends inside the second symbol
      {{0xA0, 0x88, 0x20}, 16, false, {0x41}},  // an escape naming 0x41 a second time
  };
  for (const StageCase& c : cases) {
    Bytes out(c.capacity);
    uint32_t length = 0;
    EXPECT_EQ(HuffmanDecodeBlock(c.input.data(), static_cast<uint32_t>(c.input.size()), out.data(),
                                 c.capacity, &length),
              c.ok);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + length), c.output);
  }
}

TEST(UndoBlockSort, InvertsAndRefusesAnIndexOutsideTheColumn) {
  Bytes sorted = {0x01, 0, 0, 0, 0x63, 0x61, 0x62};
  Bytes out(sorted.size());
  uint32_t length = 7;
  ASSERT_TRUE(UndoBlockSort(sorted.data(), out.data(), &length));
  EXPECT_EQ(Bytes(out.begin(), out.begin() + length), Bytes({0x61, 0x62, 0x63}));
  sorted[0] = 3;  // the column's length
  length = 7;
  EXPECT_FALSE(UndoBlockSort(sorted.data(), out.data(), &length));
}

TEST(UndoRunLength, ExpandsBothFormsWithinTheCapacity) {
  const StageCase cases[] = {
      {{0x01, 0x41, 0xFF, 0x00}, 16, true, Bytes(4, 0x41)},
      {{0x01, 0xFF, 0x01}, 16, true, Bytes(4, 0xFF)},  // a run before any literal repeats 0xFF
      {{0x01, 0xFF, 0xFF, 0x42}, 16, true, {0xFF, 0x42}},
      {{0x01, 0x41, 0xFF, 0x00, 0xFF, 0x00}, 16, true, Bytes(7, 0x41)},  // runs keep prev
      {{0x00, 0x41, 0xFF}, 16, true, {0x41, 0xFF}},                      // stored form
      {{0x01, 0x41, 0xFF, 0x00}, 5, true, Bytes(4, 0x41)},
      // A run may not end at the capacity. Refusing it is a failure even though its code
      // bytes were the last input: the output would silently lack the run.
      {{0x01, 0x41, 0xFF, 0x00}, 4, false, {0x41}},
      {{0x01, 0x41, 0x42, 0x43}, 2, false, {0x41, 0x42}},  // literals fill it, input left
      {{}, 16, false, {}},
  };
  for (const StageCase& c : cases) {
    Bytes out(c.capacity);
    uint32_t length = static_cast<uint32_t>(c.input.size());
    EXPECT_EQ(UndoRunLength(c.input.data(), out.data(), &length, c.capacity), c.ok);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + length), c.output);
  }
  // A code cut off by the end of the input: the byte after the input must not be read.
  const Bytes cut = {0x01, 0x41, 0xFF, 0x00};
  Bytes out(16);
  uint32_t length = 3;
  EXPECT_FALSE(UndoRunLength(cut.data(), out.data(), &length, 16));
  EXPECT_EQ(length, 1u);
}

TEST(ExpandBlock, ExpandsTheAbcBlockAndFailsDamagedOnes) {
  Bytes out;
  for (const uint32_t capacity : {kHeaderCapacity, kFileCapacity}) {
    EXPECT_TRUE(Expand(kAbcStored, capacity, &out));
    EXPECT_EQ(out, Bytes({'a', 'b', 'c'}));
  }
  EXPECT_FALSE(Expand(kAbcStored, 7, &out));            // stored length above the capacity
  EXPECT_FALSE(Expand({0x00}, kHeaderCapacity, &out));  // end of block at once: no index
  EXPECT_FALSE(Expand(PackSorted({1, 0, 0}), kHeaderCapacity, &out));
  EXPECT_FALSE(Expand(PackSorted({2, 0, 0, 0, 0x61, 0x62}), kHeaderCapacity, &out));
  EXPECT_FALSE(Expand(PackRunLengthData({0x01, 0x41, 0xFF}), kHeaderCapacity, &out));
  // Every stage fits, but the 257-byte run would end exactly at the capacity.
  EXPECT_FALSE(Expand(PackRunLengthData({0x01, 0x41, 0xFF, 0xFE}), 258, &out));
  EXPECT_TRUE(Expand(PackRunLengthData({0x01, 0x41, 0xFF, 0xFE}), 259, &out));
  EXPECT_EQ(out, Bytes(258, 0x41));
}

}  // namespace
