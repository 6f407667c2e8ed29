// The records the uninstaller follows.
#include "maintenance/removal_bounds.h"

#include <stddef.h>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool HasParentStep(const char* path) {
  for (const char* part = path; *part != '\0';) {
    size_t dots = 0;
    bool onlyDots = true;
    for (; *part != '\0' && !IsSeparator(*part); ++part) {
      if (*part == '.') ++dots;
      else if (*part != ' ') onlyDots = false;
    }
    if (onlyDots && dots >= 2) return true;
    if (*part != '\0') ++part;
  }
  return false;
}
