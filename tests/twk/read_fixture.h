// Installation files and maintenance programs assembled byte by byte for the reader's
// tests, with the codec's own CompressBlock and BlockChecksum.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tests/support/package_bytes.h"

using test_files::BlockRecordOf;
using test_files::Bytes;
using test_files::ReadBytes;
using test_files::ScratchFolder;
using test_files::WriteBytes;

struct TestFile {
  std::string target;
  Bytes data;
  uint16_t version[4] = {};
  uint64_t fileTime = 0;
  bool shared = false;
};

struct TestPackage {
  std::string title = "Test Product";
  std::string bottomText = "Bottom\nline";
  std::string productKey = "TestProduct";
  std::string programFolder = "Test Product";
  std::string startMenuFolder = "Test";
  std::string licence;  // empty: none
  std::vector<TestFile> files;
  std::vector<std::string> shortcuts;
  std::vector<std::string> registry;
  std::string runAfter;
  int32_t sizeTableSkew = 0;   // added to size table word 3, to make the table wrong
  int32_t blockCountSkew = 0;  // added to size table word 7, the count of data blocks
  // The header's directory checksum over the entries and lists, as twk build writes it;
  // false leaves it 0, as in packages built before it was used.
  bool directoryChecksum = false;
  // The pieces the files are cut into, one block each: twk build's, or another builder's.
  size_t pieceSize = kPieceSize;
};

// Where the blocks of a built image lie (file offsets of their stored length fields).
struct TestLayout {
  size_t headerBlock = 0;
  std::vector<size_t> fileNames;  // the file entries' name records
  std::vector<size_t> fileBlocks;
};

constexpr uint32_t kTestStubLength = 512;

// A stand-in stub of kTestStubLength bytes with the marker and `packageOffset` after it.
Bytes TestStub(uint32_t packageOffset);

// The whole single-file installer: stub, volume length word (= the image's length),
// mode 0 and the package. The size table is computed from the files.
Bytes BuildInstallerImage(const TestPackage& package, TestLayout* layout = nullptr);

// A maintenance program: stub, word 0, `mode`, three string records, then `log` records
// (each a string record; "" gives the empty record).
Bytes MaintenanceProgram(uint8_t mode, const std::vector<std::string>& log);

// Writes the single-file `image` to `path`, or splits it into volumes whose files hold
// at most `volumeSize` bytes (path.001, ...), each starting with its own length word.
void WriteVolumes(const std::string& path, const Bytes& image, size_t volumeSize = 0);
