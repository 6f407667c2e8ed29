// Shared helpers of the build tests: the files of tests/support, a fake stub in a folder,
// and a reader that walks a built package with the package functions alone.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "base/little_endian.h"
#include "package/block_record.h"
#include "package/format.h"
#include "tests/support/package_bytes.h"

namespace build_test {

using test_files::Noise;
using test_files::ReadBytes;
using test_files::WriteBytes;
using test_files::WriteText;
using TempDir = test_files::ScratchFolder;

// test_files::FakeStub as stub.exe in `dir`; its path.
inline std::string WriteFakeStub(const TempDir& dir) {
  const std::string path = dir / "stub.exe";
  WriteBytes(path, test_files::FakeStub());
  return path;
}

// Walks package bytes in order; every read fails the test (via ok = false) rather than run
// past the end.
struct Cursor {
  const std::vector<uint8_t>& bytes;
  size_t pos;
  bool ok = true;

  const uint8_t* Take(size_t n) {
    if (bytes.size() - pos < n) {
      ok = false;
      static const uint8_t kZeros[16] = {};
      return kZeros;
    }
    pos += n;
    return bytes.data() + pos - n;
  }
  uint8_t U8() { return *Take(1); }
  uint16_t U16() { return LoadLe16(Take(2)); }
  uint32_t U32() { return LoadLe32(Take(4)); }
  std::string Record() {
    const uint8_t n = U8();
    const uint8_t* p = Take(n);
    return ok ? std::string(reinterpret_cast<const char*>(p), n) : std::string();
  }
  // One block record, verified and expanded; an empty result is the end record. The stored
  // length is returned through `stored` when given.
  std::vector<uint8_t> Block(uint32_t capacity, uint32_t* stored = nullptr) {
    const uint32_t length = U16();
    if (stored != nullptr) *stored = length;
    if (length == 0) return {};
    const uint32_t expandedChecksum = U32();
    const uint32_t storedChecksum = U32();
    const uint8_t* data = Take(length);
    std::vector<uint8_t> buffer(capacity);
    if (!ok) return {};
    std::copy(data, data + length, buffer.begin());
    uint32_t expanded = 0;
    if (VerifyAndExpandBlock(buffer.data(), length, expandedChecksum, storedChecksum, capacity,
                             &expanded) != BlockVerdict::kOk) {
      ok = false;
      return {};
    }
    buffer.resize(expanded);
    return buffer;
  }
};

}  // namespace build_test
