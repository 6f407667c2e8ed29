// The builder's eight-bytes-at-a-time block checksum against the installer's own.
#include <gtest/gtest.h>

#include <vector>

#include "package/block_checksum.h"
#include "tests/twk/build_test_support.h"
#include "twk/build/block_checksum_wide.h"

namespace {

TEST(BlockChecksumWide, AgreesWithTheInstallersChecksum) {
  const std::vector<uint8_t> bytes = build_test::NoiseBytes(70000, 7);
  // Every length around the eight-byte steps, from every alignment, and whole blocks.
  for (size_t offset = 0; offset < 8; ++offset) {
    for (size_t length = 0; length < 40; ++length) {
      EXPECT_EQ(BlockChecksumWide(bytes.data() + offset, length, 0xFFFFFFFF),
                BlockChecksum(bytes.data() + offset, length, 0xFFFFFFFF))
          << offset << " " << length;
    }
  }
  EXPECT_EQ(BlockChecksumWide(bytes.data(), bytes.size(), 0xFFFFFFFF),
            BlockChecksum(bytes.data(), bytes.size(), 0xFFFFFFFF));
  EXPECT_EQ(BlockChecksumWide(bytes.data(), 65000, 0x12345678),
            BlockChecksum(bytes.data(), 65000, 0x12345678));
  const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(BlockChecksumWide(digits, 9, 0xFFFFFFFF), 0x8152A388u);
}

}  // namespace
