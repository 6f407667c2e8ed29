// The block checksum.
#include "package/block_checksum.h"

#include "package/format.h"

namespace {

// The table follows from the polynomial. It is built while the program's static objects
// are constructed, before any thread starts, rather than stored in the program: 1 KB
// less in every copy of the stub, and still nothing for two threads to race on.
struct ChecksumTable {
  ChecksumTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t value = i << 24;
      for (int bit = 0; bit < 8; ++bit) {
        value = (value & 0x80000000u) ? (value << 1) ^ kChecksumPolynomial : value << 1;
      }
      entries[i] = value;
    }
  }
  uint32_t entries[256];
};

const ChecksumTable kTable;

}  // namespace

uint32_t BlockChecksum(const uint8_t* data, size_t length, uint32_t start) {
  // The right-shifting update belongs to reflected tables; pairing it with this
  // unreflected one is what makes the value differ from CRC-32, and packages hold it.
  uint32_t h = start;
  for (size_t i = 0; i < length; ++i) {
    h = (h >> 8) ^ kTable.entries[(h ^ data[i]) & 0xFF];
  }
  return h;
}
