// Windows path spelling in the simulated Windows.
#include "platform/sim/windows_path.h"

#include <cctype>
#include <system_error>
#include <vector>

namespace sim {
namespace {

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// The entry of `folder` whose name equals `name` without regard to case, or `name`
// itself when there is none.
std::string MatchEntry(const std::filesystem::path& folder, const std::string& name) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return name;
  const std::string key = PathKey(name);
  for (const auto& entry : it) {
    std::string candidate = entry.path().filename().string();
    if (PathKey(candidate) == key) return candidate;
  }
  return name;
}

}  // namespace

std::string PathKey(const std::string& windowsPath) {
  std::string key = windowsPath;
  for (char& c : key) c = (c == '/') ? '\\' : UpperAscii(c);
  return key;
}

bool SamePath(const std::string& a, const std::string& b) { return PathKey(a) == PathKey(b); }

std::filesystem::path ResolveOnHost(const std::filesystem::path& root,
                                    const std::string& windowsPath) {
  if (windowsPath.size() < 3 || windowsPath[1] != ':' ||
      (windowsPath[2] != '\\' && windowsPath[2] != '/') ||
      !std::isalpha(static_cast<unsigned char>(windowsPath[0]))) {
    return {};
  }
  std::vector<std::string> resolved{MatchEntry(root, std::string(1, windowsPath[0]))};
  for (const std::string& part : SplitComponents(windowsPath.substr(3))) {
    if (part == ".") continue;
    if (part == "..") {
      if (resolved.size() > 1) resolved.pop_back();
      continue;
    }
    std::filesystem::path folder = root;
    for (const std::string& done : resolved) folder /= done;
    resolved.push_back(MatchEntry(folder, part));
  }
  std::filesystem::path host = root;
  for (const std::string& part : resolved) host /= part;
  return host;
}

}  // namespace sim
