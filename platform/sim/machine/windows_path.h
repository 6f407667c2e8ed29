// Windows path spelling in the simulated Windows: comparison without regard to letter
// case or separator, splitting, and making a path full as GetFullPathName does.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace sim {

// The path as Windows compares it: '/' read as '\', ASCII letters upper-cased.
std::string PathKey(const std::string& windowsPath);

bool SamePath(const std::string& a, const std::string& b);

// The non-empty components between separators ('\' or '/').
std::vector<std::string> SplitComponents(const std::string& path);

// The full form of `path`: "X:\a\b" with '\' separators, "." and ".." resolved (".."
// never climbs above the drive), repeated separators collapsed and one trailing '\'
// kept. A path without a drive is taken relative to `currentFolder` (itself full),
// "\x" as on its drive, "X:x" relative to the current folder when that is on drive X
// and to X's root otherwise. Returns "" for an empty path or a network path.
std::string FullWindowsPath(const std::string& path, const std::string& currentFolder);

// Splits a full path into its drive ("C:") and components; false when it is not full.
bool SplitFullPath(const std::string& fullPath, std::string* drive,
                   std::vector<std::string>* components);

// Copies `text` and its NUL into `out` of `size` bytes. When it does not fit, `out` is
// left empty (when it has room for that) and the result is false: a cut path would name
// another file.
bool CopyToBuffer(const std::string& text, char* out, uint32_t size);

}  // namespace sim
