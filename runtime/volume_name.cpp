// Names of the volumes.
#include "runtime/volume_name.h"

#include <string.h>

#include "base/format_text.h"
#include "package/format.h"

bool BuildVolumePath(const char* installationPath, int32_t volume, char* out, size_t outSize) {
  const char* dot = strrchr(installationPath, '.');
  size_t keep = dot ? static_cast<size_t>(dot - installationPath) : strlen(installationPath);
  if (keep >= outSize) return false;
  memcpy(out, installationPath, keep);
  int written =
      FormatText(out + keep, outSize - keep, kVolumeSuffixFormat, static_cast<int>(volume));
  return written > 0 && static_cast<size_t>(written) < outSize - keep;
}

const char* FileNamePart(const char* path) {
  const char* slash = strrchr(path, '\\');
  return slash ? slash + 1 : path;
}
