// Reading --volume-size: bytes, K/M/G units, or a medium's name.
#include "twk/volume_size.h"

#include <strings.h>

#include <algorithm>

namespace {

struct Medium {
  const char* name;
  uint64_t bytes;
};

// Floppies: the data area of the FAT12 file system that formatting writes (sectors less
// boot sector, both FATs and the root folder), since a volume must fit as one file. CDs:
// the disc's 2048-byte sectors less 1 MiB for the ISO 9660 file system.
const Medium kMedia[] = {
    {"360K", 362496},     // 5.25" double density
    {"720K", 730112},     // 3.5" double density
    {"1.2M", 1213952},    // 5.25" high density
    {"1.44M", 1457664},   // 3.5" high density
    {"2.88M", 2931712},   // 3.5" extra density
    {"cd650", 333000ull * 2048 - (1u << 20)},  // 74 minutes
    {"cd700", 360000ull * 2048 - (1u << 20)},  // 80 minutes
    {"fat32", 0xFFFFFFFFull},  // the largest file FAT32 holds
};

// "K", "KB", "KiB" and the same for M and G, letter case ignored: the unit's shift.
int UnitShift(const std::string& unit) {
  const char* const kUnits[] = {"K", "M", "G"};
  for (int i = 0; i < 3; ++i) {
    for (const char* tail : {"", "B", "iB"}) {
      if (strcasecmp(unit.c_str(), (std::string(kUnits[i]) + tail).c_str()) == 0) return 10 * (i + 1);
    }
  }
  return unit.empty() ? 0 : -1;
}

}  // namespace

bool ParseVolumeSize(const std::string& text, uint64_t* size, std::string* problem) {
  for (const Medium& medium : kMedia) {
    if (strcasecmp(text.c_str(), medium.name) == 0) {
      *size = medium.bytes;
      return true;
    }
  }
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  const int shift = UnitShift(text.substr(digits));
  if (digits == 0 || shift < 0) {
    *problem = "--volume-size takes bytes, a number with K, M or G, or a medium's name "
               "(1.44M, cd700, ...), not '" + text + "'";
    return false;
  }
  // Counted up to far beyond 4 GiB: more is refused later as over 4 GiB, like any other
  // size that is, whatever the number of digits.
  constexpr uint64_t kCountedUpTo = uint64_t{1} << 40;
  uint64_t number = 0;
  for (size_t i = 0; i < digits; ++i) {
    number = std::min(number * 10 + uint64_t(text[i] - '0'), kCountedUpTo);
  }
  *size = number > (~uint64_t{0} >> shift) ? ~uint64_t{0} : number << shift;
  if (*size == 0) {
    *problem = "--volume-size must be more than 0";
    return false;
  }
  return true;
}
