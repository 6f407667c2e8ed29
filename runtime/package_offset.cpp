// The package offset marker and its reader.
#include "runtime/package_offset.h"

#include "runtime/package_stream.h"

// Initialised from the text so that it lands in the initialised data, where the builder
// looks for it; the four bytes after the text start as zeros.
char g_packageOffsetMarker[kPackageMarkerLength + kPackageOffsetWordSize] =
    "WHERETOSTARTSTRING:";

uint32_t PackageOffset() {
  // Read through volatile: the compiler sees the zeros of the initialiser, and without
  // it would be free to fold the word to 0, ignoring the value the builder patches in.
  const volatile unsigned char* word =
      reinterpret_cast<const volatile unsigned char*>(g_packageOffsetMarker) + kPackageMarkerLength;
  return static_cast<uint32_t>(word[0]) | (static_cast<uint32_t>(word[1]) << 8) |
         (static_cast<uint32_t>(word[2]) << 16) | (static_cast<uint32_t>(word[3]) << 24);
}
