// Package pieces for tests of the stub's and twk's readers: a stand-in for the stub, and
// block records made with the builder's own codec.
#pragma once

#include <algorithm>

#include "base/little_endian.h"
#include "codec/encoder/compress_block.h"
#include "package/block_checksum.h"
#include "package/format.h"
#include "tests/support/test_files.h"

namespace test_files {

// 4 KB with the marker and its zero word inside, like the real stub's data section.
inline Bytes FakeStub() {
  Bytes stub(4096, 0xCC);
  stub[0] = 'M';
  stub[1] = 'Z';
  std::copy(kPackageMarker, kPackageMarker + kPackageMarkerLength, stub.begin() + 1000);
  std::fill_n(stub.begin() + 1000 + kPackageMarkerLength, 4, 0);
  return stub;
}

// FakeStub as a PE image, as much of one as `twk build` needs to add a section of texts:
// headers with room for another section, and one section that holds the marker.
inline Bytes FakePeStub() {
  Bytes stub = FakeStub();
  std::fill_n(stub.begin(), 0x200, 0);
  stub[0] = 'M';
  stub[1] = 'Z';
  StoreLe32(&stub[0x3C], 0x40);
  StoreLe32(&stub[0x40], 0x00004550);  // "PE\0\0"
  StoreLe16(&stub[0x44], 0x14C);        // i386
  StoreLe16(&stub[0x46], 1);            // one section
  StoreLe16(&stub[0x54], 0xE0);         // the optional header's size
  uint8_t* optional = &stub[0x58];
  StoreLe16(optional, 0x10B);
  StoreLe32(optional + 32, 0x1000);  // section alignment
  StoreLe32(optional + 36, 0x200);   // file alignment
  StoreLe32(optional + 56, 0x2000);  // image size
  StoreLe32(optional + 60, 0x200);   // headers' size
  StoreLe32(optional + 92, 16);      // data directories
  uint8_t* section = optional + 0xE0;
  std::copy_n(".data", 5, section);
  StoreLe32(section + 8, 0xE00);
  StoreLe32(section + 12, 0x1000);
  StoreLe32(section + 16, 0xE00);
  StoreLe32(section + 20, 0x200);
  StoreLe32(section + 36, 0xC0000040);
  return stub;
}

// One block record of `plain`: stored length, both checksums, the compressed bytes.
inline Bytes BlockRecordOf(const Bytes& plain) {
  Bytes stored;
  if (!CompressBlock(plain.data(), plain.size(), &stored)) throw std::runtime_error("compress");
  Bytes record(10);
  StoreLe16(&record[0], static_cast<uint16_t>(stored.size()));
  StoreLe32(&record[2], BlockChecksum(plain.data(), plain.size(), kChecksumStart));
  StoreLe32(&record[6], BlockChecksum(stored.data(), stored.size(), kChecksumStart));
  record.insert(record.end(), stored.begin(), stored.end());
  return record;
}

}  // namespace test_files
