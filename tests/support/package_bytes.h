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
