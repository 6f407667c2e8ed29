// Package assembly for the reader's tests.
#include "tests/twk/read_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/little_endian.h"
#include "package/block_checksum.h"
#include "package/file_entry.h"
#include "package/format.h"

namespace {

void Put16(Bytes* out, uint16_t value) {
  uint8_t bytes[2];
  StoreLe16(bytes, value);
  out->insert(out->end(), bytes, bytes + 2);
}

void Put32(Bytes* out, uint32_t value) {
  uint8_t bytes[4];
  StoreLe32(bytes, value);
  out->insert(out->end(), bytes, bytes + 4);
}

void PutRecord(Bytes* out, const std::string& text) {
  out->push_back(static_cast<uint8_t>(text.size()));
  out->insert(out->end(), text.begin(), text.end());
}

void PutText(Bytes* out, const std::string& text) {
  out->insert(out->end(), text.begin(), text.end());
  out->push_back(0);
}

Bytes HeaderBytes(const TestPackage& package, uint32_t directoryChecksum) {
  Bytes header;
  for (const std::string* text : {&package.title, &package.bottomText, &package.productKey,
                                  &package.programFolder, &package.startMenuFolder}) {
    PutText(&header, *text);
  }
  Put32(&header, directoryChecksum);
  uint64_t units[7] = {};
  uint32_t blocks = 0;
  for (const TestFile& file : package.files) {
    for (int k = 0; k < 7; ++k) {
      const uint64_t unit = uint64_t{512} << k;
      units[k] += (file.data.size() + unit - 1) / unit;
    }
    blocks += static_cast<uint32_t>((file.data.size() + package.pieceSize - 1) / package.pieceSize);
  }
  units[3] += static_cast<uint64_t>(package.sizeTableSkew);
  for (uint64_t word : units) Put32(&header, static_cast<uint32_t>(word));
  Put32(&header, blocks + static_cast<uint32_t>(package.blockCountSkew));
  PutText(&header, package.licence);  // an empty licence is the single 0 byte
  return header;
}

}  // namespace

Bytes TestStub(uint32_t packageOffset) {
  Bytes stub(kTestStubLength, 0x90);
  stub[0] = 'M';
  stub[1] = 'Z';
  std::memcpy(&stub[100], kPackageMarker, kPackageMarkerLength);
  StoreLe32(&stub[100 + kPackageMarkerLength], packageOffset);
  return stub;
}

Bytes BuildInstallerImage(const TestPackage& package, TestLayout* layout) {
  TestLayout ignored;
  if (layout == nullptr) layout = &ignored;
  Bytes image = TestStub(kTestStubLength);
  Put32(&image, 0);  // the volume length word, patched below
  image.push_back(kModeInstall);
  const size_t headerAt = image.size();
  // The directory checksum covers every byte after the header outside block records:
  // `directory` gathers them as the entries and lists are laid out.
  Bytes directory;
  for (const TestFile& file : package.files) {
    layout->fileNames.push_back(image.size());
    PutRecord(&image, file.target);
    PutRecord(&directory, file.target);
    FileEntryFields fields{};
    fields.blockCount =
        static_cast<uint16_t>((file.data.size() + package.pieceSize - 1) / package.pieceSize);
    std::memcpy(fields.version, file.version, sizeof fields.version);
    fields.timeLow = static_cast<uint32_t>(file.fileTime);
    fields.timeHigh = static_cast<uint32_t>(file.fileTime >> 32);
    fields.shared = file.shared ? 1 : 0;
    uint8_t fixed[kFileEntryFixedSize];
    StoreFileEntryFields(fields, fixed);
    image.insert(image.end(), fixed, fixed + sizeof fixed);
    directory.insert(directory.end(), fixed, fixed + sizeof fixed);
    for (size_t at = 0; at < file.data.size(); at += package.pieceSize) {
      layout->fileBlocks.push_back(image.size());
      const size_t piece = std::min<size_t>(package.pieceSize, file.data.size() - at);
      const Bytes record = BlockRecordOf(Bytes(file.data.begin() + at,
                                               file.data.begin() + at + piece));
      image.insert(image.end(), record.begin(), record.end());
    }
    Put16(&image, 0);
  }
  const size_t listsAt = image.size();
  PutRecord(&image, "");  // the end of the file entries
  for (const std::string& line : package.shortcuts) PutRecord(&image, line);
  PutRecord(&image, "");
  for (const std::string& line : package.registry) PutRecord(&image, line);
  PutRecord(&image, "");
  PutRecord(&image, package.runAfter);
  directory.insert(directory.end(), image.begin() + static_cast<long>(listsAt), image.end());
  const uint32_t checksum = package.directoryChecksum
                                ? BlockChecksum(directory.data(), directory.size(), kChecksumStart)
                                : kNoDirectoryChecksum;
  // The header block goes in front of the entries once their checksum is known.
  const Bytes header = BlockRecordOf(HeaderBytes(package, checksum));
  image.insert(image.begin() + static_cast<long>(headerAt), header.begin(), header.end());
  layout->headerBlock = headerAt;
  for (size_t& at : layout->fileNames) at += header.size();
  for (size_t& at : layout->fileBlocks) at += header.size();
  StoreLe32(&image[kTestStubLength], static_cast<uint32_t>(image.size()));
  return image;
}

Bytes MaintenanceProgram(uint8_t mode, const std::vector<std::string>& log) {
  Bytes program = TestStub(kTestStubLength);
  Put32(&program, 0);
  program.push_back(mode);
  for (const char* text : {"Test Product", "Bottom", "TestProduct"}) PutRecord(&program, text);
  for (const std::string& record : log) PutRecord(&program, record);
  return program;
}

void WriteVolumes(const std::string& path, const Bytes& image, size_t volumeSize) {
  if (volumeSize == 0 || image.size() <= volumeSize) {
    WriteBytes(path, image);
    return;
  }
  Bytes first(image.begin(), image.begin() + volumeSize);
  StoreLe32(&first[kTestStubLength], static_cast<uint32_t>(volumeSize));
  WriteBytes(path, first);
  const std::string base = path.substr(0, path.rfind('.'));
  size_t at = volumeSize;
  for (int number = 1; at < image.size(); ++number) {
    const size_t piece = std::min(volumeSize - 4, image.size() - at);
    Bytes volume;
    Put32(&volume, static_cast<uint32_t>(piece + 4));
    volume.insert(volume.end(), image.begin() + at, image.begin() + at + piece);
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%03d", number);
    WriteBytes(base + suffix, volume);
    at += piece;
  }
}
