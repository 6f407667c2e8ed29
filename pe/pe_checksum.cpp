// Computing the PE image checksum.
#include "pe/pe_checksum.h"

uint32_t PeImageChecksum(const uint8_t* image, size_t size, size_t checksumOffset) {
  uint64_t sum = 0;
  for (size_t at = 0; at < size; at += 2) {
    if (at >= checksumOffset && at < checksumOffset + 4) continue;
    const uint32_t word = image[at] | (at + 1 < size ? image[at + 1] << 8 : 0);
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + size);
}
