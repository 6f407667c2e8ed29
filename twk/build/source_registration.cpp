// Renaming a source's self-registration marker for register=no.
#include "twk/build/source_registration.h"

#include "base/little_endian.h"
#include "pe/pe_checksum.h"
#include "pe/pe_image.h"
#include "pe/version_resource.h"

namespace {

std::vector<uint8_t> Utf16(const std::string& ascii) {
  std::vector<uint8_t> units;
  for (char c : ascii) units.insert(units.end(), {static_cast<uint8_t>(c), 0});
  return units;
}

ByteChange ChangeAt(const std::vector<uint8_t>& image, size_t offset,
                    const std::vector<uint8_t>& after) {
  ByteChange change;
  change.offset = offset;
  change.before.assign(image.begin() + offset, image.begin() + offset + after.size());
  change.after = after;
  return change;
}

}  // namespace

bool UnmarkSelfRegistration(const std::vector<uint8_t>& image, std::vector<ByteChange>* changes,
                            std::string* problem) {
  changes->clear();
  const std::vector<size_t> keys = FindOleSelfRegisterKeys(image);
  if (keys.empty()) return true;
  const PeImage pe(image.data(), image.size());
  if (pe.hasCertificates()) {
    *problem = "it is signed, and renaming its OLESelfRegister marker would break the signature";
    return false;
  }
  std::vector<uint8_t> changed = image;
  const std::vector<uint8_t> renamed = Utf16(kRenamedMarker);
  for (size_t key : keys) {
    changes->push_back(ChangeAt(image, key, renamed));
    std::copy(renamed.begin(), renamed.end(), changed.begin() + key);
  }
  // Renamed wherever the installer's test could find it, the marker must be gone from
  // every language.
  if (CountSelfRegistrationMarks(changed).marked != 0) {
    *problem = "an OLESelfRegister entry that the installer finds cannot be told apart to rename";
    return false;
  }
  const size_t field = pe.checksumOffset();
  if (field != 0 && LoadLe32(image.data() + field) != 0) {
    std::vector<uint8_t> checksum(4);
    StoreLe32(checksum.data(), PeImageChecksum(changed.data(), changed.size(), field));
    changes->push_back(ChangeAt(image, field, checksum));
  }
  return true;
}

bool ApplyByteChanges(const std::vector<ByteChange>& changes, uint64_t offset,
                      std::vector<uint8_t>* piece) {
  const uint64_t end = offset + piece->size();
  for (const ByteChange& change : changes) {
    for (size_t i = 0; i < change.after.size(); ++i) {
      const uint64_t at = change.offset + i;
      if (at < offset || at >= end) continue;
      uint8_t& byte = (*piece)[static_cast<size_t>(at - offset)];
      if (byte != change.before[i]) return false;
      byte = change.after[i];
    }
  }
  return true;
}
