// The version of a file on disk, from the fixed file information of its version resource.
#include "installer/file_version.h"

#include <stdlib.h>
#include <string.h>

#include "platform/version_info.h"

namespace {

// The file version words of the fixed file information, in *ms and *ls. False when the
// resource, or a fixed part long enough to hold them, cannot be read.
bool ReadVersionWords(const char* path, uint32_t* ms, uint32_t* ls) {
  const uint32_t size = platform::GetVersionInfoSize(path);
  if (size == 0) return false;
  void* data = malloc(size);
  if (data == nullptr) return false;
  const void* fixed = nullptr;
  uint32_t length = 0;
  const bool found = platform::GetVersionInfo(path, size, data) &&
                     platform::QueryVersionValue(data, "\\", &fixed, &length) &&
                     fixed != nullptr &&
                     length >= platform::kFixedFileVersionLsOffset + sizeof(uint32_t);
  if (found) {
    const uint8_t* bytes = static_cast<const uint8_t*>(fixed);
    memcpy(ms, bytes + platform::kFixedFileVersionMsOffset, sizeof(uint32_t));
    memcpy(ls, bytes + platform::kFixedFileVersionLsOffset, sizeof(uint32_t));
  }
  free(data);
  return found;
}

}  // namespace

bool ReadFileVersion(const char* path, FileVersion* version) {
  memset(version, 0, sizeof(*version));
  uint32_t ms = 0;
  uint32_t ls = 0;
  if (!ReadVersionWords(path, &ms, &ls)) return false;
  version->parts[0] = static_cast<uint16_t>(ms >> 16);
  version->parts[1] = static_cast<uint16_t>(ms);
  version->parts[2] = static_cast<uint16_t>(ls >> 16);
  version->parts[3] = static_cast<uint16_t>(ls);
  return ms != 0 || ls != 0;
}

bool IsVersionGreater(const FileVersion& a, const FileVersion& b) {
  for (int i = 0; i < 4; ++i) {
    if (a.parts[i] != b.parts[i]) return a.parts[i] > b.parts[i];
  }
  return false;
}
