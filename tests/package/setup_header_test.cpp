// Loading the package header into the setup state: the install header block, the
// maintenance trailer, and headers that cannot be used.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "package/header_block.h"
#include "runtime/package_stream.h"
#include "runtime/setup_header.h"
#include "runtime/setup_state.h"
#include "tests/package/package_test_support.h"

namespace package_test {
namespace {

constexpr uint8_t kAfterHeader = 0xEE;

Bytes HeaderBytes(const std::vector<std::string>& texts, const Bytes& licence) {
  Bytes header;
  for (const std::string& text : texts) header = Concat({header, Text(text), Bytes{0}});
  header = Concat({header, Le32(0xDEADBEEF)});
  for (uint32_t word = 0; word < 8; ++word) header = Concat({header, Le32(0x1000 + word)});
  return Concat({header, licence});
}

class SetupHeaderTest : public PackageTest {
 protected:
  // Puts `package` after the volume length word, followed by kAfterHeader, and reads the
  // header from it.
  bool Load(const Bytes& package) {
    ResetSetupState();
    PutInstallation(Concat({package, Bytes{kAfterHeader}}));
    EXPECT_TRUE(OpenVolume());
    return ReadSetupHeader();
  }
  // The same with the volume length word `word`: 0 in a maintenance program.
  bool LoadWithWord(uint32_t word, const Bytes& package) {
    ResetSetupState();
    machine.files.PutFile(kInstallationPath, Concat({Bytes(kStubSize, 0x90), Le32(word), package,
                                                     Bytes{kAfterHeader}}));
    EXPECT_TRUE(OpenVolume());
    return ReadSetupHeader();
  }
  void ExpectNothingMoreRead() {
    uint8_t next = 0;
    EXPECT_EQ(ReadPackage(&next, 1), 1);
    EXPECT_EQ(next, kAfterHeader);
  }
};

TEST_F(SetupHeaderTest, InstallHeaderFillsTheStateWhateverTheTextLengths) {
  ASSERT_TRUE(Load(Concat({Bytes{0}, BlockRecordOf(HeaderBytes(
      {"My Product", "Bottom\nline", "MyProduct", "C:\\Tools", "My Start"}, {'L', 0}))})));
  ExpectNothingMoreRead();
  EXPECT_EQ(g_setup.mode, 0);
  EXPECT_STREQ(g_setup.title, "My Product");
  EXPECT_STREQ(g_setup.bottomText, "Bottom\nline");
  EXPECT_STREQ(g_setup.productKeyName, "MyProduct");
  EXPECT_STREQ(g_setup.programFolder, "C:\\Tools");
  EXPECT_STREQ(g_setup.startMenuFolder, "My Start");
  EXPECT_STREQ(g_setup.licenceText, "L");
  EXPECT_TRUE(g_setup.fixedFolder);
  for (uint32_t word = 0; word < 8; ++word) EXPECT_EQ(g_setup.sizeTable[word], 0x1000 + word);

  // Other lengths shift the size table to an odd offset; it is read all the same.
  ASSERT_TRUE(Load(Concat({Bytes{0}, BlockRecordOf(HeaderBytes({"T", "", "", "Tools", ""}, {0}))})));
  ExpectNothingMoreRead();
  EXPECT_STREQ(g_setup.title, "T");
  EXPECT_STREQ(g_setup.bottomText, "");
  EXPECT_STREQ(g_setup.programFolder, "Tools");
  EXPECT_EQ(g_setup.licenceText, nullptr);
  EXPECT_FALSE(g_setup.fixedFolder);
  for (uint32_t word = 0; word < 8; ++word) EXPECT_EQ(g_setup.sizeTable[word], 0x1000 + word);
  ExpectScriptDone();
}

TEST_F(SetupHeaderTest, MaintenanceTrailerIsThreeRecordsAndNothingMore) {
  ASSERT_TRUE(LoadWithWord(0, Concat({Bytes{1}, StringRecord("Title"), StringRecord("Bottom"),
                                      StringRecord("Key")})));
  ExpectNothingMoreRead();
  EXPECT_EQ(g_setup.mode, 1);
  EXPECT_STREQ(g_setup.title, "Title");
  EXPECT_STREQ(g_setup.bottomText, "Bottom");
  EXPECT_STREQ(g_setup.productKeyName, "Key");
  EXPECT_EQ(g_setup.programFolder, nullptr);
  EXPECT_EQ(g_setup.licenceText, nullptr);
  EXPECT_EQ(g_setup.sizeTable[7], 0u);
  ExpectScriptDone();
}

// The mode byte has no checksum: it must agree with volume 0's length word (the end of
// the package in an installer, 0 in a maintenance program), so that no flipped bit of
// either makes one kind of program run as another. Only an installer's word may change
// and leave it readable, as the installer it is; a damaged maintenance program says so.
TEST_F(SetupHeaderTest, NoFlippedBitOfTheModeOrLengthWordMakesAnotherKindOfProgram) {
  const Bytes header = BlockRecordOf(HeaderBytes({"T", "B", "K", "F", "S"}, {0}));
  const Bytes trailer = Concat({StringRecord("T"), StringRecord("B"), StringRecord("K")});
  const struct {
    uint32_t word;
    uint8_t mode;
    Bytes rest;
  } kinds[] = {{static_cast<uint32_t>(kStubSize + 5 + header.size()), 0, header},
               {0, 1, trailer},
               {0, 2, trailer}};
  for (const auto& kind : kinds) {
    ASSERT_TRUE(LoadWithWord(kind.word, Concat({Bytes{kind.mode}, kind.rest})));
    for (int bit = 0; bit < 40; ++bit) {
      SCOPED_TRACE("mode " + std::to_string(kind.mode) + ", bit " + std::to_string(bit));
      const uint32_t word = bit < 32 ? kind.word ^ (1u << bit) : kind.word;
      const uint8_t mode = static_cast<uint8_t>(bit < 32 ? kind.mode : kind.mode ^ (1 << (bit - 32)));
      if (word == 0) {
        machine.user.Expect(DamagedText("SETUP.EXE"), "File Damaged", sim::kAnyFlags,
                            platform::kIdOk);
      }
      const bool read = LoadWithWord(word, Concat({Bytes{mode}, kind.rest}));
      EXPECT_EQ(read, kind.mode == kModeInstall && mode == kModeInstall && word != 0);
      EXPECT_EQ(g_setup.mode, read ? kind.mode : 0);
      EXPECT_EQ(g_setup.corrupt, !read);
    }
  }
  ExpectScriptDone();
}

TEST_F(SetupHeaderTest, UnusableHeaderIsRefusedAndSaysWhy) {
  // Both checksums pass, but "abc" holds none of the NULs a header needs.
  EXPECT_FALSE(Load(Concat({Bytes{0}, AbcRecord()})));
  EXPECT_TRUE(g_setup.corrupt);
  EXPECT_EQ(g_setup.title, nullptr);

  Bytes damaged = BlockRecordOf(HeaderBytes({"T", "B", "K", "F", "S"}, {0}));
  damaged[12] ^= 0x80;
  EXPECT_FALSE(Load(Concat({Bytes{0}, damaged})));
  EXPECT_TRUE(g_setup.corrupt);

  machine.user.Expect(kReadErrorText, "Critical Error!", sim::kAnyFlags, platform::kIdCancel);
  machine.files.FailReadAt(kInstallationPath, kStubSize + 4);
  EXPECT_FALSE(Load({1}));
  EXPECT_TRUE(g_setup.cancelled);
  EXPECT_FALSE(g_setup.corrupt);
  ExpectScriptDone();
}

TEST(HeaderBlockTest, ParsingStaysWithinTheExpandedLength) {
  const Bytes full = HeaderBytes({"T", "B", "K", "F", "S"}, Text("licence without NUL"));
  HeaderFields fields;
  // Cut anywhere before the licence, the header is refused; the heap copy of exactly
  // the cut length lets a memory checker catch any read beyond it.
  const size_t licenceAt = full.size() - strlen("licence without NUL");
  for (size_t cut = 0; cut < licenceAt; ++cut) {
    std::vector<uint8_t> part(full.begin(), full.begin() + cut);
    EXPECT_FALSE(ParseHeaderBlock(part.data(), part.size(), &fields)) << "cut at " << cut;
  }
  std::vector<uint8_t> whole(full);
  ASSERT_TRUE(ParseHeaderBlock(whole.data(), whole.size(), &fields));
  ASSERT_TRUE(fields.hasLicence);
  EXPECT_EQ(std::string(fields.licence.text, fields.licence.length), "licence without NUL");
  // A header that ends right after the size table has no licence.
  ASSERT_TRUE(ParseHeaderBlock(whole.data(), licenceAt, &fields));
  EXPECT_FALSE(fields.hasLicence);
}

}  // namespace
}  // namespace package_test
