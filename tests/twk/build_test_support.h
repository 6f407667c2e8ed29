// Shared helpers of the build tests: a scratch folder, a fake stub, and a reader that walks a
// built package with the package functions alone.
#pragma once

#include <stdint.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "package/block_record.h"
#include "package/format.h"

namespace build_test {

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Deterministic bytes that do not compress (a linear congruential generator).
inline std::vector<uint8_t> NoiseBytes(size_t length, uint32_t seed) {
  std::vector<uint8_t> bytes(length);
  for (uint8_t& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<uint8_t>(seed >> 24);
  }
  return bytes;
}

// A scratch folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/twk-build-test-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A few KB with the marker and its zero word inside, like the real stub's data section.
inline std::string WriteFakeStub(const TempDir& dir) {
  std::vector<uint8_t> stub(4096, 0xCC);
  stub[0] = 'M';
  stub[1] = 'Z';
  const std::string marker = kPackageMarker;
  std::copy(marker.begin(), marker.end(), stub.begin() + 1000);
  std::fill(stub.begin() + 1000 + marker.size(), stub.begin() + 1000 + marker.size() + 4, 0);
  const std::string path = dir / "stub.exe";
  WriteBytes(path, stub);
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
