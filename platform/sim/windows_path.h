// Windows path spelling in the simulated Windows: comparison without regard to letter
// case or separator, and the mapping of a drive path onto the sandbox on the host.
#pragma once

#include <filesystem>
#include <string>

namespace sim {

// The path as Windows compares it: '/' read as '\', ASCII letters upper-cased.
std::string PathKey(const std::string& windowsPath);

bool SamePath(const std::string& a, const std::string& b);

// Maps "C:\x\y" to ROOT/C/x/y. Each component is matched against the real directory
// listing without regard to case, as Windows does, and keeps the spelling found on the
// host; components that do not exist yet keep the spelling given. ".." never climbs
// above the drive folder. Returns an empty path for anything that is not an absolute
// path with a drive letter.
std::filesystem::path ResolveOnHost(const std::filesystem::path& root,
                                    const std::string& windowsPath);

}  // namespace sim
