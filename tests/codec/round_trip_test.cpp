// CompressBlock and ExpandBlock together: every kind of block comes back, tightly sized
// capacities suffice, oversized results are refused, and damage never goes unnoticed.
#include <gtest/gtest.h>

#include <string>

#include "codec/encoder/compress_block.h"
#include "codec/encoder/run_length_encoder.h"
#include "tests/codec/codec_test_support.h"

namespace {

void ExpectRoundTrip(const Bytes& data, const char* what) {
  SCOPED_TRACE(what);
  Bytes stored;
  ASSERT_TRUE(CompressBlock(data.data(), data.size(), &stored));
  ASSERT_LE(stored.size(), kMaxStoredLength);
  Bytes out;
  // The promised bound: length + 5, with room for the stored bytes.
  const auto tight = static_cast<uint32_t>(std::max(data.size() + 5, stored.size()));
  EXPECT_TRUE(Expand(stored, tight, &out));
  EXPECT_EQ(out, data);
  EXPECT_TRUE(Expand(stored, kFileCapacity, &out));
  EXPECT_EQ(out, data);
}

Bytes Text(size_t length) {
  Bytes out;
  for (int i = 0; out.size() < length; ++i) {
    const std::string line = "line " + std::to_string(i * 7919 % 1000) + ": the lazy dog\n";
    out.insert(out.end(), line.begin(), line.end());
  }
  out.resize(length);
  return out;
}

TEST(CompressBlock, ReproducesTheAbcBlock) {
  const Bytes abc = {'a', 'b', 'c'};
  // The coded run-length form gives the hand-worked stored bytes exactly.
  const Bytes coded = EncodeRunLength(abc.data(), abc.size());
  EXPECT_EQ(coded, Bytes({0x01, 'a', 'b', 'c'}));
  EXPECT_EQ(PackRunLengthData(coded), Bytes({0x80, 0xA0, 0x01, 0x2C, 0x70, 0x0A, 0x31, 0x6C}));
  // CompressBlock keeps the stored form instead: its block sort has a second 0x00 next
  // to the index's zeros, which move-to-front turns into a cheaper code, so the result is
  // one byte shorter. Both expand to "abc".
  Bytes stored;
  ASSERT_TRUE(CompressBlock(abc.data(), abc.size(), &stored));
  EXPECT_EQ(stored, Bytes({0x80, 0xA0, 0x01, 0x2C, 0x64, 0x62, 0xCC}));
  ExpectRoundTrip(abc, "abc");
}

TEST(CompressBlock, RoundTripsEveryKindOfBlock) {
  ExpectRoundTrip({0x00}, "one zero");
  ExpectRoundTrip({0xFF}, "one 0xFF");
  // 65000 bytes take the tree through about three rescales.
  ExpectRoundTrip(Text(65000), "text 65000");
  ExpectRoundTrip(Text(65001), "text 65001");
  ExpectRoundTrip(Bytes(65000, 0x00), "zeros");
  ExpectRoundTrip(Bytes(65000, 0xFF), "0xFF only: runs before any literal");
  ExpectRoundTrip(RandomBytes(4000, 1, 256), "random");
  Bytes values;
  for (int round = 0; round < 50; ++round) {
    for (int v = 0; v < 256; ++v) values.push_back(static_cast<uint8_t>(v * 7 + round));
  }
  ExpectRoundTrip(values, "all values, periodic");
  // Runs of every length 1..260 (across the 257 limit), of 0xFF, 0x00 and a letter.
  Bytes runs;
  for (size_t length = 1; length <= 260; ++length) {
    const uint8_t value = "\xFF\x00\x41"[length % 3];
    runs.insert(runs.end(), length, value);
  }
  ExpectRoundTrip(runs, "runs");
}

TEST(CompressBlock, RefusesWhatWouldNotFit) {
  Bytes stored = {1};
  // Random bytes gain nothing; past about 65200 of them the result cannot fit 65535.
  const Bytes random = RandomBytes(65530, 4, 256);
  EXPECT_FALSE(CompressBlock(random.data(), random.size(), &stored));
  EXPECT_TRUE(stored.empty());
  EXPECT_FALSE(CompressBlock(random.data(), 0, &stored));
  // A block that could not expand within the capacity it is meant for.
  const Bytes text = Text(65531);
  EXPECT_FALSE(CompressBlock(text.data(), text.size(), kHeaderCapacity, &stored));
  EXPECT_TRUE(CompressBlock(text.data(), 65530, kHeaderCapacity, &stored));
  // Random content has the best chance to overflow; a 65000-byte piece must still fit.
  const Bytes piece = RandomBytes(65000, 5, 256);
  ExpectRoundTrip(piece, "random piece");
}

TEST(ExpandBlock, NoticesEveryBitFlipBeforeThePadding) {
  // With 0xFF bytes in it, the block reads differently in the two run-length forms, so
  // that a flip of the form byte changes the output too.
  Bytes text = Text(3000);
  for (size_t i = 0; i < text.size(); i += 50) text[i] = 0xFF;
  Bytes stored;
  ASSERT_TRUE(CompressBlock(text.data(), text.size(), &stored));
  for (size_t bit = 0; bit < stored.size() * 8; ++bit) {
    Bytes damaged = stored;
    damaged[bit / 8] ^= static_cast<uint8_t>(0x80 >> (bit % 8));
    Bytes out;
    const bool ok = Expand(damaged, kHeaderCapacity, &out);
    // Only the bits after the end-of-block symbol are never read.
    if (ok && out == text) {
      EXPECT_EQ(bit / 8, stored.size() - 1) << "bit " << bit;
    }
  }
}

}  // namespace
