// Arbitrary files must never make the PE version reader read outside them, and whatever
// marker the installer's test finds in any language, register=no must find to rename.
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "fuzz/fuzz_targets.h"
#include "pe/version_resource.h"

namespace {

constexpr char kRenamed[] = "NotSelfRegister";

// The image with every key that FindOleSelfRegisterKeys names renamed, as register=no
// renames them; false when a key does not lie whole in the image.
bool RenameKeys(std::vector<uint8_t>* image) {
  for (const size_t key : FindOleSelfRegisterKeys(*image)) {
    if (key > image->size() || image->size() - key < 2 * (sizeof kRenamed - 1)) return false;
    for (size_t i = 0; i + 1 < sizeof kRenamed; ++i) {
      (*image)[key + 2 * i] = static_cast<uint8_t>(kRenamed[i]);
      (*image)[key + 2 * i + 1] = 0;
    }
  }
  return true;
}

}  // namespace

bool FuzzPeVersion(const uint8_t* data, size_t size) {
  auto* image = static_cast<uint8_t*>(malloc(size == 0 ? 1 : size));
  if (image == nullptr) return true;
  if (size != 0) memcpy(image, data, size);
  PeVersionInfo info;
  ReadPeVersionInfo(image, size, &info);
  free(image);
  // A file without a version resource reports no version.
  if (!info.hasVersion && (info.version[0] | info.version[1] | info.version[2] |
                           info.version[3]) != 0) {
    return false;
  }
  std::vector<uint8_t> bytes(data, data + size);
  const SelfRegistrationMarks marks = CountSelfRegistrationMarks(bytes);
  if (marks.marked > marks.resources || !RenameKeys(&bytes)) return false;
  return !marks.complete || CountSelfRegistrationMarks(bytes).marked == 0;
}
