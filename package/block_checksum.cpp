// The block checksum.
#include "package/block_checksum.h"

#include "package/format.h"

namespace {

// The table is fixed by the polynomial, so it is built by the compiler: nothing to set
// up at run time and nothing for two threads to race on.
struct ChecksumTable {
  uint32_t entries[256];
};

constexpr ChecksumTable BuildTable() {
  ChecksumTable table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t value = i << 24;
    for (int bit = 0; bit < 8; ++bit) {
      value = (value & 0x80000000u) ? (value << 1) ^ kChecksumPolynomial : value << 1;
    }
    table.entries[i] = value;
  }
  return table;
}

constexpr ChecksumTable kTable = BuildTable();
static_assert(kTable.entries[1] == 0x04C11DB7u, "table entry 1");
static_assert(kTable.entries[255] == 0xB1F740B4u, "table entry 255");

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
