// SHA-256 (FIPS 180-4), for comparing files by content without keeping them: twk diff
// tells two files apart by the digests of their expanded bytes.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

class Sha256 {
 public:
  Sha256();

  // Adds `size` bytes; any number of calls, of any sizes.
  void Update(const uint8_t* data, size_t size);
  // The digest of everything added, as 64 lower-case hexadecimal digits. Adds nothing
  // more afterwards: the object is done with.
  std::string HexDigest();

 private:
  void Compress(const uint8_t block[64]);

  uint32_t state_[8];
  uint8_t pending_[64];
  size_t pendingSize_ = 0;
  uint64_t totalBytes_ = 0;
};
