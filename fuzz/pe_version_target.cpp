// Arbitrary files must never make the PE version reader read outside them.
#include <stdlib.h>
#include <string.h>

#include "fuzz/fuzz_targets.h"
#include "pe/version_resource.h"

bool FuzzPeVersion(const uint8_t* data, size_t size) {
  auto* image = static_cast<uint8_t*>(malloc(size == 0 ? 1 : size));
  if (image == nullptr) return true;
  if (size != 0) memcpy(image, data, size);
  PeVersionInfo info;
  ReadPeVersionInfo(image, size, &info);
  free(image);
  // A file without a version resource reports no version and no marker.
  return info.hasVersion || (info.version[0] | info.version[1] | info.version[2] |
                             info.version[3]) == 0;
}
