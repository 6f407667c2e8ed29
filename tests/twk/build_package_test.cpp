// A built installation file read back byte by byte with the package functions alone, and
// the builder's own ways to the same bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "package/block_checksum.h"
#include "package/file_entry.h"
#include "package/header_block.h"
#include "tests/twk/build_test_support.h"
#include "twk/build/block_checksum_wide.h"
#include "twk/build/build_blocks.h"
#include "twk/build/build_installer.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"

namespace {

using build_test::Cursor;
using build_test::TempDir;

constexpr int64_t kSeconds = 1700000000;  // the sources' modification time
constexpr long kNanoseconds = 123456789;
constexpr uint64_t kFileTime = (kSeconds + 11644473600ull) * 10000000ull + kNanoseconds / 100;

void SetTime(const std::string& path) {
  const timespec times[2] = {{kSeconds, kNanoseconds}, {kSeconds, kNanoseconds}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// A product of four files (one empty, one of exactly one piece, one a byte over it, one
// shared), two shortcuts, a registry key with all four kinds of value, a licence and a
// run-after command.
struct Product {
  TempDir dir;
  std::vector<uint8_t> app = build_test::Noise(3000, 1);
  std::vector<uint8_t> exact = build_test::Noise(65000, 2);
  std::vector<uint8_t> over = build_test::Noise(65001, 3);

  Product() {
    build_test::WriteBytes(dir / "src/app.exe", app);
    build_test::WriteBytes(dir / "src/empty.dat", {});
    build_test::WriteBytes(dir / "src/exact.dat", exact);
    build_test::WriteBytes(dir / "src/over.dat", over);
    for (const char* name : {"app.exe", "empty.dat", "exact.dat", "over.dat"}) SetTime(dir / "src/" + name);
    build_test::WriteText(dir / "src/licence.txt", "Terms\nof use\r\nend");
    build_test::WriteText(dir / "src/demo.twk",
                          "[Setup]\n"
                          "Title = Demo\n"
                          "BottomText = Line one\\nLine two\n"
                          "ProductKey = DemoKey\n"
                          "ProgramFolder = Demo\n"
                          "StartMenuFolder = Demo Menu\n"
                          "Licence = licence.txt\n"
                          "RunAfter = {OurProgramDir}\\app.exe\n"
                          "Publisher = \"Example Ltd\"\n"
                          "DisplayIcon = {OurProgramDir}\\app.exe,0\n"
                          "[Files]\n"
                          "app.exe {OurProgramDir}\\ version=1.2.3.4\n"
                          "empty.dat {OurProgramDir}\\empty.dat\n"
                          "exact.dat {OurProgramDir}\\exact.dat\n"
                          "over.dat {WinSysDir}\\over.dat shared\n"
                          "[Shortcuts]\n"
                          "{OurShortcutDir}\\App {OurProgramDir}\\app.exe\n"
                          "\"{OurShortcutDir}\\App Safe\" {OurProgramDir}\\app.exe arguments=/safe "
                          "startin={OurProgramDir}\n"
                          "[Registry]\n"
                          "HKCU\\Software\\Demo\n"
                          "@ = string {OurProgramDir}\n"
                          "Runs = dword 1\n"
                          "Data = binary 0a 00 0b\n"
                          "Old = remove\n");
  }

  BuildResult Build(const std::string& output, uint64_t volumeSize = 0) {
    BuildRequest request;
    request.script = dir / "src/demo.twk";
    request.output = dir / output;
    request.stub = build_test::WriteFakeStub(dir);
    request.volumeSize = volumeSize;
    return BuildInstaller(request);
  }
};

// Reads one file entry and checks it against the expected name, data and fields.
void ExpectFileEntry(Cursor* in, const std::string& name, const std::vector<uint8_t>& data,
                     uint16_t blockCount, uint16_t major, bool shared) {
  SCOPED_TRACE(name);
  EXPECT_EQ(in->Record(), name);
  FileEntryFields fields;
  ParseFileEntryFields(in->Take(kFileEntryFixedSize), &fields);
  EXPECT_EQ(fields.blockCount, blockCount);
  EXPECT_EQ(fields.version[0], major);
  EXPECT_EQ((uint64_t{fields.timeHigh} << 32) | fields.timeLow, kFileTime);
  EXPECT_EQ(fields.shared, shared ? 1 : 0);
  std::vector<uint8_t> content;
  std::vector<size_t> lengths;
  for (;;) {
    const std::vector<uint8_t> block = in->Block(kFileBlockCapacity);
    if (block.empty() || !in->ok) break;
    lengths.push_back(block.size());
    content.insert(content.end(), block.begin(), block.end());
  }
  EXPECT_EQ(lengths.size(), blockCount);
  if (blockCount == 2) {
    EXPECT_EQ(lengths[1], 1u);  // 65001 bytes: a full piece and one byte
  }
  EXPECT_TRUE(content == data);
}

TEST(BuildPackage, LayoutMatchesTheFormatByteForByte) {
  Product product;
  const BuildResult result = product.Build("SETUP.EXE");
  ASSERT_EQ(result.files.size(), 1u);
  const std::vector<uint8_t> file = build_test::ReadBytes(product.dir / "SETUP.EXE");
  std::vector<uint8_t> stub = build_test::ReadBytes(product.dir / "stub.exe");

  // The stub is unchanged but for its package offset word, its own length.
  ASSERT_GT(file.size(), stub.size());
  const size_t word = 1000 + kPackageMarkerLength;
  EXPECT_EQ(LoadLe32(file.data() + word), stub.size());
  StoreLe32(stub.data() + word, static_cast<uint32_t>(stub.size()));
  EXPECT_TRUE(std::equal(stub.begin(), stub.end(), file.begin()));

  Cursor in{file, stub.size()};
  EXPECT_EQ(in.U32(), file.size());  // the volume length word: the package's end offset
  EXPECT_EQ(in.U8(), kModeInstall);
  const std::vector<uint8_t> header = in.Block(kHeaderBlockCapacity);
  HeaderFields fields;
  ASSERT_TRUE(ParseHeaderBlock(header.data(), header.size(), &fields));
  const char* texts[] = {"Demo", "Line one\nLine two", "DemoKey", "Demo", "Demo Menu"};
  for (size_t i = 0; i < kHeaderTextCount; ++i) {
    EXPECT_EQ(std::string(fields.texts[i].text, fields.texts[i].length), texts[i]);
  }
  // Sizes 3000, 0, 65000, 65001: units of 512 << k, rounded up per file; then the blocks.
  const uint32_t sizeTable[8] = {6 + 127 + 127, 3 + 64 + 64, 2 + 32 + 32, 1 + 16 + 16,
                                 1 + 8 + 8,     1 + 4 + 4,   1 + 2 + 2,   1 + 1 + 2};
  for (size_t k = 0; k < 8; ++k) EXPECT_EQ(fields.sizeTable[k], sizeTable[k]) << "word " << k;
  ASSERT_TRUE(fields.hasLicence);
  EXPECT_EQ(std::string(fields.licence.text, fields.licence.length), "Terms\r\nof use\r\nend");
  EXPECT_EQ(header.back(), 0);

  ExpectFileEntry(&in, "{OurProgramDir}\\app.exe", product.app, 1, 1, false);
  ExpectFileEntry(&in, "{OurProgramDir}\\empty.dat", {}, 0, 0, false);
  ExpectFileEntry(&in, "{OurProgramDir}\\exact.dat", product.exact, 1, 0, false);
  ExpectFileEntry(&in, "{WinSysDir}\\over.dat", product.over, 2, 0, true);
  EXPECT_EQ(in.Record(), "");  // end of the file entries

  EXPECT_EQ(in.Record(), "{OurShortcutDir}\\App={OurProgramDir}\\app.exe");
  EXPECT_EQ(in.Record(), "{OurShortcutDir}\\App Safe={OurProgramDir}\\app.exe\t/safe\t{OurProgramDir}");
  EXPECT_EQ(in.Record(), "");
  EXPECT_EQ(in.Record(), ":HKEY_CURRENT_USER\\Software\\Demo");
  EXPECT_EQ(in.Record(), "@=S{OurProgramDir}");
  EXPECT_EQ(in.Record(), std::string("Runs=D\x01\x00\x00\x00", 10));
  EXPECT_EQ(in.Record(), std::string("Data=B\x03\x00\x0a\x00\x0b", 11));
  EXPECT_EQ(in.Record(), "Old=N");
  // The Add/Remove Programs entry's details: the texts given, then the size of the files
  // (133001 bytes: 130 KB, rounded up) and no modify or repair.
  EXPECT_EQ(in.Record(), ":HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                         "Uninstall\\DemoKey");
  EXPECT_EQ(in.Record(), "Publisher=SExample Ltd");
  EXPECT_EQ(in.Record(), "DisplayIcon=S{OurProgramDir}\\app.exe,0");
  EXPECT_EQ(in.Record(), std::string("EstimatedSize=D\x82\x00\x00\x00", 19));
  EXPECT_EQ(in.Record(), std::string("NoModify=D\x01\x00\x00\x00", 14));
  EXPECT_EQ(in.Record(), std::string("NoRepair=D\x01\x00\x00\x00", 14));
  EXPECT_EQ(in.Record(), "");
  EXPECT_EQ(in.Record(), "{OurProgramDir}\\app.exe");
  EXPECT_TRUE(in.ok);
  EXPECT_EQ(in.pos, file.size());  // nothing after the run-after command
  EXPECT_EQ(result.packageLength, file.size() - stub.size() - 4);
  EXPECT_EQ(result.blockCount, 4u);
}

// The same inputs give the same bytes, with any number of threads.
TEST(BuildPackage, AnyNumberOfThreadsGivesTheSameBytes) {
  // Files of many pieces next to small and empty ones, so that pieces of several files
  // are compressed at once and the writer waits for some while others are done.
  TempDir dir;
  std::string script = "[Setup]\nProgramFolder = Demo\n[Files]\n";
  for (int i = 0; i < 12; ++i) {
    const size_t length = i % 4 == 0 ? 65000 * 5 + 17 * i : i % 4 == 1 ? 0 : 900 * i;
    std::vector<uint8_t> bytes = build_test::Noise(length, 40 + i);
    for (size_t k = 0; k < bytes.size(); k += 3) bytes[k] = 'a';  // compressible, unevenly
    const std::string name = "f" + std::to_string(i) + ".dat";
    build_test::WriteBytes(dir / ("src/" + name), bytes);
    script += name + " {OurProgramDir}\\" + name + "\n";
  }
  build_test::WriteText(dir / "src/many.twk", script);
  std::vector<uint8_t> single;
  for (const unsigned jobs : {1u, 2u, 4u, 7u}) {
    BuildRequest request;
    request.script = dir / "src/many.twk";
    request.output = dir / ("out" + std::to_string(jobs) + ".exe");
    request.stub = build_test::WriteFakeStub(dir);
    request.jobs = jobs;
    BuildInstaller(request);
    const std::vector<uint8_t> built = build_test::ReadBytes(request.output);
    if (jobs == 1) single = built;
    EXPECT_TRUE(built == single) << jobs << " jobs";
  }
}

TEST(BuildPackage, PieceTooBigToStoreIsCutInHalves) {
  // Noise stores in a little more bytes than it has: 66000 bytes cannot go into one record.
  const std::vector<uint8_t> noise = build_test::Noise(66000, 9);
  std::vector<uint8_t> records;
  ASSERT_EQ(AppendCompressedPiece(noise.data(), noise.size(), &records), 2u);
  Cursor in{records, 0};
  uint32_t stored = 0;
  std::vector<uint8_t> joined = in.Block(kFileBlockCapacity, &stored);
  EXPECT_EQ(joined.size(), 33000u);
  EXPECT_LE(stored, kMaxStoredBlockLength);
  const std::vector<uint8_t> second = in.Block(kFileBlockCapacity, &stored);
  EXPECT_LE(stored, kMaxStoredBlockLength);
  joined.insert(joined.end(), second.begin(), second.end());
  EXPECT_TRUE(in.ok);
  EXPECT_EQ(in.pos, records.size());
  EXPECT_TRUE(joined == noise);
}

TEST(BuildPackage, RefusedBuildLeavesNoOutput) {
  Product product;
  // A licence that cannot fit the header block's capacity.
  std::vector<uint8_t> text(70000, 'x');
  build_test::WriteBytes(product.dir / "src/licence.txt", text);
  try {
    product.Build("SETUP.EXE");
    ADD_FAILURE() << "a 70000-byte licence was accepted";
  } catch (const CommandError& error) {
    EXPECT_EQ(error.exitCode(), kExitScriptError);
    EXPECT_NE(std::string(error.what()).find("demo.twk:7: the header block"), std::string::npos)
        << error.what();
  }
  for (const auto& entry : std::filesystem::directory_iterator(product.dir.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "src" || name == "stub.exe") << name << " left behind";
  }

  // A stub that already carries a package is refused, not patched twice.
  build_test::WriteText(product.dir / "src/licence.txt", "ok");
  product.Build("SETUP.EXE");
  BuildRequest request;
  request.script = product.dir / "src/demo.twk";
  request.output = product.dir / "AGAIN.EXE";
  request.stub = product.dir / "SETUP.EXE";
  EXPECT_THROW(BuildInstaller(request), CommandError);
}

// The builder's eight-bytes-at-a-time block checksum against the installer's own.
TEST(BlockChecksumWide, AgreesWithTheInstallersChecksum) {
  const std::vector<uint8_t> bytes = build_test::Noise(70000, 7);
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
}

}  // namespace
