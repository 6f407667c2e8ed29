// The register= option of a [Files] line. The installer registers a file exactly when
// its version resource carries the "OLESelfRegister" marker, and the package has no
// field that could say otherwise: so register=no is carried by the packed copy itself,
// whose marker is renamed, and register=yes can only be checked.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// A change of a few bytes of a source, made as it is packed. `before` is what the bytes
// were when the build looked at them: a file that differs by then is refused, not patched.
struct ByteChange {
  uint64_t offset = 0;
  std::vector<uint8_t> before;
  std::vector<uint8_t> after;
};

// The name the marker's entry gets in a copy packed with register=no: as long as the
// marker's, so that no other byte of the file moves, and no name anything looks for.
constexpr char kRenamedMarker[] = "NotSelfRegister";

// The changes that make the installer, the finalizer and the uninstaller pass over the
// PE image: every "OLESelfRegister" entry of every language of its version resource
// renamed to kRenamedMarker, and the image's checksum, when it has one, computed again.
// Nothing when the image carries no marker. False, with *problem set, for a signed image,
// whose signature the change would break.
bool UnmarkSelfRegistration(const std::vector<uint8_t>& image, std::vector<ByteChange>* changes,
                            std::string* problem);

// Applies to `piece`, which holds the file's bytes from `offset` on, the parts of
// `changes` that fall into it. False when a byte to change is not what it was.
bool ApplyByteChanges(const std::vector<ByteChange>& changes, uint64_t offset,
                      std::vector<uint8_t>* piece);
