// The block checksum by slicing: the update is linear in the checksum and in the byte,
// so the effect of eight bytes is the exclusive-or of eight table look-ups, table k
// holding what one byte does when k more bytes follow it.
#include "twk/build/block_checksum_wide.h"

#include "base/little_endian.h"
#include "package/format.h"

namespace {

constexpr int kSlices = 8;

struct SliceTables {
  uint32_t entries[kSlices][256];
};

constexpr SliceTables BuildTables() {
  SliceTables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t value = i << 24;
    for (int bit = 0; bit < 8; ++bit) {
      value = (value & 0x80000000u) ? (value << 1) ^ kChecksumPolynomial : value << 1;
    }
    tables.entries[0][i] = value;
  }
  for (int k = 1; k < kSlices; ++k) {
    for (uint32_t i = 0; i < 256; ++i) {
      const uint32_t previous = tables.entries[k - 1][i];
      tables.entries[k][i] = (previous >> 8) ^ tables.entries[0][previous & 0xFF];
    }
  }
  return tables;
}

constexpr SliceTables kTables = BuildTables();

}  // namespace

uint32_t BlockChecksumWide(const uint8_t* data, size_t length, uint32_t start) {
  const auto& t = kTables.entries;
  uint32_t h = start;
  size_t i = 0;
  for (; i + kSlices <= length; i += kSlices) {
    const uint32_t low = h ^ LoadLe32(data + i);
    const uint32_t high = LoadLe32(data + i + 4);
    h = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
        t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
  }
  for (; i < length; ++i) h = (h >> 8) ^ t[0][(h ^ data[i]) & 0xFF];
  return h;
}
