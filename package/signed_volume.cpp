// Where the package bytes of a signed installation file end.
#include "package/signed_volume.h"

#include "package/format.h"

uint32_t SignedVolumeEnd(uint32_t packageStart, uint32_t lengthWord, uint32_t certificateOffset) {
  // Computed in 64 bits: a package offset near 4 GiB must not wrap.
  const uint64_t wordEnd = uint64_t{packageStart} + kVolumeLengthWordSize;
  if (certificateOffset < wordEnd) return 0;
  return lengthWord >= wordEnd && lengthWord <= certificateOffset ? lengthWord : certificateOffset;
}
