// Block records read from the package stream: checksums, verification before expansion,
// skipping, and the exact number of bytes each record consumes.
#include <gtest/gtest.h>

#include <string.h>

#include "package/block_checksum.h"
#include "package/format.h"
#include "runtime/extract_block.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"
#include "tests/package/package_test_support.h"

namespace package_test {
namespace {

uint32_t Checksum(const std::string& text) {
  return BlockChecksum(reinterpret_cast<const uint8_t*>(text.data()), text.size(), kChecksumStart);
}

class ExtractBlockTest : public PackageTest {
 protected:
  // Opens a package of `records` followed by one marker byte.
  void OpenPackage(const Bytes& records) {
    PutInstallation(Concat({records, Bytes{0x5A}}));
    ASSERT_TRUE(OpenVolume());
  }
  // The record consumed exactly its own bytes when the marker byte comes next.
  void ExpectMarkerNext() {
    uint8_t next = 0;
    EXPECT_EQ(ReadPackage(&next, 1), 1);
    EXPECT_EQ(next, 0x5A);
  }
  Bytes buffer = Bytes(kFileBlockCapacity);
  int32_t length = -2;
};

TEST(BlockChecksumTest, MatchesTheCheckValuesPackagesCarry) {
  EXPECT_EQ(Checksum(""), 0xFFFFFFFFu);
  EXPECT_EQ(Checksum("a"), 0x196C646Bu);
  EXPECT_EQ(Checksum("abc"), 0x262A3D24u);  // CRC-32 would give 0x352441C2
  EXPECT_EQ(Checksum("123456789"), 0x8152A388u);
}

TEST_F(ExtractBlockTest, ExpandsTheDocumentedRecordAndEncoderOutput) {
  Bytes text;
  for (int i = 0; text.size() < kPieceSize; ++i) {
    Bytes line = Text("line " + std::to_string(i * 7919 % 1000) + " of the file\r\n");
    text.insert(text.end(), line.begin(), line.end());
  }
  text.resize(kPieceSize);
  OpenPackage(Concat({AbcRecord(), BlockRecordOf(text), Bytes{0, 0}}));

  ASSERT_TRUE(ExtractBlock(buffer.data(), &length, kHeaderBlockCapacity));
  ASSERT_EQ(length, 3);
  EXPECT_EQ(memcmp(buffer.data(), "abc", 3), 0);
  ASSERT_TRUE(ExtractBlock(buffer.data(), &length, kFileBlockCapacity));
  ASSERT_EQ(length, static_cast<int32_t>(kPieceSize));
  EXPECT_TRUE(std::equal(text.begin(), text.end(), buffer.begin()));
  // The end record: true with length 0, two bytes consumed.
  EXPECT_TRUE(ExtractBlock(buffer.data(), &length, kFileBlockCapacity));
  EXPECT_EQ(length, 0);
  ExpectMarkerNext();
  EXPECT_FALSE(g_setup.corrupt);
}

// A damaged stored byte fails before the expansion, which never runs over the buffer's
// stored bytes; a wrong expanded checksum fails after it.
TEST_F(ExtractBlockTest, DamagedRecordsFailAndConsumeExactlyTheirBytes) {
  for (const bool storedByte : {true, false}) {
    Bytes record = AbcRecord();
    record[storedByte ? 13 : 2] ^= storedByte ? 0x04 : 0x01;
    ResetSetupState();
    OpenPackage(record);
    EXPECT_FALSE(ExtractBlock(buffer.data(), &length, kFileBlockCapacity));
    EXPECT_TRUE(g_setup.corrupt);
    if (storedByte) {
      EXPECT_TRUE(std::equal(record.begin() + 10, record.end(), buffer.begin()));
    } else {
      EXPECT_EQ(memcmp(buffer.data(), "abc", 3), 0);
    }
    ExpectMarkerNext();
  }
}

TEST_F(ExtractBlockTest, SkipModeConsumesTheRecordWithoutLookingAtIt) {
  Bytes garbage = Concat({Le16(5), Le32(1), Le32(2), Bytes{9, 8, 7, 6, 5}});
  OpenPackage(Concat({garbage, AbcRecord(), Bytes{0, 0}}));

  ASSERT_TRUE(ExtractBlock(nullptr, &length, kFileBlockCapacity));
  EXPECT_EQ(length, 5);
  ASSERT_TRUE(ExtractBlock(nullptr, &length, kFileBlockCapacity));
  EXPECT_EQ(length, 8);
  ASSERT_TRUE(ExtractBlock(nullptr, &length, kFileBlockCapacity));
  EXPECT_EQ(length, 0);
  ExpectMarkerNext();
  EXPECT_FALSE(g_setup.corrupt);
}

TEST_F(ExtractBlockTest, UnreadableStoredBytesCountAsDamageAndCancel) {
  OpenPackage(AbcRecord());
  machine.files.FailReadAt(kInstallationPath, kStubSize + 4 + 12, 2);
  machine.user.ExpectRepeated(kReadErrorText, "Critical Error!", sim::kAnyFlags,
                              platform::kIdCancel, 2);

  EXPECT_FALSE(ExtractBlock(buffer.data(), &length, kFileBlockCapacity));
  EXPECT_TRUE(g_setup.corrupt);
  EXPECT_TRUE(g_setup.cancelled);
  // Skipping reports the failed read as length -1 and leaves the stop to the caller.
  ResetSetupState();
  ASSERT_TRUE(OpenVolume());
  EXPECT_TRUE(ExtractBlock(nullptr, &length, kFileBlockCapacity));
  EXPECT_EQ(length, -1);
  EXPECT_TRUE(g_setup.cancelled);
  EXPECT_FALSE(g_setup.corrupt);
  ExpectScriptDone();
}

}  // namespace
}  // namespace package_test
