// The disks of the simulated Windows: searches with wildcards, full and short names.
#include "platform/sim/machine/sim_file_system.h"

#include <string.h>

#include <algorithm>

#include "platform/sim/machine/short_names.h"
#include "platform/sim/machine/windows_path.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

// Windows matching of one name: '*' any run of characters, '?' exactly one, letters
// without regard to case; "*.*" matches every name, with or without a dot.
bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  const std::string p = PathKey(pattern), n = PathKey(name);
  size_t pi = 0, ni = 0, star = std::string::npos, resume = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      resume = ni;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ni = ++resume;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

platform::FoundFile Found(const std::string& name, const fs::path& host) {
  platform::FoundFile found{};
  snprintf(found.name, sizeof found.name, "%s", name.c_str());
  const uint32_t attributes = HostAttributes(host);
  if (attributes != platform::kNoAttributes) {
    found.attributes = attributes;
    found.lastWrite = HostLastWriteTime(host);
  }
  return found;
}

}  // namespace

platform::Search SimFileSystem::FindFirst(const std::string& pattern,
                                          platform::FoundFile* found) {
  const std::string full = FullWindowsPath(pattern, currentFolder_);
  const size_t cut = full.rfind('\\');
  if (full.empty() || cut == std::string::npos || cut + 1 == full.size()) return nullptr;
  const std::string folder = full.substr(0, cut + 1);
  const std::string wanted = full.substr(cut + 1);
  const fs::path host = HostPath(folder);
  std::error_code error;
  if (host.empty() || !fs::is_directory(host, error)) return nullptr;

  SearchState state{{}, 0};
  std::vector<std::pair<std::string, fs::path>> names;
  if (LongPath(folder).size() > 3) {  // every folder but a drive root lists "." and ".."
    names.push_back({".", host});
    names.push_back({"..", host.parent_path()});
  }
  for (const auto& entry : fs::directory_iterator(host, error)) {
    names.push_back({entry.path().filename().string(), entry.path()});
  }
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return PathKey(a.first) < PathKey(b.first);
  });
  for (const auto& name : names) {
    if (WildcardMatch(wanted, name.first)) state.matches.push_back(Found(name.first, name.second));
  }
  if (state.matches.empty()) return nullptr;
  *found = state.matches[0];
  state.next = 1;
  const uintptr_t handle = NewHandle();
  searches_[handle] = std::move(state);
  return reinterpret_cast<platform::Search>(handle);
}

bool SimFileSystem::FindNext(platform::Search search, platform::FoundFile* found,
                             std::string* error) {
  auto it = searches_.find(reinterpret_cast<uintptr_t>(search));
  if (it == searches_.end()) {
    *error = "FindNext on a search that is not open";
    return false;
  }
  SearchState& state = it->second;
  if (state.next >= state.matches.size()) return false;
  *found = state.matches[state.next++];
  return true;
}

bool SimFileSystem::FindEnd(platform::Search search, std::string* error) {
  if (searches_.erase(reinterpret_cast<uintptr_t>(search)) == 0) {
    *error = "FindEnd on a search that is not open";
    return false;
  }
  return true;
}

std::string SimFileSystem::FullPath(const std::string& windowsPath) const {
  return FullWindowsPath(windowsPath, currentFolder_);
}

std::string SimFileSystem::ShortPath(const std::string& windowsPath) const {
  std::string drive;
  std::vector<std::string> parts;
  const std::string full = FullWindowsPath(windowsPath, currentFolder_);
  if (!SplitFullPath(full, &drive, &parts) || !Exists(full)) return "";
  fs::path folder = HostPath(drive + "\\");
  std::string folderLong = PathKey(drive) + "\\";
  std::string shortPath = drive + "\\";
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string name = MatchEntry(folder, folderLong, parts[i]);
    const auto aliases = ShortNamesIn(folder, folderLong);
    auto alias = aliases.find(name);
    shortPath += (i ? "\\" : "") + (alias != aliases.end() ? alias->second : name);
    folder /= name;
    folderLong += (i ? "\\" : "") + name;
  }
  if (!parts.empty() && full.back() == '\\') shortPath += "\\";
  return shortPath;
}

}  // namespace sim
